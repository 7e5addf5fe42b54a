#include "AuditLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "Backups.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace dz {

QString DefaultAuditLog() { return QDir(StateFolder()).filePath(QStringLiteral("audit.jsonl")); }

bool AppendAuditLine(const QString& p_sPath, const QByteArray& p_byLine, QString& p_sError) {
  if (p_byLine.contains('\n')) {
    p_sError = QStringLiteral("an audit line holds a line end");
    return false;
  }
  if (!QFileInfo(p_sPath).absoluteDir().mkpath(QStringLiteral("."))) {
    p_sError = QStringLiteral("cannot create the folder of %1").arg(p_sPath);
    return false;
  }
  const QByteArray line = p_byLine + '\n';
#ifdef Q_OS_UNIX
  const QByteArray path = QFile::encodeName(p_sPath);
  const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    p_sError = QStringLiteral("cannot open %1: %2").arg(p_sPath, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }
  // One write: with O_APPEND the kernel places it at the end as one piece.
  ssize_t written;
  do {
    written = ::write(fd, line.constData(), static_cast<size_t>(line.size()));
  } while (written < 0 && errno == EINTR);
  const int writeErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (written != static_cast<ssize_t>(line.size()) || !closed) {
    p_sError = QStringLiteral("cannot append to %1: %2")
                   .arg(p_sPath, written < 0 ? QString::fromLocal8Bit(std::strerror(writeErrno))
                                             : QStringLiteral("short write"));
    return false;
  }
  return true;
#else
  QFile file(p_sPath);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size() || !file.flush()) {
    p_sError = QStringLiteral("cannot append to %1").arg(p_sPath);
    return false;
  }
  return true;
#endif
}

}  // namespace dz
