#pragma once
// set and apply: settings given by caption and value changed on each printer,
// every other setting kept as the printer holds it. The changes come from
// "CAPTION=VALUE" words or from a profile file (the lines `show` prints, or
// the JSON `show --json` prints, or a JSON object CAPTION -> value).
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "Options.h"
#include "SettingInput.h"

namespace cli {

inline const char* const kOptionPerUnit = "per-unit";
inline const char* const kOptionDryRun = "dry-run";

// Text as single-byte Latin-1; false when a character does not fit in one byte.
bool ToLatin1(const QString& p_sText, std::string& p_sLatin1);

bool ChangesFromAssignments(const QStringList& p_objWords, std::vector<dz::SettingChange>& p_objChanges,
                            QString& p_sError);
bool ChangesFromProfile(const QString& p_sPath, std::vector<dz::SettingChange>& p_objChanges, QString& p_sError);

// Checks the changes for the options' printers (usage errors before any
// printer is contacted), then on each printer: reads the records the
// changed write records need (all four with a backup), saves the backup,
// sends only the write records in which a setting the printer reports
// changes, reads them back and compares, and writes the audit line. With
// --dry-run it reads and reports what it would send, and sends nothing.
int ChangeSettings(const Options& p_objOptions, std::vector<dz::SettingChange> p_objChanges, bool p_bProgress);

}  // namespace cli
