#include "Target.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <QRegularExpression>
#include <set>

#include "SerialSettings.h"

QString Target::Name() const {
  switch (kind) {
    case Lan:
      return host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2").arg(host).arg(port)
                                             : QStringLiteral("%1:%2").arg(host).arg(port);
    case Com:
      return QStringLiteral("com%1").arg(com);
    case Serial:
      return device;
    case Usb:
      return QStringLiteral("usb");
  }
  return QString();
}

QString Target::FileStem() const {
  switch (kind) {
    case Lan:
      return QStringLiteral("%1_%2").arg(host).arg(port);
    case Serial:
      return QFileInfo(device).fileName();
    default:
      return Name();
  }
}

QString Target::Identity() const {
  switch (kind) {
    case Lan:
      return QStringLiteral("lan %1 %2").arg(address.isEmpty() ? host : address).arg(port);
    case Com:
      return QStringLiteral("com %1").arg(com);
    case Serial:
      return QStringLiteral("serial %1").arg(QFileInfo(device).absoluteFilePath());
    case Usb:
      return QStringLiteral("usb");
  }
  return QString();
}

namespace {

bool IsHostName(const QString& p_sHost) {
  static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
  if (p_sHost.isEmpty() || p_sHost.size() > 253) return false;
  const QStringList labels = p_sHost.split(QLatin1Char('.'));
  for (const QString& part : labels)
    if (!label.match(part).hasMatch()) return false;
  // All-digit labels would be a mistyped IPv4 address.
  bool allNumeric = true;
  for (const QString& part : labels) {
    bool number = false;
    part.toUInt(&number);
    allNumeric = allNumeric && number;
  }
  return !allNumeric;
}

}  // namespace

bool ParseLanTarget(const QString& p_sText, Target& p_objTarget, QString& p_sError) {
  QString host = p_sText.trimmed();
  QString portText;
  bool hasPort = false;
  if (host.startsWith(QLatin1Char('['))) {
    const qsizetype close = host.indexOf(QLatin1Char(']'));
    if (close < 0) {
      p_sError = QStringLiteral("\"%1\" has no closing \"]\"").arg(p_sText);
      return false;
    }
    const QString rest = host.mid(close + 1);
    if (!rest.isEmpty()) {
      if (!rest.startsWith(QLatin1Char(':'))) {
        p_sError = QStringLiteral("\"%1\" is not [ADDRESS]:PORT").arg(p_sText);
        return false;
      }
      portText = rest.mid(1);
      hasPort = true;
    }
    host = host.mid(1, close - 1);
    QHostAddress address;
    if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv6Protocol) {
      p_sError = QStringLiteral("\"%1\" is not an IPv6 address").arg(host);
      return false;
    }
  } else if (host.count(QLatin1Char(':')) > 1) {
    // A bare IPv6 address: no port.
  } else if (host.contains(QLatin1Char(':'))) {
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    portText = host.mid(colon + 1);
    hasPort = true;
    host.truncate(colon);
  }
  quint16 port = 8000;
  if (hasPort) {
    bool ok = false;
    const uint number = portText.toUInt(&ok);
    if (!ok || number == 0 || number > 65535 || portText.startsWith(QLatin1Char('+'))) {
      p_sError = QStringLiteral("bad port in \"%1\"").arg(p_sText);
      return false;
    }
    port = static_cast<quint16>(number);
  }
  QHostAddress address;
  QString resolved;
  if (address.setAddress(host) &&
      (address.protocol() == QAbstractSocket::IPv6Protocol ||
       (address.protocol() == QAbstractSocket::IPv4Protocol && host.count(QLatin1Char('.')) == 3))) {
    if (!address.scopeId().isEmpty()) {
      p_sError = QStringLiteral("\"%1\": zone indexes are not taken").arg(p_sText);
      return false;
    }
    host = address.toString();
    resolved = host;
  } else if (!IsHostName(host)) {
    p_sError = QStringLiteral("\"%1\" is not a host name, an IPv4 address or an IPv6 address").arg(p_sText);
    return false;
  }
  p_objTarget = Target();
  p_objTarget.kind = Target::Lan;
  p_objTarget.host = host;
  p_objTarget.address = resolved;
  p_objTarget.port = port;
  return true;
}

