#include "SettingsSources.h"

#include <QFile>
#include <QSaveFile>

#include "SettingsFile.h"

namespace {
// A settings file holds a few hundred bytes; anything far larger is not one.
constexpr qint64 kLargestSettingsFile = 1 << 20;
}  // namespace

FileKind KindOfFile(const QString& p_sPath) {
  return p_sPath.endsWith(QLatin1String(".dt2"), Qt::CaseInsensitive) ? FileKind::Lan : FileKind::Parameter;
}

const std::vector<dz::ShownSetting>& RowsOf(FileKind p_eKind) {
  return p_eKind == FileKind::Lan ? dz::LanSettings() : dz::ParameterSettings();
}

bool LoadSettingsFile(const QString& p_sPath, CItemManager& p_objItems, QString& p_sError) {
  QFile file(p_sPath);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSettingsFile) {
    p_sError = QStringLiteral("%1: cannot be read").arg(p_sPath);
    return false;
  }
  const QByteArray bytes = file.read(kLargestSettingsFile + 1);
  if (bytes.size() > kLargestSettingsFile || file.error() != QFileDevice::NoError) {
    p_sError = QStringLiteral("%1: cannot be read").arg(p_sPath);
    return false;
  }
  const std::string content(bytes.constData(), static_cast<size_t>(bytes.size()));
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
  const std::string text =
      JoinFileLines(p_eKind == FileKind::Lan ? BuildLanFileLines(p_objItems) : BuildParameterFileLines(p_objItems));
  const QByteArray content(text.data(), static_cast<qsizetype>(text.size()));
  QSaveFile file(p_sPath);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // A short write or a failed flush must not reach commit.
  if (file.write(content) != content.size() || !file.flush()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
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
