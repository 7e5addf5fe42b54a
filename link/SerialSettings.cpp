#include "SerialSettings.h"

#include <QStringList>

bool ParseSerialInfo(const std::string& p_sInfo, SerialSettings& p_objSettings) {
  const QStringList parts = QString::fromStdString(p_sInfo).split(',');
  if (parts.size() != 4) return false;
  bool ok = false;
  const int baud = parts[0].toInt(&ok);
  if (!ok || baud <= 0) return false;

  SerialSettings settings;
  settings.baudRate = baud;
  if (parts[1] == "N")
    settings.parity = QSerialPort::NoParity;
  else if (parts[1] == "E")
    settings.parity = QSerialPort::EvenParity;
  else if (parts[1] == "O")
    settings.parity = QSerialPort::OddParity;
  else
    return false;
  if (parts[2] == "7")
    settings.dataBits = QSerialPort::Data7;
  else if (parts[2] == "8")
    settings.dataBits = QSerialPort::Data8;
  else
    return false;
  if (parts[3] == "1")
    settings.stopBits = QSerialPort::OneStop;
  else if (parts[3] == "2")
    settings.stopBits = QSerialPort::TwoStop;
  else
    return false;
  p_objSettings = settings;
  return true;
}
