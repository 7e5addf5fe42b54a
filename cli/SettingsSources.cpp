#include "SettingsSources.h"

#include <algorithm>

#include "SettingsFile.h"
#include "SettingsFileStore.h"

FileKind KindOfFile(const QString& p_sPath) {
  return p_sPath.endsWith(QLatin1String(".dt2"), Qt::CaseInsensitive) ? FileKind::Lan : FileKind::Parameter;
}

bool ReadSettingsFileChecked(const QString& p_sPath, SettingsFile& p_objFile, QString& p_sError) {
  std::string content;
  QString reason;
  if (!dz::ReadSettingsFile(p_sPath, content, &reason)) {
    p_sError = QStringLiteral("%1: cannot be read: %2").arg(p_sPath, reason);
    return false;
  }
  p_objFile.path = p_sPath;
  p_objFile.kind = KindOfFile(p_sPath);
  const std::string problem = CheckSettingsFile(p_objFile.kind, content, p_objFile.lines);
  if (!problem.empty()) {
    p_sError = QStringLiteral("%1: not a whole %2 settings file: %3")
                   .arg(p_sPath, p_objFile.kind == FileKind::Lan ? QStringLiteral("LAN") : QStringLiteral("parameter"),
                        Latin1(problem));
    return false;
  }
  return true;
}

void LoadSettings(const SettingsFile& p_objFile, CItemManager& p_objItems) {
  const std::string content = JoinFileLines(p_objFile.lines);
  if (p_objFile.kind == FileKind::Lan)
    LoadLanFile(p_objItems, content);
  else
    LoadParameterFile(p_objItems, content);
}

std::vector<std::string> SettingsFileLines(FileKind p_eKind, CItemManager& p_objItems) {
  return p_eKind == FileKind::Lan ? BuildLanFileLines(p_objItems) : BuildParameterFileLines(p_objItems);
}

bool SaveSettingsFile(const QString& p_sPath, FileKind p_eKind, CItemManager& p_objItems, QString& p_sError) {
  QString reason;
  if (dz::WriteSettingsFile(p_sPath, SettingsFileLines(p_eKind, p_objItems), &reason)) return true;
  p_sError = QStringLiteral("cannot write %1: %2").arg(p_sPath, reason);
  return false;
}

namespace {

// The catalogue whose items the row sets are found by.
const CItemManager& Catalogue() {
  static const CItemManager items;
  return items;
}

const std::vector<dz::ShownSetting>& AllRowsOf(FileKind p_eKind) {
  return p_eKind == FileKind::Lan ? dz::LanSettings() : dz::ParameterSettings();
}

// The rows whose items (both of a signed box) are all among the items.
std::vector<const dz::ShownSetting*> RowsAmong(FileKind p_eKind,
                                               const std::vector<std::vector<const CItem*>>& p_objSets) {
  const CItemManager& items = Catalogue();
  const auto within = [&](const CItem* item) {
    for (const auto& set : p_objSets)
      if (std::find(set.begin(), set.end(), item) == set.end()) return false;
    return true;
  };
  std::vector<const dz::ShownSetting*> rows;
  for (const dz::ShownSetting& row : AllRowsOf(p_eKind)) {
    if (!within(&(items.*row.member))) continue;
    if (row.direction && !within(&(items.*row.direction))) continue;
    rows.push_back(&row);
  }
  return rows;
}

}  // namespace

std::vector<const dz::ShownSetting*> RowsCarriedBy(FileKind p_eKind) {
  return RowsAmong(p_eKind, {ItemsCarriedBy(Catalogue(), p_eKind)});
}

std::vector<const dz::ShownSetting*> RowsReported(FileKind p_eKind) {
  return RowsAmong(p_eKind, {ItemsReportedByPrinter(Catalogue())});
}

std::vector<const dz::ShownSetting*> RowsCompared(FileKind p_eKind) {
  return RowsAmong(p_eKind, {ItemsCarriedBy(Catalogue(), p_eKind), ItemsReportedByPrinter(Catalogue())});
}

std::vector<Difference> CompareSettings(const CItemManager& p_objA, const CItemManager& p_objB,
                                        const std::vector<const dz::ShownSetting*>& p_objRows) {
  std::vector<Difference> differences;
  for (const dz::ShownSetting* row : p_objRows) {
    if (dz::FieldTextOf(p_objA, *row) == dz::FieldTextOf(p_objB, *row)) continue;
    differences.push_back({row, dz::ShownValueOf(p_objA, *row), dz::ShownValueOf(p_objB, *row)});
  }
  return differences;
}

QString Latin1(const std::string& p_sText) {
  return QString::fromLatin1(p_sText.data(), static_cast<qsizetype>(p_sText.size()));
}

QString Printable(const std::string& p_sText) {
  QString out;
  for (unsigned char c : p_sText) {
    if (c == '\\' || IsControlByte(c))
      out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    else
      out += QChar(c);
  }
  return out;
}
