#include "SerialOpenError.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
QString GroupName(gid_t p_iGroup) {
  const group* entry = ::getgrgid(p_iGroup);
  return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(p_iGroup);
}
QString UserName(uid_t p_iUser) {
  const passwd* entry = ::getpwuid(p_iUser);
  return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(p_iUser);
}
#endif

}  // namespace

SerialOpenError ClassifySerialOpenError(QSerialPort::SerialPortError p_eError, const QString& p_sDevice) {
  switch (p_eError) {
    case QSerialPort::NoError:
      return SerialOpenError::kNone;
    case QSerialPort::DeviceNotFoundError:
      return SerialOpenError::kNoDevice;
    case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
      // access(2) asks without opening, so a port in use is not disturbed.
      if (::access(QFile::encodeName(p_sDevice).constData(), R_OK | W_OK) != 0) {
        if (errno == EACCES || errno == EPERM) return SerialOpenError::kPermissionDenied;
        if (errno == ENOENT) return SerialOpenError::kNoDevice;
      }
#endif
      return SerialOpenError::kHeldByOther;
    default:
      return SerialOpenError::kOther;
  }
}

QString HeldByOtherText() { return QStringLiteral("Already Opened Port by other Application"); }

QString PermissionDeniedText(const QString& p_sDevice) {
#ifdef Q_OS_UNIX
  struct stat st {};
  if (::stat(QFile::encodeName(p_sDevice).constData(), &st) == 0) {
    const QString group = GroupName(st.st_gid);
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP) && st.st_gid != 0) {
      return QStringLiteral(
                 "Permission denied on %1.\nMembers of the group \"%2\" may open it: add your user to it "
                 "(sudo usermod -aG %2 $USER), then log out and log in again.")
          .arg(p_sDevice, group);
    }
    return QStringLiteral(
               "Permission denied on %1.\nOnly \"%2\" may open it. Give the device to the group \"dialout\" "
               "with read and write access (for example with a udev rule), add your user to that group "
               "(sudo usermod -aG dialout $USER), then log out and log in again.")
        .arg(p_sDevice, UserName(st.st_uid));
  }
#endif
  return QStringLiteral("Permission denied on %1.").arg(p_sDevice);
}

QString NoDeviceText(int p_iComPortNumber) {
  return QStringLiteral(
             "No serial port is attached at COM%1.\nConnect the printer's serial cable or USB adapter, or pick "
             "another COM PORT in \"Setup\".")
      .arg(p_iComPortNumber);
}

QString SerialOpenFailureText(QSerialPort::SerialPortError p_eError, const QString& p_sDevice, int p_iComPortNumber) {
  switch (ClassifySerialOpenError(p_eError, p_sDevice)) {
    case SerialOpenError::kHeldByOther:
      return HeldByOtherText();
    case SerialOpenError::kPermissionDenied:
      return PermissionDeniedText(p_sDevice);
    case SerialOpenError::kNoDevice:
      return NoDeviceText(p_iComPortNumber);  // gone since it was listed
    default:
      return {};
  }
}
