#include "SettingsFileStore.h"

#include <QFile>
#include <QSaveFile>

#include "SettingsFile.h"

namespace dz {

bool ReadSettingsFile(const QString& p_sPath, std::string& p_sContent) {
  QFile file(p_sPath);
  if (!file.open(QIODevice::ReadOnly)) return false;
  if (file.size() > kLargestSettingsFile) return false;
  // A device or a growing file may report no size: read one byte past the
  // bound to tell.
  const QByteArray bytes = file.read(kLargestSettingsFile + 1);
  if (bytes.size() > kLargestSettingsFile || file.error() != QFileDevice::NoError) return false;
  p_sContent.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return true;
}

bool WriteFileAtomically(const QString& p_sPath, const QByteArray& p_byContent) {
  QSaveFile file(p_sPath);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // A short write or a failed flush (disk full, file size limit) must not
  // reach commit, which can report success and leave a truncated file.
  if (file.write(p_byContent) != p_byContent.size() || !file.flush()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool WriteSettingsFile(const QString& p_sPath, const std::vector<std::string>& p_objLines) {
  const std::string text = JoinFileLines(p_objLines);
  return WriteFileAtomically(p_sPath, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace dz
