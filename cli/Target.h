#pragma once
// A printer the tool talks to: a LAN address, a serial port (COMn or a
// device) or the USB printer, and the parsing of the target options.
#include <QString>
#include <QStringList>
#include <vector>

struct Target {
  enum Kind { Lan, Com, Serial, Usb };
  Kind kind = Lan;
  QString host;         // LAN
  quint16 port = 8000;  // LAN
  int com = 1;          // COMn
  QString device;       // --serial
  QString serialSettings = QStringLiteral("9600,E,8,1");
  QString usbLibrary;  // empty: the library beside the program

  // "127.0.0.1:8000", "com1", the device path, "usb".
  QString Name() const;
  // File stem for --out-dir: "127.0.0.1_8000", "com1", "usb", the device's file name.
  QString FileStem() const;
};

// "HOST[:PORT]", port 8000 when omitted. HOST is an IPv4 address or "localhost".
bool ParseLanTarget(const QString& p_sText, Target& p_objTarget, QString& p_sError);
// The lines of a hosts file: one HOST[:PORT] a line; blank lines and lines
// starting with # are skipped.
bool ReadHostsFile(const QString& p_sPath, std::vector<Target>& p_objTargets, QString& p_sError);
// "lan:HOST[:PORT]", "com:N", "usb" as a printer source; false for anything else.
bool ParsePrinterSource(const QString& p_sText, Target& p_objTarget, QString& p_sError);
// "speed,parity,data bits,stop bits" as the window's interface settings take it.
bool CheckSerialSettings(const QString& p_sText);
