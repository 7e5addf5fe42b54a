#include "SettingsSources.h"

#include "SettingsFile.h"
#include "SettingsFileStore.h"

FileKind KindOfFile(const QString& p_sPath) {
  return p_sPath.endsWith(QLatin1String(".dt2"), Qt::CaseInsensitive) ? FileKind::Lan : FileKind::Parameter;
}

const std::vector<dz::ShownSetting>& RowsOf(FileKind p_eKind) {
  return p_eKind == FileKind::Lan ? dz::LanSettings() : dz::ParameterSettings();
}

bool LoadSettingsFile(const QString& p_sPath, CItemManager& p_objItems, QString& p_sError) {
  std::string content;
  if (!dz::ReadSettingsFile(p_sPath, content)) {
    p_sError = QStringLiteral("%1: cannot be read").arg(p_sPath);
    return false;
  }
  const bool loaded =
      KindOfFile(p_sPath) == FileKind::Lan ? LoadLanFile(p_objItems, content) : LoadParameterFile(p_objItems, content);
  if (!loaded) {
    p_sError =
        QStringLiteral("%1: Abnormal termination (not a valid %2 settings file)")
            .arg(p_sPath, KindOfFile(p_sPath) == FileKind::Lan ? QStringLiteral("LAN") : QStringLiteral("parameter"));
    return false;
  }
  return true;
}

bool SaveSettingsFile(const QString& p_sPath, FileKind p_eKind, CItemManager& p_objItems) {
  return dz::WriteSettingsFile(
      p_sPath, p_eKind == FileKind::Lan ? BuildLanFileLines(p_objItems) : BuildParameterFileLines(p_objItems));
}

std::vector<Difference> CompareSettings(const CItemManager& p_objA, const CItemManager& p_objB,
                                        const std::vector<dz::ShownSetting>& p_objRows) {
  std::vector<Difference> differences;
  for (const dz::ShownSetting& row : p_objRows) {
    if (dz::FieldTextOf(p_objA, row) == dz::FieldTextOf(p_objB, row)) continue;
    differences.push_back({&row, dz::ShownValueOf(p_objA, row), dz::ShownValueOf(p_objB, row)});
  }
  return differences;
}

QString Latin1(const std::string& p_sText) {
  return QString::fromLatin1(p_sText.data(), static_cast<qsizetype>(p_sText.size()));
}
