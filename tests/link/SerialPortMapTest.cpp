// Which device each COM entry stands for, read from a device tree prepared
// in a temporary folder the way sysfs and /dev show serial ports.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "SerialPortMap.h"

namespace {

class SerialPortMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree.isValid());
    roots.m_sSysClassTty = Path("sys/class/tty");
    roots.m_sDev = Path("dev");
    roots.m_sSimulator = Path("sim");
    ASSERT_TRUE(QDir().mkpath(roots.m_sSysClassTty));
    ASSERT_TRUE(QDir().mkpath(roots.m_sDev));
    ASSERT_TRUE(QDir().mkpath(roots.m_sSimulator));
    ::chmod(QFile::encodeName(roots.m_sSimulator).constData(), 0700);
  }

  QString Path(const QString& relative) const { return tree.filePath(relative); }
  void File(const QString& relative, const QByteArray& content = {}) {
    QDir().mkpath(QFileInfo(Path(relative)).path());
    QFile file(Path(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  void Link(const QString& relative, const QString& target) {
    QDir().mkpath(QFileInfo(Path(relative)).path());
    ASSERT_TRUE(QFile::link(target, Path(relative))) << relative.toStdString();
  }
  // A tty in /sys/class/tty with its node in /dev; device is the sysfs
  // folder of the hardware behind it (relative to sys/devices), or empty.
  void Tty(const QString& name, const QString& device) {
    ASSERT_TRUE(QDir().mkpath(Path("sys/class/tty/" + name)));
    File("dev/" + name);
    if (!device.isEmpty()) {
      ASSERT_TRUE(QDir().mkpath(Path("sys/devices/" + device)));
      Link("sys/class/tty/" + name + "/device", Path("sys/devices/" + device));
    }
  }
  // A USB device in a socket of the bus, below the root hub (which has a
  // product string of its own).
  void UsbDevice(const QString& socket, const QByteArray& product) {
    File("sys/devices/pci0/usb1/idVendor", "1d6b\n");
    File("sys/devices/pci0/usb1/product", "xHCI Host Controller\n");
    File("sys/devices/pci0/usb1/" + socket + "/idVendor", "0403\n");
    if (!product.isEmpty()) File("sys/devices/pci0/usb1/" + socket + "/product", product + "\n");
  }
  // A USB-serial adapter: the product string sits on the USB device, two
  // levels above the port.
  void UsbAdapter(const QString& name, const QString& socket, const QByteArray& product) {
    Tty(name, "pci0/usb1/" + socket + "/" + socket + ":1.0/" + name);
    UsbDevice(socket, product);
  }
  // A ttyS node; type 0 and no driver is what the kernel shows without a UART.
  void Uart(const QString& name, const QString& device, const QByteArray& type, bool driver) {
    Tty(name, device);
    File("sys/class/tty/" + name + "/type", type + "\n");
    if (driver) Link("sys/devices/" + device + "/driver", Path("sys/bus/driver"));
  }

  std::vector<std::pair<QString, QString>> Listed() const {
    std::vector<std::pair<QString, QString>> out;
    for (const SerialPortInfo& port : ListComPorts(roots)) out.emplace_back(port.m_sDevice, port.m_sDescription);
    return out;
  }

  QTemporaryDir tree;
  SerialDeviceRoots roots;
};

}  // namespace

TEST_F(SerialPortMapTest, RealPortsInStableOrderPhantomUartsLeftOut) {
  QDir().mkpath(Path("sys/bus/driver"));
  // ttyUSB1 sits in the first socket, so it comes before ttyUSB0.
  UsbAdapter("ttyUSB0", "1-3", "CP2102 USB to UART Bridge Controller");
  UsbAdapter("ttyUSB1", "1-2", "FT232R USB UART");
  Tty("ttyACM0", "pci0/usb1/1-4/1-4:1.0");
  UsbDevice("1-4", "USB Modem");
  Uart("ttyS0", "pnp0/00:01", "4", true);
  Uart("ttyS1", "platform/serial8250", "0", true);    // phantom: no UART
  Uart("ttyS2", "platform/serial8250b", "4", false);  // no driver bound
  Uart("ttyS10", "pnp0/00:02", "4", true);
  Tty("tty0", "");   // a console, not a serial port
  Tty("ttyS3", "");  // no device at all
  File("sys/devices/pci0/usb1/1-9/product", "unplugged");
  File("dev/pts/3");
  Link("sim/ttyDZSIM0", Path("dev/pts/3"));
  Link("sim/ttyDZSIM1", Path("dev/pts/99"));  // left behind by a simulator that is gone

  const std::vector<std::pair<QString, QString>> expected = {
      {Path("dev/ttyUSB1"), "FT232R USB UART"},
      {Path("dev/ttyUSB0"), "CP2102 USB to UART Bridge Controller"},
      {Path("dev/ttyACM0"), "USB Modem"},
      {Path("dev/ttyS0"), "16550A UART"},
      {Path("dev/ttyS10"), "16550A UART"},
      {QFileInfo(Path("dev/pts/3")).canonicalFilePath(), "Dazavu printer simulator"},
  };
  EXPECT_EQ(Listed(), expected);

  const std::optional<SerialPortInfo> com1 = ResolveComPort(1, roots);
  ASSERT_TRUE(com1);
  EXPECT_EQ(com1->m_sDevice, Path("dev/ttyUSB1"));
  ASSERT_TRUE(ResolveComPort(6, roots));
  EXPECT_EQ(ResolveComPort(6, roots)->m_sDescription, QStringLiteral("Dazavu printer simulator"));
  EXPECT_FALSE(ResolveComPort(7, roots));
  EXPECT_FALSE(ResolveComPort(0, roots));
  EXPECT_FALSE(ResolveComPort(10, roots));

  // Unplugging the second adapter leaves the first at COM1; a new one in a
  // later socket, even with a lower number, goes behind it.
  QDir(Path("sys/class/tty/ttyUSB0")).removeRecursively();
  QFile::remove(Path("dev/ttyUSB0"));
  UsbAdapter("ttyUSB2", "1-5", "");
  const std::vector<SerialPortInfo> after = ListComPorts(roots);
  ASSERT_GE(after.size(), 3u);
  EXPECT_EQ(after[0].m_sDevice, Path("dev/ttyUSB1"));
  EXPECT_EQ(after[1].m_sDevice, Path("dev/ttyUSB2"));
  EXPECT_EQ(after[1].m_sDescription, QStringLiteral("USB serial adapter"));
  EXPECT_EQ(after[2].m_sDevice, Path("dev/ttyACM0"));
}

TEST_F(SerialPortMapTest, OnlyPortsWithANodeAndASafeSimulatorFolderCount) {
  UsbAdapter("ttyUSB0", "1-2", "FT232R USB UART");
  QFile::remove(Path("dev/ttyUSB0"));  // the sysfs entry outlived the node
  File("dev/pts/4");
  Link("sim/ttyDZSIM0", Path("dev/pts/4"));
  ASSERT_EQ(Listed().size(), 1u);
  EXPECT_EQ(Listed()[0].second, QStringLiteral("Dazavu printer simulator"));

  // A folder that others may write could hold anyone's link: not trusted.
  ::chmod(QFile::encodeName(roots.m_sSimulator).constData(), 0777);
  EXPECT_TRUE(Listed().empty());
  EXPECT_FALSE(ResolveComPort(1, roots));

  // Nothing at all where the roots point.
  roots.m_sSysClassTty = Path("none/sys");
  roots.m_sSimulator = Path("none/sim");
  EXPECT_TRUE(ListComPorts(roots).empty());
}

TEST(SimulatorPortFolderTest, IsThisUsersOwnFolderInTmp) {
  EXPECT_EQ(SimulatorPortFolder(), QStringLiteral("/tmp/dazavu-sim-%1").arg(::geteuid()));
  EXPECT_EQ(SimulatorPortName(0), QStringLiteral("ttyDZSIM0"));
}
