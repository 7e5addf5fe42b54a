#include "LanTransport.h"

#include <QHostAddress>

#include "CInterface.h"
#include "ILinkHost.h"
#include "LinkDispatcher.h"
#include "Replies.h"

namespace {
constexpr double kSendBoundSeconds = 2.0;
constexpr int kNoIcon = 0;
// An address where nobody answers would otherwise keep the link connecting
// for the system's full TCP time-out (minutes) with the buttons locked.
constexpr int kConnectBoundMs = 10000;
}  // namespace

LanTransport::LanTransport(LinkDispatcher& p_objLink) : m_objLink(p_objLink) {
  connect(&m_objSocket, &QTcpSocket::connected, this, &LanTransport::OnLanConnect);
  connect(&m_objSocket, &QTcpSocket::disconnected, this, &LanTransport::OnLanClose);
  connect(&m_objSocket, &QTcpSocket::bytesWritten, this, [this](qint64) { OnLanSendComplete(); });
  connect(&m_objSocket, &QTcpSocket::readyRead, this, [this] { OnLanDataArrival(m_objSocket.bytesAvailable()); });
  connect(&m_objSocket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
    m_objConnectTimer.stop();
    OnLanError(static_cast<int>(error), m_objSocket.errorString(), 0, QString(), QString(), 0, false);
  });
  m_objConnectTimer.setSingleShot(true);
  m_objConnectTimer.setInterval(kConnectBoundMs);
  connect(&m_objConnectTimer, &QTimer::timeout, this, [this] {
    if (m_objSocket.state() == QAbstractSocket::ConnectedState) return;
    m_objSocket.abort();
    OnLanError(static_cast<int>(QAbstractSocket::SocketTimeoutError), QStringLiteral("Connection timed out"), 0,
               QString(), QString(), 0, false);
  });
}

void LanTransport::Connect() {
  CInterface& settings = m_objLink.Interface();
  m_bAssembling = false;
  m_objSocket.abort();
  m_objConnectTimer.start();
  m_objSocket.connectToHost(QString::fromStdString(settings.GetIpAddress()),
                            static_cast<quint16>(QString::fromStdString(settings.GetSocketPortNumber()).toInt()));
}

void LanTransport::Close() {
  m_objConnectTimer.stop();
  m_bAssembling = false;
  m_objSocket.abort();
  m_objLink.m_bLanConnected = 0;
}

bool LanTransport::SendLan(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t p_iReplySize) {
  p_byReply.assign(static_cast<size_t>(std::max<int32_t>(p_iReplySize, 0)) + 1, 0);

  // A send on a socket that is not connected, or that refuses the bytes,
  // fails, whatever an earlier send on the connection reported.
  if (m_objSocket.state() != QAbstractSocket::ConnectedState) {
    p_sErrorText = QStringLiteral("'LAN' Send Error !!");
    return false;
  }
  // Bytes left over from an earlier reply must not be taken for this one.
  if (m_objSocket.bytesAvailable() > 0) m_objSocket.readAll();
  m_bAssembling = false;
  m_objLink.m_byReceiveBuffer.clear();

  const QByteArray block(reinterpret_cast<const char*>(p_byCommand.data()), static_cast<int>(p_byCommand.size()));
  if (m_objSocket.write(block) != block.size()) {
    p_sErrorText = QStringLiteral("'LAN' Send Error !!");
    return false;
  }

  QDeadlineTimer deadline(static_cast<qint64>(kSendBoundSeconds * 1000));
  m_objLink.WaitUntil([this] { return m_objLink.m_bLanSendComplete == 1 || m_objLink.m_bLanError; }, deadline);
  if (m_objLink.m_bLanSendComplete == 1) return true;
  if (m_objLink.m_bLanError) {
    p_sErrorText = QStringLiteral("'LAN' Send Error !!");
    return false;
  }
  p_sErrorText = QStringLiteral("'LAN' send timeout Error !!");
  return false;
}

void LanTransport::OnLanConnect() {
  m_objConnectTimer.stop();
  m_objLink.m_bLanConnected = 1;
  m_objLink.NotifyStateChanged();
}

void LanTransport::OnLanClose() {
  m_objLink.m_bLanConnected = 0;
  m_bAssembling = false;
  m_objLink.NotifyStateChanged();
}

void LanTransport::OnLanSendComplete() {
  m_objLink.m_bLanSendComplete = 1;
  m_objLink.NotifyStateChanged();
}

