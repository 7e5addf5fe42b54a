#include "PrinterSession.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QRegularExpression>

#include "Commands.h"
#include "FieldChecks.h"
#include "LinkIds.h"
#include "LanTransport.h"
#include "MaintenanceCommands.h"
#include "Replies.h"
#include "SerialTransport.h"
#include "UsbTransport.h"

namespace {

// The interface settings' list positions of a "9600,E,8,1" text.
void ApplySerialSettings(CInterface& p_objInterface, const QString& p_sSettings) {
  const QStringList parts = p_sSettings.split(QLatin1Char(','));
  if (parts.size() != 4) return;
  static const char* const kSpeeds[] = {"2400", "4800", "9600", "19200", "38400", "115200"};
  for (int i = 0; i < 6; ++i)
    if (parts[0] == QLatin1String(kSpeeds[i])) p_objInterface.m_objCommunicationSpeed.SetValue(int32_t{i});
  const QString parity = parts[1].toUpper();
  p_objInterface.m_objParity.SetValue(int32_t{parity == QLatin1String("E") ? 1 : parity == QLatin1String("O") ? 2 : 0});
  p_objInterface.m_objDataLength.SetValue(int32_t{parts[2] == QLatin1String("7") ? 0 : 1});
  p_objInterface.m_objStopBit.SetValue(int32_t{parts[3] == QLatin1String("2") ? 1 : 0});
}

}  // namespace

PrinterSession::PrinterSession(const Target& p_objTarget, double p_dTimeoutSeconds)
    : m_objTarget(p_objTarget), m_dTimeout(p_dTimeoutSeconds), m_objLink(m_objItems, m_objInterface, m_objHost) {
  switch (m_objTarget.kind) {
    case Target::Lan: {
      m_objInterface.SetActiveInterface(dz::kLinkLan);
      const QHostAddress host(m_objTarget.address);
      if (host.protocol() == QAbstractSocket::IPv4Protocol) {
        const quint32 address = host.toIPv4Address();
        m_objInterface.SetIpAddress(static_cast<int16_t>(address >> 24), static_cast<int16_t>((address >> 16) & 0xFF),
                                    static_cast<int16_t>((address >> 8) & 0xFF), static_cast<int16_t>(address & 0xFF));
      }
      m_objLink.Lan().SetHostAddress(m_objTarget.address);
      // The last socket error, kept across the link's silent reconnect.
      QObject::connect(&m_objLink.Lan().Socket(), &QAbstractSocket::errorOccurred, &m_objLink,
                       [this](QAbstractSocket::SocketError p_eError) { m_eSocketError = p_eError; });
      m_objInterface.m_objSocketPortNumber.SetValue(static_cast<int32_t>(m_objTarget.port));
      m_objLink.Lan().SetConnectTimeoutMs(static_cast<int>(m_dTimeout * 1000));
      break;
    }
    case Target::Com:
    case Target::Serial:
      m_objInterface.SetActiveInterface(dz::kLinkCom);
      m_objInterface.SetComPortNumber(m_objTarget.com);
      ApplySerialSettings(m_objInterface, m_objTarget.serialSettings);
      if (m_objTarget.kind == Target::Serial) {
        const QString device = m_objTarget.device;
        m_objLink.Serial().SetPortResolver([device](int) { return device; });
      }
      break;
    case Target::Usb:
      m_objInterface.SetActiveInterface(dz::kLinkUsb);
      if (!m_objTarget.usbLibrary.isEmpty()) m_objLink.Usb().SetLibraryPath(m_objTarget.usbLibrary);
      m_objLink.Usb().SetReplyWaitSeconds(m_dTimeout);
      break;
  }
}

PrinterSession::~PrinterSession() {
  if (m_bOpen) m_objLink.CloseInterface(LinkIndex());
}

int PrinterSession::LinkIndex() const { return m_objInterface.GetActiveInterface(); }

