#include "ExporterAddresses.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace exporter {

namespace {

bool ParsePort(const QString& p_sText, quint16& p_iPort, bool p_bZeroAllowed) {
  bool ok = false;
  const uint number = p_sText.toUInt(&ok);
  if (!ok || number > 65535 || (number == 0 && !p_bZeroAllowed) || p_sText.startsWith(QLatin1Char('+'))) return false;
  p_iPort = static_cast<quint16>(number);
  return true;
}

// The IPv4 address an IPv6-mapped one stands for, else the address.
QHostAddress Plain(const QHostAddress& p_objAddress) {
  bool mapped = false;
  const quint32 v4 = p_objAddress.toIPv4Address(&mapped);
  return mapped ? QHostAddress(v4) : p_objAddress;
}

// Four decimal numbers with dots: what a user means by an IPv4 address (the
// parser would also take "1.2.3" as 1.2.0.3).
bool IsDottedQuad(const QString& p_sText) {
  static const QRegularExpression kDotted(QStringLiteral("^[0-9]{1,3}(\\.[0-9]{1,3}){3}$"));
  return kDotted.match(p_sText).hasMatch();
}

bool IsHostName(const QString& p_sHost) {
  static const QRegularExpression kName(
      QStringLiteral("^(?=.{1,253}$)([A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}"
                     "[A-Za-z0-9])?)*\\.?$"));
  return kName.match(p_sHost).hasMatch();
}

int HexDigit(char p_cDigit) {
  if (p_cDigit >= '0' && p_cDigit <= '9') return p_cDigit - '0';
  if (p_cDigit >= 'a' && p_cDigit <= 'f') return p_cDigit - 'a' + 10;
  if (p_cDigit >= 'A' && p_cDigit <= 'F') return p_cDigit - 'A' + 10;
  return -1;
}

bool Decode(const QByteArray& p_byText, QString& p_sOut) {
  QByteArray bytes;
  for (qsizetype i = 0; i < p_byText.size(); ++i) {
    const char c = p_byText[i];
    if (c == '+') {
      bytes += ' ';
    } else if (c == '%') {
      if (i + 2 >= p_byText.size()) return false;
      const int high = HexDigit(p_byText[i + 1]);
      const int low = HexDigit(p_byText[i + 2]);
      if (high < 0 || low < 0) return false;
      bytes += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      bytes += c;
    }
  }
  QStringDecoder decoder(QStringDecoder::Utf8);
  p_sOut = decoder(bytes);
  return !decoder.hasError();
}

}  // namespace

bool ParseListenAddress(const QString& p_sText, QHostAddress& p_objAddress, quint16& p_iPort, QString& p_sError) {
  p_sError = QStringLiteral("--listen takes ADDRESS:PORT, [IPV6]:PORT or :PORT, not \"%1\"").arg(p_sText);
  const qsizetype colon = p_sText.lastIndexOf(QLatin1Char(':'));
  if (colon < 0 || !ParsePort(p_sText.mid(colon + 1), p_iPort, true)) return false;
  QString host = p_sText.left(colon);
  if (host.isEmpty()) {
    p_objAddress = QHostAddress::Any;
    return true;
  }
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
    host = host.mid(1, host.size() - 2);
    if (!p_objAddress.setAddress(host) || p_objAddress.protocol() != QAbstractSocket::IPv6Protocol) return false;
    return true;
  }
  if (host == QLatin1String("localhost")) host = QStringLiteral("127.0.0.1");
  return IsDottedQuad(host) && p_objAddress.setAddress(host) &&
         p_objAddress.protocol() == QAbstractSocket::IPv4Protocol;
}

bool ParseSubnet(const QString& p_sText, Subnet& p_objSubnet, QString& p_sError) {
  QString text = p_sText.trimmed();
  if (text.isEmpty() || text.startsWith(QLatin1Char('/'))) {
    p_sError = QStringLiteral("--allow takes an address range such as 10.0.0.0/8, not \"%1\"").arg(p_sText);
    return false;
  }
  if (!text.contains(QLatin1Char('/'))) {
    const QHostAddress address(text);
    text += address.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("/128") : QStringLiteral("/32");
  }
  p_objSubnet = QHostAddress::parseSubnet(text);
  if (p_objSubnet.first.isNull() || p_objSubnet.second < 0) {
    p_sError = QStringLiteral("--allow takes an address range such as 10.0.0.0/8, not \"%1\"").arg(p_sText);
    return false;
  }
  return true;
}

bool IsAllowed(const std::vector<Subnet>& p_objAllowed, const QHostAddress& p_objAddress) {
  if (p_objAllowed.empty()) return true;
  const QHostAddress address = Plain(p_objAddress);
  for (const Subnet& subnet : p_objAllowed)
    if (address.isInSubnet(subnet)) return true;
  return false;
}

bool ParseProbeTarget(const QString& p_sText, ProbeTarget& p_objTarget, QString& p_sError) {
  p_objTarget = ProbeTarget();
  p_sError = QStringLiteral("target \"%1\" is not HOST[:PORT] with an address or a host name").arg(p_sText);
  if (p_sText.isEmpty() || p_sText.size() > 300) return false;
  // Visible ASCII only: the address parser would overlook spaces around it.
  for (QChar c : p_sText)
    if (c.unicode() <= 0x20 || c.unicode() >= 0x7F) return false;
  QString host = p_sText;
  if (host.startsWith(QLatin1Char('['))) {
    const qsizetype close = host.indexOf(QLatin1Char(']'));
    if (close < 0) return false;
    const QString rest = host.mid(close + 1);
    host = host.mid(1, close - 1);
    if (!rest.isEmpty() && (!rest.startsWith(QLatin1Char(':')) || !ParsePort(rest.mid(1), p_objTarget.port, false)))
      return false;
    if (!p_objTarget.address.setAddress(host) || p_objTarget.address.protocol() != QAbstractSocket::IPv6Protocol)
      return false;
  } else if (host.count(QLatin1Char(':')) > 1) {
    if (!p_objTarget.address.setAddress(host) || p_objTarget.address.protocol() != QAbstractSocket::IPv6Protocol)
      return false;
  } else {
    const qsizetype colon = host.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
      if (!ParsePort(host.mid(colon + 1), p_objTarget.port, false)) return false;
      host.truncate(colon);
    }
    QHostAddress address;
    if (IsDottedQuad(host)) {
      if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv4Protocol) return false;
      p_objTarget.address = address;
    } else if (!IsHostName(host) || QRegularExpression(QStringLiteral("^[0-9.]+$")).match(host).hasMatch()) {
      return false;
    }
  }
  // A zone ("fe80::1%eth0", even an empty one) names this machine's own
  // interface: no printer target.
  if (host.contains(QLatin1Char('%'))) return false;
  p_objTarget.host = host;
  p_sError.clear();
  return true;
}

bool ParseQuery(const QByteArray& p_byQuery, std::map<QString, QString>& p_objParams, QString& p_sError) {
  p_objParams.clear();
  if (p_byQuery.isEmpty()) return true;
  for (const QByteArray& part : p_byQuery.split('&')) {
    const qsizetype equals = part.indexOf('=');
    QString name, value;
    if (equals <= 0 || !Decode(part.left(equals), name) || !Decode(part.mid(equals + 1), value)) {
      p_sError = QStringLiteral("bad query string");
      return false;
    }
    if (!p_objParams.emplace(name, value).second) {
      p_sError = QStringLiteral("parameter %1 given twice").arg(name);
      return false;
    }
  }
  return true;
}

}  // namespace exporter