bool ReadHostsFile(const QString& p_sPath, std::vector<Target>& p_objTargets, QString& p_sError) {
  QFile file;
  const bool standardInput = p_sPath == QLatin1String("-");
  const bool opened = standardInput ? file.open(stdin, QIODevice::ReadOnly)
                                    : (file.setFileName(p_sPath), file.open(QIODevice::ReadOnly));
  const QString name = standardInput ? QStringLiteral("standard input") : p_sPath;
  if (!opened) {
    p_sError = QStringLiteral("cannot read hosts file %1").arg(name);
    return false;
  }
  if (!standardInput && QFileInfo(p_sPath).isDir()) {
    p_sError = QStringLiteral("hosts file %1 is a folder").arg(name);
    return false;
  }
  int number = 0;
  while (true) {
    const QByteArray raw = file.readLine();  // any length
    if (raw.isEmpty() && (file.atEnd() || file.error() != QFileDevice::NoError)) break;
    ++number;
    QString line = QString::fromUtf8(raw);
    const qsizetype hash = line.indexOf(QLatin1Char('#'));
    if (hash >= 0) line.truncate(hash);
    line = line.trimmed();
    if (line.isEmpty()) continue;
    // The first tab-separated column (discover's output is a hosts file).
    const QString first = line.section(QLatin1Char('\t'), 0, 0).trimmed();
    Target target;
    QString error;
    if (!ParseLanTarget(first, target, error)) {
      p_sError = QStringLiteral("%1 line %2: %3").arg(name).arg(number).arg(error);
      return false;
    }
    p_objTargets.push_back(target);
  }
  if (file.error() != QFileDevice::NoError) {
    p_sError = QStringLiteral("cannot read hosts file %1").arg(name);
    return false;
  }
  return true;
}

bool ParsePrinterSource(const QString& p_sText, Target& p_objTarget, QString& p_sError) {
  if (p_sText == QLatin1String("usb")) {
    p_objTarget = Target();
    p_objTarget.kind = Target::Usb;
    return true;
  }
  if (p_sText.startsWith(QLatin1String("lan:"))) return ParseLanTarget(p_sText.mid(4), p_objTarget, p_sError);
  if (p_sText.startsWith(QLatin1String("com:"))) {
    bool ok = false;
    const int n = p_sText.mid(4).toInt(&ok);
    if (!ok || n < 1 || n > 9) {
      p_sError = QStringLiteral("COM port must be 1 to 9");
      return false;
    }
    p_objTarget = Target();
    p_objTarget.kind = Target::Com;
    p_objTarget.com = n;
    return true;
  }
  return false;
}

bool CheckSerialSettings(const QString& p_sText) {
  SerialSettings settings;
  return ParseSerialInfo(p_sText.toStdString(), settings);
}

void ResolveTargets(std::vector<Target>& p_objTargets) {
  for (Target& target : p_objTargets) {
    if (target.kind != Target::Lan || !target.address.isEmpty()) continue;
    const QHostInfo info = QHostInfo::fromName(target.host);
    QString v4, v6;
    for (const QHostAddress& address : info.addresses()) {
      if (address.protocol() == QAbstractSocket::IPv4Protocol && v4.isEmpty()) v4 = address.toString();
      if (address.protocol() == QAbstractSocket::IPv6Protocol && v6.isEmpty()) v6 = address.toString();
    }
    target.address = v4.isEmpty() ? v6 : v4;
    if (target.address.isEmpty()) target.resolveError = QStringLiteral("host name %1 not found").arg(target.host);
  }
  std::set<QString> seen;
  std::vector<Target> unique;
  for (const Target& target : p_objTargets)
    if (seen.insert(target.Identity()).second) unique.push_back(target);
  p_objTargets = std::move(unique);
}