QString PrinterSession::NoAnswer() {
  switch (m_eSocketError) {
    case QAbstractSocket::RemoteHostClosedError:
      return QStringLiteral("the printer closed the connection, no answer within %1 s").arg(m_dTimeout);
    case QAbstractSocket::ConnectionRefusedError:
      return QStringLiteral("the printer closed the connection and then refused it, no answer within %1 s")
          .arg(m_dTimeout);
    default:
      break;
  }
  return QStringLiteral("no answer within %1 s").arg(m_dTimeout);
}

bool PrinterSession::Fail(const QString& p_sWhat) {
  // The link's own texts follow, each by its first line (the socket's
  // detail lines are left out).
  QStringList texts;
  for (const QString& message : m_objHost.m_objErrors) {
    const QString first = message.section(QRegularExpression(QStringLiteral("[\\r\\n]")), 0, 0).trimmed();
    if (!first.isEmpty() && !texts.contains(first) && first != p_sWhat) texts << first;
  }
  m_sError = texts.isEmpty() ? p_sWhat : QStringLiteral("%1 (%2)").arg(p_sWhat, texts.join(QStringLiteral("; ")));
  return false;
}

bool PrinterSession::Open() {
  if (m_objTarget.kind == Target::Lan && m_objTarget.address.isEmpty()) return Fail(m_objTarget.resolveError);
  m_bOpen = m_objLink.OpenInterface(LinkIndex());
  if (m_bOpen) {
    // Commands without a reply are followed at once by others (the lines of
    // a file, then the read-back): sent without waiting for the printer's
    // acknowledgement of the previous one.
    if (m_objTarget.kind == Target::Lan) m_objLink.Lan().Socket().setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
  }
  switch (m_objTarget.kind) {
    case Target::Lan:
      switch (m_eSocketError != QAbstractSocket::UnknownSocketError ? m_eSocketError
                                                                    : m_objLink.Lan().Socket().error()) {
        case QAbstractSocket::ConnectionRefusedError:
          return Fail(QStringLiteral("connection refused"));
        case QAbstractSocket::SocketTimeoutError:
        case QAbstractSocket::UnknownSocketError:  // the link's own connect bound gave up
          return Fail(QStringLiteral("no connection within %1 s").arg(m_dTimeout));
        case QAbstractSocket::HostNotFoundError:
          return Fail(QStringLiteral("host not found"));
        case QAbstractSocket::NetworkError:
          return Fail(QStringLiteral("network unreachable"));
        default:
          return Fail(QStringLiteral("cannot connect: %1").arg(m_objLink.Lan().Socket().errorString()));
      }
    case Target::Com:
    case Target::Serial:
      return Fail(QStringLiteral("cannot open serial port %1").arg(m_objTarget.Name()));
    case Target::Usb:
      return Fail(QStringLiteral("cannot open the USB printer"));
  }
  return false;
}

bool PrinterSession::SendBytes(const std::string& p_sCommand, bool p_bReplyExpected, int p_iReplySize) {
  Bytes bytes;
  TextToBytes(p_sCommand, bytes);
  QString error;
  if (!m_objLink.SendCommand(bytes, error, p_iReplySize, p_bReplyExpected)) {
    if (!error.isEmpty()) m_objHost.m_objErrors << error;  // the link's own text follows
    switch (m_eSocketError) {
      case QAbstractSocket::RemoteHostClosedError:
        return Fail(QStringLiteral("the printer closed the connection"));
      case QAbstractSocket::ConnectionRefusedError:
        return Fail(QStringLiteral("connection refused"));
      default:
        return Fail(QStringLiteral("the command could not be sent"));
    }
  }
  if (LinkIndex() == dz::kLinkLan && !m_objLink.WaitLanSendComplete(m_dTimeout))
    return Fail(QStringLiteral("the command was not sent within %1 s").arg(m_dTimeout));
  return true;
}

