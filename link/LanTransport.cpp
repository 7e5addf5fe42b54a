#include "LanTransport.h"

#include <QHostAddress>

#include "CInterface.h"
#include "LinkIds.h"
#include "LinkState.h"
#include "LinkWaiter.h"
#include "Replies.h"

using namespace dz;

namespace {
constexpr double kSendBoundSeconds = 2.0;
// An address where nobody answers would otherwise keep the link connecting
// for the system's full TCP time-out (minutes) with the buttons locked.
constexpr int kConnectBoundMs = 10000;
// A reply that stops short of its last framing bytes is settled after this
// long when no operation's wait settles it first.
constexpr int kSettleMs = 1000;
}  // namespace

LanTransport::LanTransport(LinkContext& p_objLink) : m_objLink(p_objLink) {
  connect(&m_objSocket, &QTcpSocket::connected, this, &LanTransport::OnLanConnect);
  connect(&m_objSocket, &QTcpSocket::disconnected, this, &LanTransport::OnLanClose);
  connect(&m_objSocket, &QTcpSocket::bytesWritten, this, [this](qint64) { OnLanSendComplete(); });
  connect(&m_objSocket, &QTcpSocket::readyRead, this, [this] { OnLanDataArrival(m_objSocket.bytesAvailable()); });
  connect(&m_objSocket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
    // The printer closing its end is no error: the disconnected
    // notification that follows closes the link.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
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
  m_objSettleTimer.setSingleShot(true);
  m_objSettleTimer.setInterval(kSettleMs);
  connect(&m_objSettleTimer, &QTimer::timeout, this, &LanTransport::SettlePendingReply);
}

LanTransport::~LanTransport() {
  // The socket's own destructor reports the close; by then the timers it
  // would touch are gone.
  m_objSocket.disconnect(this);
}

bool LanTransport::Open() {
  LinkState& state = m_objLink.state;
  state.m_bLanConnected = 0;
  state.m_bLanSendComplete = 0;
  state.m_bReplyReceived = 0;
  state.m_bLanError = false;
  Connect();
  m_objLink.reports.LinkBusy(true);
  // Ends through the socket's connect or error notification.
  m_objLink.waits.WaitUntil([&state] { return state.m_bLanConnected == 1 || state.m_bLanError; },
                            QDeadlineTimer(QDeadlineTimer::Forever));
  if (state.m_bLanConnected == 1) {
    m_objLink.reports.LinkBusy(false);
    m_objLink.waits.ProcessEvents();
    return true;
  }
  if (!m_objLink.waits.IsShuttingDown()) m_objLink.reports.LinkFailed(LinkFailure::LanOpenError);
  m_objLink.reports.LinkBusy(false);
  return false;
}

void LanTransport::Connect() {
  CInterface& settings = m_objLink.settings;
  m_objFramer.Reset();
  m_objSettleTimer.stop();
  m_objSocket.abort();
  m_objConnectTimer.start();
  m_objSocket.connectToHost(m_sHostAddress.isEmpty() ? QString::fromStdString(settings.GetIpAddress()) : m_sHostAddress,
                            static_cast<quint16>(QString::fromStdString(settings.GetSocketPortNumber()).toInt()));
}

bool LanTransport::Close() {
  m_objConnectTimer.stop();
  m_objSettleTimer.stop();
  m_objFramer.Reset();
  m_objSocket.abort();
  m_objLink.state.m_bLanConnected = 0;
  return true;
}

bool LanTransport::Send(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText,
                        int32_t& /*p_iReceivedCount*/, int32_t p_iReplySize) {
  return SendLan(p_byCommand, p_byReply, p_sErrorText, p_iReplySize);
}

bool LanTransport::SendLan(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t p_iReplySize) {
  LinkState& state = m_objLink.state;
  p_byReply.assign(static_cast<size_t>(std::max<int32_t>(p_iReplySize, 0)) + 1, 0);

  // A send on a socket that is not connected, or that refuses the bytes,
  // fails, whatever an earlier send on the connection reported.
  if (m_objSocket.state() != QAbstractSocket::ConnectedState) {
    p_sErrorText = QStringLiteral("'LAN' Send Error !!");
    return false;
  }
  // Bytes left over from an earlier reply must not be taken for this one.
  if (m_objSocket.bytesAvailable() > 0) m_objSocket.readAll();
  m_objFramer.Reset();
  m_objSettleTimer.stop();
  state.m_byReceiveBuffer.clear();

  const QByteArray block(reinterpret_cast<const char*>(p_byCommand.data()), static_cast<int>(p_byCommand.size()));
  if (m_objSocket.write(block) != block.size()) {
    p_sErrorText = QStringLiteral("'LAN' Send Error !!");
    return false;
  }

  QDeadlineTimer deadline(static_cast<qint64>(kSendBoundSeconds * 1000));
  m_objLink.waits.WaitUntil(
      [&state] { return state.m_bLanSendComplete == 1 || state.m_bLanError || state.m_bLanConnected == 0; }, deadline);
  if (state.m_bLanSendComplete == 1) return true;
  if (state.m_bLanError || state.m_bLanConnected == 0) {
    p_sErrorText = QStringLiteral("'LAN' Send Error !!");
    return false;
  }
  p_sErrorText = QStringLiteral("'LAN' send timeout Error !!");
  return false;
}

void LanTransport::OnLanConnect() {
  m_objConnectTimer.stop();
  m_objLink.state.m_bLanConnected = 1;
  // A connection that is up again (the silent reconnect after an error)
  // sends again: the error belonged to the connection that was lost.
  m_objLink.state.m_bLanError = false;
  m_objLink.waits.NotifyStateChanged();
}

void LanTransport::OnLanClose() {
  m_objLink.state.m_bLanConnected = 0;
  m_objFramer.Reset();
  m_objSettleTimer.stop();
  m_objLink.waits.NotifyStateChanged();
}

void LanTransport::OnLanSendComplete() {
  m_objLink.state.m_bLanSendComplete = 1;
  m_objLink.waits.NotifyStateChanged();
}

void LanTransport::OnLanDataArrival(qint64 /*p_iBytesTotal*/) { ReceiveLanData(m_objSocket.readAll()); }

bool LanTransport::RouteReply(const Bytes& p_byReply, bool& p_bDecodeFailed) {
  if (p_byReply.empty()) return false;
  if (p_byReply[0] == kSoh) {
    m_objLink.replies.HandStatusReply(p_byReply);
  } else if (p_byReply[0] == kRecordStart) {
    p_bDecodeFailed = !m_objLink.replies.HandRecordFrame(p_byReply);
  }
  return true;
}

void LanTransport::EndBusyAfterReply(bool p_bDecodeFailed) {
  if (!m_objLink.state.m_bReadInProgress && !p_bDecodeFailed) m_objLink.reports.LinkBusy(false);
}

void LanTransport::ReceiveLanData(const QByteArray& p_byData) {
  LinkState& state = m_objLink.state;
  bool decodeFailed = false;

  if (!state.m_bReplyExpected) {
    // Nothing was asked for: these bytes (the tail of an over-long reply, a
    // late duplicate) cannot belong to the next command's reply, so they are
    // dropped now instead of waiting in the socket to be taken for it.
    m_objFramer.Reset();
    m_objSettleTimer.stop();
  } else {
    // A reply that arrives in pieces is joined until it has its full length,
    // so a partial frame is never decoded as a complete one; bytes beyond the
    // reply are not part of it and dropped.
    m_objFramer.SetReadKind(state.m_iReplyRecord);
    std::vector<ReplyFrame> frames;
    m_objFramer.Feed(reinterpret_cast<const uint8_t*>(p_byData.constData()), static_cast<size_t>(p_byData.size()),
                     frames);
    if (m_objFramer.Assembling()) {
      state.m_byReceiveBuffer = m_objFramer.Buffer();
      if (!m_objSettleTimer.isActive()) m_objSettleTimer.start();
      m_objLink.waits.NotifyStateChanged();
      return;
    }
    m_objSettleTimer.stop();
    if (!frames.empty()) {
      state.m_byReceiveBuffer = frames.front().bytes;
      RouteReply(state.m_byReceiveBuffer, decodeFailed);
    }
  }
  EndBusyAfterReply(decodeFailed);
  m_objLink.waits.NotifyStateChanged();
}

void LanTransport::SettlePendingReply() {
  m_objSettleTimer.stop();
  if (!m_objFramer.Assembling()) return;
  m_objFramer.SetReadKind(m_objLink.state.m_iReplyRecord);
  // Only a reply that already carries every field counts; one that is
  // missing a field is dropped whole, like a reply that never came.
  const std::optional<ReplyFrame> frame = m_objFramer.Settle();
  bool decodeFailed = false;
  if (frame) {
    m_objLink.state.m_byReceiveBuffer = frame->bytes;
    RouteReply(m_objLink.state.m_byReceiveBuffer, decodeFailed);
  } else {
    m_objLink.state.m_byReceiveBuffer.clear();
  }
  EndBusyAfterReply(decodeFailed || !frame);
  m_objLink.waits.NotifyStateChanged();
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
  LinkState& state = m_objLink.state;
  const QString message =
      BuildErrorMessage(p_iNumber, p_sDescription, p_iScode, p_sSource, p_sHelpFile, p_iHelpContext, p_bCancelDisplay);
  m_objSettleTimer.stop();
  m_objFramer.Reset();
  if (state.m_bLanRetried == 0) {
    // First error: close and reconnect once, silently. The reconnect starts
    // from the event loop, not from inside the socket's own notification.
    state.m_bLanRetried = 1;
    m_objSocket.abort();
    state.m_bLanConnected = 0;
    state.m_bLanSendComplete = 0;
    state.m_bReplyReceived = 0;
    QMetaObject::invokeMethod(
        this, [this] { Connect(); }, Qt::QueuedConnection);
  } else {
    state.m_bLanRetried = 0;
    m_objSocket.abort();
    m_objLink.reports.LinkFailed(LinkFailure::LanSocketError, message);
  }
  m_objLink.reports.LinkBusy(false);
  state.m_bLanConnected = 0;
  state.m_bLanError = true;
  m_objLink.waits.NotifyStateChanged();
}
