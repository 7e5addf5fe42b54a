#include "SettingsFileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "SettingsFile.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dz {

namespace {

bool Refuse(QString* p_pReason, const QString& p_sReason) {
  if (p_pReason) *p_pReason = p_sReason;
  return false;
}

#ifdef Q_OS_UNIX

QString ErrnoText(int p_iErrno) { return QString::fromLocal8Bit(std::strerror(p_iErrno)); }

// What a non-regular file is, for the reason.
QString KindText(mode_t p_iMode) {
  if (S_ISLNK(p_iMode)) return QStringLiteral("a symbolic link");
  if (S_ISDIR(p_iMode)) return QStringLiteral("a folder");
  if (S_ISFIFO(p_iMode)) return QStringLiteral("a FIFO");
  if (S_ISCHR(p_iMode) || S_ISBLK(p_iMode)) return QStringLiteral("a device");
  if (S_ISSOCK(p_iMode)) return QStringLiteral("a socket");
  return QStringLiteral("not a regular file");
}

bool WriteAll(int p_iFd, const char* p_pData, size_t p_iSize, off_t p_iOffset) {
  while (p_iSize > 0) {
    const ssize_t n = ::pwrite(p_iFd, p_pData, p_iSize, p_iOffset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p_pData += n;
    p_iSize -= static_cast<size_t>(n);
    p_iOffset += n;
  }
  return true;
}

// Reads up to p_iLimit + 1 bytes from the start of the file.
bool ReadAll(int p_iFd, QByteArray& p_byOut, qint64 p_iLimit) {
  p_byOut.clear();
  char buffer[65536];
  while (p_byOut.size() <= p_iLimit) {
    const ssize_t n = ::read(p_iFd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    p_byOut.append(buffer, static_cast<qsizetype>(n));
  }
  return true;
}

// The in-place write of a file whose folder takes no new file.
bool WriteInPlace(const QByteArray& p_sPath, const QByteArray& p_byContent, QString* p_pReason) {
  const int fd = ::open(p_sPath.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Refuse(p_pReason, ErrnoText(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Refuse(p_pReason, QStringLiteral("is %1").arg(KindText(info.st_mode)));
  }
  // The old content is kept so that a failed write can put it back.
  QByteArray old;
  if (!ReadAll(fd, old, 64 * kLargestSettingsFile) || old.size() > 64 * kLargestSettingsFile) {
    ::close(fd);
    return Refuse(p_pReason, QStringLiteral("its old content cannot be kept"));
  }
  bool ok = WriteAll(fd, p_byContent.constData(), static_cast<size_t>(p_byContent.size()), 0) &&
            ::ftruncate(fd, static_cast<off_t>(p_byContent.size())) == 0 && ::fsync(fd) == 0;
  const int error = errno;
  if (!ok) {
    WriteAll(fd, old.constData(), static_cast<size_t>(old.size()), 0);
    [[maybe_unused]] const int truncated = ::ftruncate(fd, static_cast<off_t>(old.size()));
    ::fsync(fd);
  }
  ::close(fd);
  return ok || Refuse(p_pReason, ErrnoText(error));
}

#endif

}  // namespace

bool ReadSettingsFile(const QString& p_sPath, std::string& p_sContent, QString* p_pReason) {
#ifdef Q_OS_UNIX
  const QByteArray path = QFile::encodeName(p_sPath);
  const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Refuse(p_pReason, ErrnoText(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Refuse(p_pReason, QStringLiteral("is %1, not a regular file").arg(KindText(info.st_mode)));
  }
  QByteArray bytes;
  const bool read = ReadAll(fd, bytes, kLargestSettingsFile);
  const int error = errno;
  ::close(fd);
  if (!read) return Refuse(p_pReason, ErrnoText(error));
#else
  QFile file(p_sPath);
  if (!file.open(QIODevice::ReadOnly)) return Refuse(p_pReason, file.errorString());
  const QByteArray bytes = file.read(kLargestSettingsFile + 1);
  if (file.error() != QFileDevice::NoError) return Refuse(p_pReason, file.errorString());
#endif
  if (bytes.size() > kLargestSettingsFile) return Refuse(p_pReason, QStringLiteral("is far too large"));
  p_sContent.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return true;
}

bool WriteFileAtomically(const QString& p_sPath, const QByteArray& p_byContent, QString* p_pReason) {
#ifdef Q_OS_UNIX
  const QByteArray path = QFile::encodeName(p_sPath);
  struct stat existing {};
  const bool exists = ::lstat(path.constData(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode))
    return Refuse(p_pReason, QStringLiteral("is %1; it was left as it is").arg(KindText(existing.st_mode)));
  QByteArray temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    const int error = errno;
    // A folder that takes no new file: a file that is there already is
    // written in place.
    if (exists && (error == EACCES || error == EROFS || error == EPERM))
      return WriteInPlace(path, p_byContent, p_pReason);
    return Refuse(p_pReason, ErrnoText(error));
  }
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  mode_t mode = existing.st_mode & 07777;
  if (!exists) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = WriteAll(fd, p_byContent.constData(), static_cast<size_t>(p_byContent.size()), 0) &&
            ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary.constData(), path.constData()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temporary.constData());
    return Refuse(p_pReason, ErrnoText(error));
  }
  return true;
#else
  QSaveFile file(p_sPath);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) return Refuse(p_pReason, file.errorString());
  if (file.write(p_byContent) != p_byContent.size() || !file.flush()) {
    file.cancelWriting();
    return Refuse(p_pReason, file.errorString());
  }
  return file.commit() || Refuse(p_pReason, file.errorString());
#endif
}

bool WriteSettingsFile(const QString& p_sPath, const std::vector<std::string>& p_objLines, QString* p_pReason) {
  const std::string text = JoinFileLines(p_objLines);
  return WriteFileAtomically(p_sPath, QByteArray(text.data(), static_cast<qsizetype>(text.size())), p_pReason);
}

}  // namespace dz