bool PrinterSession::CheckedStatusReply() {
  const QString problem = QString::fromLatin1(CheckStatusReply(m_objLink.State().m_byLastStatusReply).c_str());
  if (problem.startsWith(QLatin1String("unknown status code"))) return Fail(problem);
  if (!problem.isEmpty()) return Fail(QStringLiteral("unreadable reply: %1").arg(problem));
  return true;
}

bool PrinterSession::Status(QString& p_sText, QString& p_sCode) {
  const int before = m_objHost.m_iStatusTexts;
  m_objLink.State().m_iReplyRecord = -1;
  if (!SendBytes(BuildStatusCommand(), true, kStatusReplyLength)) return false;
  if (!m_objLink.WaitUntil([&] { return m_objHost.m_iStatusTexts != before; },
                           QDeadlineTimer(static_cast<qint64>(m_dTimeout * 1000))))
    return Fail(NoAnswer());
  if (!CheckedStatusReply()) return false;
  p_sText = m_objHost.m_sStatusText;
  p_sCode = QString::fromLatin1(m_objLink.State().m_sLastStatusCode.data(),
                                static_cast<qsizetype>(m_objLink.State().m_sLastStatusCode.size()));
  return true;
}

bool PrinterSession::ReadRecords(const std::vector<int>& p_objKinds) {
  m_objLink.State().m_bReadInProgress = true;
  for (int kind : p_objKinds) {
    m_objLink.State().m_iReplyRecord = static_cast<int16_t>(kind);
    m_objLink.State().m_bReplyExpected = true;
    // The receive path stores the record's items and counts it.
    const uint32_t stored = m_objLink.State().m_iRecordsStored;
    if (!SendBytes(BuildReadRecordCommand(kind), true, GetReplyLength(kind))) {
      m_objLink.State().m_bReadInProgress = false;
      return false;
    }
    if (!m_objLink.WaitUntil([this, stored] { return m_objLink.State().m_iRecordsStored != stored; },
                             QDeadlineTimer(static_cast<qint64>(m_dTimeout * 1000)))) {
      m_objLink.State().m_bReadInProgress = false;
      return Fail(NoAnswer());
    }
    // The items hold what arrived; a record whose fields are no values of
    // their items fails the printer, so nothing of it is used.
    const std::string problem = CheckRecordReply(kind, m_objLink.State().m_byLastRecordFrame);
    if (!problem.empty()) {
      m_objLink.State().m_bReadInProgress = false;
      return Fail(
          QStringLiteral("unreadable reply to %1: %2")
              .arg(QString::fromLatin1(BuildReadRecordCommand(kind).c_str()), QString::fromLatin1(problem.c_str())));
    }
  }
  m_objLink.State().m_bReadInProgress = false;
  return true;
}

bool PrinterSession::Send(const std::string& p_sCommand) { return SendBytes(p_sCommand, false, 0); }

bool PrinterSession::HeadCheck(QString& p_sResult) {
  const int before = m_objHost.m_iHeadCheckTexts;
  m_objLink.State().m_bHeadCheckMode = true;
  m_objLink.State().m_iReplyRecord = -1;
  if (!SendBytes(BuildHeadCheckCommand(), true, kStatusReplyLength)) return false;
  if (LinkIndex() == dz::kLinkUsb) {
    // Over USB the printer is asked again once it has finished the check.
    m_objLink.WaitSeconds(5);
    m_objLink.State().m_bHeadCheckMode = true;
    if (!SendBytes(BuildStatusCommand(), true, kStatusReplyLength)) return false;
  }
  if (!m_objLink.WaitUntil([&] { return m_objHost.m_iHeadCheckTexts != before; },
                           QDeadlineTimer(static_cast<qint64>(m_dTimeout * 1000))))
    return Fail(NoAnswer());
  if (!CheckedStatusReply()) return false;
  p_sResult = m_objHost.m_sHeadCheckText;
  return true;
}