size_t LanTransport::ExpectedLength(uint8_t p_byFirst) const {
  if (p_byFirst == kSoh) return kStatusReplyLength;
  if (p_byFirst == kRecordStart) {
    const int length = GetReplyLength(m_objLink.m_iReplyRecord) / 2;
    return length > 0 ? static_cast<size_t>(length) : 1;
  }
  return 0;
}

void LanTransport::OnLanDataArrival(qint64 /*p_iBytesTotal*/) { ReceiveLanData(m_objSocket.readAll()); }

void LanTransport::ReceiveLanData(const QByteArray& p_byData) {
  LinkDispatcher& link = m_objLink;
  bool decodeFailed = false;
  bool pending = false;

  if (!link.m_bReplyExpected) {
    // Nothing was asked for: these bytes (the tail of an over-long reply, a
    // late duplicate) cannot belong to the next command's reply, so they are
    // dropped now instead of waiting in the socket to be taken for it.
    m_bAssembling = false;
  } else {
    // A reply that arrives in pieces is joined until it has its full length,
    // so a partial frame is never decoded as a complete one; bytes beyond the
    // reply are not part of it and dropped.
    if (!m_bAssembling) link.m_byReceiveBuffer.clear();
    Bytes& buffer = link.m_byReceiveBuffer;
    const size_t limit = buffer.empty() ? (p_byData.isEmpty() ? 0 : ExpectedLength(static_cast<uint8_t>(p_byData[0])))
                                        : ExpectedLength(buffer[0]);
    for (char c : p_byData) {
      if (limit != 0 && buffer.size() >= limit) break;
      buffer.push_back(static_cast<uint8_t>(c));
      if (limit == 0) break;  // not a reply: its first byte is enough to know
    }

    if (!buffer.empty()) {
      const uint8_t first = buffer[0];
      if ((first == kSoh || first == kRecordStart) && buffer.size() < limit) {
        m_bAssembling = true;
        pending = true;
      } else {
        m_bAssembling = false;
        if (first == kSoh) link.ShowStatusReply(buffer);
        else if (first == kRecordStart) decodeFailed = !link.StoreRecord(buffer);
      }
    }
  }

  if (!link.m_bReadInProgress && !decodeFailed && !pending) link.EndBusy();
  link.NotifyStateChanged();
}

QString LanTransport::BuildErrorMessage(int p_iNumber, const QString& p_sDescription, qint32 p_iScode,
                                        const QString& p_sSource, const QString& p_sHelpFile, qint32 p_iHelpContext,
                                        bool p_bCancelDisplay) {
  const QString crlf = QStringLiteral("\r\n");
  return QStringLiteral("Number=") + QString::number(p_iNumber) + QStringLiteral("  ") + p_sDescription + crlf +
         QStringLiteral("Scode=") + QString::number(p_iScode) + crlf + QStringLiteral("Source=") + p_sSource + crlf +
         QStringLiteral("HelpFile=") + p_sHelpFile + crlf + QStringLiteral("HelpContext=") +
         QString::number(p_iHelpContext) + crlf + QStringLiteral("CancelDisplay=") +
         (p_bCancelDisplay ? QStringLiteral("True") : QStringLiteral("False"));
}

void LanTransport::OnLanError(int p_iNumber, const QString& p_sDescription, qint32 p_iScode, const QString& p_sSource,
                              const QString& p_sHelpFile, qint32 p_iHelpContext, bool p_bCancelDisplay) {
  LinkDispatcher& link = m_objLink;
  const QString message = BuildErrorMessage(p_iNumber, p_sDescription, p_iScode, p_sSource, p_sHelpFile,
                                            p_iHelpContext, p_bCancelDisplay);
  if (link.m_bLanRetried == 0) {
    // First error: close and reconnect once, silently. The reconnect starts
    // from the event loop, not from inside the socket's own notification.
    link.m_bLanRetried = 1;
    m_objSocket.abort();
    link.m_bLanConnected = 0;
    link.m_bLanSendComplete = 0;
    link.m_bReplyReceived = 0;
    QMetaObject::invokeMethod(this, [this] { Connect(); }, Qt::QueuedConnection);
  } else {
    link.m_bLanRetried = 0;
    m_objSocket.abort();
    link.Host().ShowMessageBox(message, kNoIcon, QStringLiteral("Dazavu Setting Tool"));
  }
  link.EndBusy();
  link.m_bLanConnected = 0;
  link.m_bLanError = true;
  link.NotifyStateChanged();
}
