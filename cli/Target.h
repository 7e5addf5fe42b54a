#pragma once
// A printer the tool talks to: a LAN host (an IPv4 or IPv6 address or a host
// name, resolved once before the run), a serial port (COMn or a device) or
// the USB printer, and the parsing of the target options and hosts files.
#include <QString>
#include <QStringList>
#include <vector>

struct Target {
  enum Kind { Lan, Com, Serial, Usb };
  Kind kind = Lan;
  QString host;          // LAN: the host as given (an IPv6 address without brackets)
  QString address;       // LAN: the address it resolved to; empty when it did not resolve
  QString resolveError;  // LAN: why the host name did not resolve
  quint16 port = 8000;   // LAN
  int com = 1;           // COMn
  QString device;        // --serial
  QString serialSettings = QStringLiteral("9600,E,8,1");
  QString usbLibrary;  // empty: the library beside the program

  // "127.0.0.1:8000", "printer7:8000", "[::1]:8000", "com1", the device path, "usb".
  QString Name() const;
  // File stem for --out-dir: "127.0.0.1_8000", "com1", "usb", the device's file name.
  QString FileStem() const;
  // What makes two targets the same printer: the resolved address and port,
  // the COM entry, the device, USB.
  QString Identity() const;
};

// "HOST[:PORT]" or "[IPV6][:PORT]", port 8000 when omitted. HOST is an IPv4
// address, a host name or (alone or in brackets) an IPv6 address.
bool ParseLanTarget(const QString& p_sText, Target& p_objTarget, QString& p_sError);
// The lines of a hosts file ("-": standard input): one HOST[:PORT] a line,
// in its first tab-separated column (further columns, such as discover's
// status text, are ignored); blank lines, lines starting with # and trailing "# comments"
// are skipped; lines may be of any length.
bool ReadHostsFile(const QString& p_sPath, std::vector<Target>& p_objTargets, QString& p_sError);
// "lan:HOST[:PORT]", "com:N", "usb" as a printer source; false for anything else.
bool ParsePrinterSource(const QString& p_sText, Target& p_objTarget, QString& p_sError);
// "speed,parity,data bits,stop bits" as the window's interface settings take it.
bool CheckSerialSettings(const QString& p_sText);
// Resolves every LAN host name once (IPv4 preferred) and drops every target
// that names a printer named before (the first keeps its place).
void ResolveTargets(std::vector<Target>& p_objTargets);
