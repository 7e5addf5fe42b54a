#include "SerialPortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kComEntries = 9;

#ifdef Q_OS_LINUX

enum Group { kUsbAdapter = 0, kAcmDevice = 1, kUart = 2, kSimulator = 3 };

struct Found {
  Group group;
  QString sortKey;
  int number;
  SerialPortInfo info;
};

QString ReadAttribute(const QString& p_sPath) {
  QFile file(p_sPath);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.read(256)).trimmed();
}

// The number at the end of a name such as "ttyS12"; -1 when there is none.
int TrailingNumber(const QString& p_sName, qsizetype p_iPrefix) {
  bool ok = false;
  const int n = p_sName.mid(p_iPrefix).toInt(&ok);
  return ok && n >= 0 ? n : -1;
}

// The USB product string of the device above a tty: the first folder up
// that is a USB device (it has "idVendor"), the interface's parent for
// ttyACM and its grandparent for ttyUSB. Empty when it names no product.
QString UsbProduct(const QString& p_sDevicePath, const QString& p_sRoot) {
  QDir dir(p_sDevicePath);
  for (int up = 0; up < 4; ++up) {
    if (QFileInfo::exists(dir.filePath(QStringLiteral("idVendor"))))
      return ReadAttribute(dir.filePath(QStringLiteral("product")));
    if (!dir.cdUp() || !dir.absolutePath().startsWith(p_sRoot)) break;
  }
  return {};
}

// The port type of a UART from the device node, for kernels whose sysfs
// entry has no "type".
int UartTypeFromDevice(const QString& p_sDevice) {
  const int fd = ::open(QFile::encodeName(p_sDevice).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  serial_struct serial{};
  const int rc = ::ioctl(fd, TIOCGSERIAL, &serial);
  ::close(fd);
  return rc == 0 ? serial.type : -1;
}

QString UartDescription(int p_iType) {
  switch (p_iType) {
    case PORT_8250:
      return QStringLiteral("8250 UART");
    case PORT_16450:
      return QStringLiteral("16450 UART");
    case PORT_16550:
      return QStringLiteral("16550 UART");
    case PORT_16550A:
      return QStringLiteral("16550A UART");
    default:
      return QStringLiteral("UART");
  }
}

void FindKernelPorts(const SerialDeviceRoots& p_objRoots, std::vector<Found>& p_objFound) {
  const QDir sys(p_objRoots.m_sSysClassTty);
  // The top of the sysfs tree ("/sys"): a search for the USB product stops there.
  QString sysTop = QFileInfo(p_objRoots.m_sSysClassTty).canonicalFilePath().section('/', 0, -3);
  if (sysTop.isEmpty()) sysTop = QStringLiteral("/");
  const QStringList names =
      sys.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"), QStringLiteral("ttyS*")},
                    QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    const QString entry = sys.filePath(name);
    const QString device = QDir(p_objRoots.m_sDev).filePath(name);
    if (!QFileInfo::exists(device)) continue;
    // A tty without a device behind it (a virtual console, a phantom port).
    const QString devicePath = QFileInfo(entry + QStringLiteral("/device")).canonicalFilePath();
    if (devicePath.isEmpty()) continue;

    Found found{kUart, {}, -1, {device, {}}};
    if (name.startsWith(QStringLiteral("ttyUSB")) || name.startsWith(QStringLiteral("ttyACM"))) {
      const bool usb = name.startsWith(QStringLiteral("ttyUSB"));
      found.group = usb ? kUsbAdapter : kAcmDevice;
      found.number = TrailingNumber(name, 6);
      found.sortKey = devicePath;  // the place on the bus
      found.info.m_sDescription = UsbProduct(devicePath, sysTop);
      if (found.info.m_sDescription.isEmpty())
        found.info.m_sDescription = usb ? QStringLiteral("USB serial adapter") : QStringLiteral("USB ACM device");
    } else {
      found.number = TrailingNumber(name, 4);
      if (found.number < 0) continue;
      // Only a port with a driver bound and a known UART type has hardware.
      if (!QFileInfo::exists(devicePath + QStringLiteral("/driver"))) continue;
      bool ok = false;
      int type = ReadAttribute(entry + QStringLiteral("/type")).toInt(&ok);
      if (!ok) type = UartTypeFromDevice(device);
      if (type <= 0) continue;
      found.info.m_sDescription = UartDescription(type);
    }
    p_objFound.push_back(found);
  }
}

// Links ttyDZSIM* in the simulator's folder, when only this user (or root)
// could have put them there; each must lead to a device that exists.
void FindSimulatorPorts(const SerialDeviceRoots& p_objRoots, std::vector<Found>& p_objFound) {
  const QString folder = p_objRoots.m_sSimulator.isEmpty() ? SimulatorPortFolder() : p_objRoots.m_sSimulator;
  struct stat st {};
  if (::lstat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  if ((st.st_uid != ::geteuid() && st.st_uid != 0) || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) return;
  const QDir dir(folder);
  for (const QString& name :
       dir.entryList({QStringLiteral("ttyDZSIM*")}, QDir::AllEntries | QDir::System, QDir::Name)) {
    const QString target = QFileInfo(dir.filePath(name)).canonicalFilePath();
    if (target.isEmpty()) continue;  // left behind by a simulator that is gone
    const int number = TrailingNumber(name, 8);
    if (number < 0) continue;
    p_objFound.push_back({kSimulator, {}, number, {target, SimulatorPortDescription()}});
  }
}

#endif

}  // namespace

QString SimulatorPortFolder() {
#ifdef Q_OS_LINUX
  return QStringLiteral("/tmp/dazavu-sim-%1").arg(::geteuid());
#else
  return {};
#endif
}

QString SimulatorPortName(int p_iIndex) { return QStringLiteral("ttyDZSIM%1").arg(p_iIndex); }

QString SimulatorPortDescription() { return QStringLiteral("Dazavu printer simulator"); }

std::vector<SerialPortInfo> ListComPorts() { return ListComPorts(SerialDeviceRoots{}); }

std::vector<SerialPortInfo> ListComPorts(const SerialDeviceRoots& p_objRoots) {
  std::vector<SerialPortInfo> ports;
#ifdef Q_OS_LINUX
  std::vector<Found> found;
  FindKernelPorts(p_objRoots, found);
  FindSimulatorPorts(p_objRoots, found);
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    if (a.group != b.group) return a.group < b.group;
    if (a.sortKey != b.sortKey) return a.sortKey < b.sortKey;
    return a.number < b.number;
  });
  for (const Found& f : found) ports.push_back(f.info);
#else
  Q_UNUSED(p_objRoots);
  for (int n = 1; n <= kComEntries; ++n) ports.push_back({QStringLiteral("COM%1").arg(n), {}});
#endif
  return ports;
}

std::optional<SerialPortInfo> ResolveComPort(int p_iComPortNumber) {
  return ResolveComPort(p_iComPortNumber, SerialDeviceRoots{});
}

std::optional<SerialPortInfo> ResolveComPort(int p_iComPortNumber, const SerialDeviceRoots& p_objRoots) {
  if (p_iComPortNumber < 1 || p_iComPortNumber > kComEntries) return std::nullopt;
  const std::vector<SerialPortInfo> ports = ListComPorts(p_objRoots);
  if (static_cast<size_t>(p_iComPortNumber) > ports.size()) return std::nullopt;
  return ports[static_cast<size_t>(p_iComPortNumber - 1)];
}
