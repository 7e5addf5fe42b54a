#pragma once
// Settings files and printers as sources of settings: reading a settings file
// once and checking it whole, writing a file as the window's SAVE does, the
// settings a file carries and a printer reports, and comparing two catalogues
// setting by setting as the window shows them.
#include <QJsonArray>
#include <QString>
#include <string>
#include <vector>

#include "CItemManager.h"
#include "FieldChecks.h"
#include "ShownSettings.h"

using FileKind = SettingsFileKind;

// .dt2 is a LAN settings file, everything else a parameter settings file.
FileKind KindOfFile(const QString& p_sPath);

// A settings file as read once and checked whole: its lines are the bytes
// every printer is sent.
struct SettingsFile {
  QString path;
  FileKind kind = FileKind::Parameter;
  std::vector<std::string> lines;
};
// Reads a regular file once and checks it whole (FieldChecks.h). False and
// the reason, naming the file and the line, otherwise.
bool ReadSettingsFileChecked(const QString& p_sPath, SettingsFile& p_objFile, QString& p_sError);
// Stores the file's settings into the catalogue.
void LoadSettings(const SettingsFile& p_objFile, CItemManager& p_objItems);
// Writes the file SAVE writes for this catalogue, replacing the file at once;
// never through a symbolic link or onto anything but a regular file.
bool SaveSettingsFile(const QString& p_sPath, FileKind p_eKind, CItemManager& p_objItems, QString& p_sError);
// The lines a settings file of the kind holds for the catalogue.
std::vector<std::string> SettingsFileLines(FileKind p_eKind, CItemManager& p_objItems);

// The rows of the settings a file of the kind carries; those a printer
// reports (of both files' pages); and those a file carries and a printer
// reports, the only ones a file and a printer can be compared on.
std::vector<const dz::ShownSetting*> RowsCarriedBy(FileKind p_eKind);
std::vector<const dz::ShownSetting*> RowsReported(FileKind p_eKind);
std::vector<const dz::ShownSetting*> RowsCompared(FileKind p_eKind);

struct Difference {
  const dz::ShownSetting* row;
  std::string a;
  std::string b;
};
// The settings of the rows whose field texts differ, with both values as shown.
std::vector<Difference> CompareSettings(const CItemManager& p_objA, const CItemManager& p_objB,
                                        const std::vector<const dz::ShownSetting*>& p_objRows);

// Latin-1 bytes as text (each byte its own code point).
QString Latin1(const std::string& p_sText);
// Latin-1 bytes as text for a terminal: control characters and "\" written
// as \xNN.
QString Printable(const std::string& p_sText);
