#pragma once
// Which serial device each of the entries COM1 to COM9 stands for.
//
// Windows: COMn is the port "COMn".
// Linux: the serial ports that really exist, in this order:
//   1. USB-serial adapters (ttyUSB*), by their place on the USB bus (the
//      sysfs path of the device), so that an adapter keeps its entry while
//      it stays in the same socket;
//   2. USB modems and CDC-ACM devices (ttyACM*), in the same way;
//   3. UARTs with hardware behind them (ttyS* whose sysfs entry has a device
//      with a driver and a port type other than 0), by number; the ttyS
//      nodes that the kernel creates without a UART are left out;
//   4. pseudo-terminals that the printer simulator publishes as links
//      ttyDZSIM* in its folder (SimulatorPortFolder()), by name.
// COM1 is the first of them, COM9 the ninth; an entry beyond the last port
// has no device.
#include <QString>
#include <optional>
#include <vector>

struct SerialPortInfo {
  QString m_sDevice;       // what the serial port opens, e.g. "/dev/ttyUSB0"
  QString m_sDescription;  // e.g. "FT232R USB UART"
};

// The folders the Linux rule reads; tests point them at a prepared tree.
struct SerialDeviceRoots {
  QString m_sSysClassTty = QStringLiteral("/sys/class/tty");
  QString m_sDev = QStringLiteral("/dev");
  QString m_sSimulator;  // empty: SimulatorPortFolder()
};

// Where the printer simulator publishes its pseudo-terminal:
// /tmp/dazavu-sim-<uid>, a folder only that user may write.
QString SimulatorPortFolder();
// The name of the n-th published link (0 first): "ttyDZSIM0".
QString SimulatorPortName(int p_iIndex);
// The description of a published simulator port.
QString SimulatorPortDescription();

// Every serial port of this machine in entry order (COM1 first).
std::vector<SerialPortInfo> ListComPorts();
std::vector<SerialPortInfo> ListComPorts(const SerialDeviceRoots& p_objRoots);

// The device behind COMn (1 to 9), or nothing when no port is attached there.
std::optional<SerialPortInfo> ResolveComPort(int p_iComPortNumber);
std::optional<SerialPortInfo> ResolveComPort(int p_iComPortNumber, const SerialDeviceRoots& p_objRoots);
