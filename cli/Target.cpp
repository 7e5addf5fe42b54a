#include "Target.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>

#include "SerialSettings.h"

QString Target::Name() const {
  switch (kind) {
    case Lan:
      return QStringLiteral("%1:%2").arg(host).arg(port);
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

bool ParseLanTarget(const QString& p_sText, Target& p_objTarget, QString& p_sError) {
  QString host = p_sText.trimmed();
  quint16 port = 8000;
  const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
  if (colon >= 0) {
    bool ok = false;
    const uint number = host.mid(colon + 1).toUInt(&ok);
    if (!ok || number == 0 || number > 65535) {
      p_sError = QStringLiteral("bad port in \"%1\"").arg(p_sText);
      return false;
    }
    port = static_cast<quint16>(number);
    host.truncate(colon);
  }
  if (host == QLatin1String("localhost")) host = QStringLiteral("127.0.0.1");
  QHostAddress address;
  if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv4Protocol ||
      host.count(QLatin1Char('.')) != 3) {
    p_sError = QStringLiteral("\"%1\" is not an IPv4 address").arg(p_sText);
    return false;
  }
  p_objTarget = Target();
  p_objTarget.kind = Target::Lan;
  p_objTarget.host = address.toString();
  p_objTarget.port = port;
  return true;
}

bool ReadHostsFile(const QString& p_sPath, std::vector<Target>& p_objTargets, QString& p_sError) {
  QFile file(p_sPath);
  if (!file.open(QIODevice::ReadOnly)) {
    p_sError = QStringLiteral("cannot read hosts file %1").arg(p_sPath);
    return false;
  }
  int number = 0;
  while (!file.atEnd()) {
    ++number;
    const QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    Target target;
    QString error;
    if (!ParseLanTarget(line, target, error)) {
      p_sError = QStringLiteral("%1 line %2: %3").arg(p_sPath).arg(number).arg(error);
      return false;
    }
    p_objTargets.push_back(target);
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
