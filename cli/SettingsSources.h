#pragma once
// Settings files and printers as sources of settings: loading a file with
// the window's loader rules, writing a file as the window's SAVE does, and
// comparing two catalogues setting by setting as the window shows them.
#include <QJsonArray>
#include <QString>
#include <string>
#include <vector>

#include "CItemManager.h"
#include "ShownSettings.h"

enum class FileKind { Parameter, Lan };

// .dt2 is a LAN settings file, everything else a parameter settings file.
FileKind KindOfFile(const QString& p_sPath);
// The rows a file kind carries.
const std::vector<dz::ShownSetting>& RowsOf(FileKind p_eKind);

// Loads a file into the catalogue with LOAD's rules. False and the reason
// when it cannot be read or is rejected; the catalogue is then unchanged.
bool LoadSettingsFile(const QString& p_sPath, CItemManager& p_objItems, QString& p_sError);
// Writes the file SAVE writes for this catalogue, replacing the file at once.
bool SaveSettingsFile(const QString& p_sPath, FileKind p_eKind, CItemManager& p_objItems);

struct Difference {
  const dz::ShownSetting* row;
  std::string a;
  std::string b;
};
// The settings of the rows whose field texts differ, with both values as shown.
std::vector<Difference> CompareSettings(const CItemManager& p_objA, const CItemManager& p_objB,
                                        const std::vector<dz::ShownSetting>& p_objRows);

// Latin-1 bytes as text (each byte its own code point).
QString Latin1(const std::string& p_sText);
