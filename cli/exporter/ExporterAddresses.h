#pragma once
// The addresses the exporter deals in: where it listens, which printers a
// probe may reach (--allow), a probe's target and its query string.
#include <QByteArray>
#include <QHostAddress>
#include <QPair>
#include <QString>
#include <map>
#include <vector>

namespace exporter {

// "ADDRESS:PORT", "[IPV6]:PORT", "localhost:PORT" or ":PORT" (every address).
bool ParseListenAddress(const QString& p_sText, QHostAddress& p_objAddress, quint16& p_iPort, QString& p_sError);

using Subnet = QPair<QHostAddress, int>;
// "10.0.0.0/8", "fd00::/8", or one address (a /32 or /128).
bool ParseSubnet(const QString& p_sText, Subnet& p_objSubnet, QString& p_sError);
// Whether an address lies in one of the subnets; with none, every address
// does. IPv4 addresses written as IPv6 (::ffff:a.b.c.d) count as IPv4.
bool IsAllowed(const std::vector<Subnet>& p_objAllowed, const QHostAddress& p_objAddress);

struct ProbeTarget {
  QString host;          // the address or name as given, without brackets
  quint16 port = 8000;   // the printer's port when none is given
  QHostAddress address;  // set when host is an address
};
// "HOST", "HOST:PORT", "[IPV6]", "[IPV6]:PORT" or a bare IPv6 address; HOST
// an address or a host name. Anything else (a scheme, a path, user
// information, spaces) is refused with the reason.
bool ParseProbeTarget(const QString& p_sText, ProbeTarget& p_objTarget, QString& p_sError);

// "a=1&b=2" with %XX and "+" decoded. Refused with the reason: a bad escape,
// text that is not UTF-8, a parameter without "=", a name given twice.
bool ParseQuery(const QByteArray& p_byQuery, std::map<QString, QString>& p_objParams, QString& p_sError);

}  // namespace exporter
