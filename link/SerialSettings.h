#pragma once
// Turning the interface settings into what a serial port needs: the device
// name of COMn, and the speed, parity, data bits and stop bits of a settings
// string such as "9600,E,8,1".
#include <QSerialPort>
#include <QString>
#include <functional>
#include <string>

struct SerialSettings {
  qint32 baudRate = 9600;
  QSerialPort::Parity parity = QSerialPort::EvenParity;
  QSerialPort::DataBits dataBits = QSerialPort::Data8;
  QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Reads "speed,parity,data bits,stop bits". Parity letters N, E, O; data bits
// 7 or 8; stop bits 1 or 2. Returns false for anything else.
bool ParseSerialInfo(const std::string& p_sInfo, SerialSettings& p_objSettings);

// The device of serial port COMn: "COMn" on Windows, /dev/ttyS(n-1) elsewhere.
QString DefaultSerialPortName(int p_iComPortNumber);

using SerialPortResolver = std::function<QString(int p_iComPortNumber)>;
