#pragma once
// Turning the interface settings into what a serial port needs: the device
// behind COMn, and the speed, parity, data bits and stop bits of a settings
// string such as "9600,E,8,1".
#include <QSerialPort>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "SerialPortMap.h"

struct SerialSettings {
  qint32 baudRate = 9600;
  QSerialPort::Parity parity = QSerialPort::EvenParity;
  QSerialPort::DataBits dataBits = QSerialPort::Data8;
  QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Reads "speed,parity,data bits,stop bits". Parity letters N, E, O; data bits
// 7 or 8; stop bits 1 or 2. Returns false for anything else.
bool ParseSerialInfo(const std::string& p_sInfo, SerialSettings& p_objSettings);

// The device behind COMn, or nothing when no port is attached there. The
// default is ResolveComPort (SerialPortMap.h).
using ComPortResolver = std::function<std::optional<SerialPortInfo>(int p_iComPortNumber)>;
// The same as a plain device name (tests map COMn to a pseudo-terminal); an
// empty name means no port.
using SerialPortResolver = std::function<QString(int p_iComPortNumber)>;
