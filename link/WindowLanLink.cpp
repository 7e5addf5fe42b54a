#include "WindowLanLink.h"

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

WindowLanLink::WindowLanLink(LinkContext& p_objLink) : m_objLink(p_objLink) {
  // Commands leave from the event loop, as the window's waits expect.
  m_objPipe.SetBuffered(true);
  connect(&m_objPipe, &dz::ByteTransport::opened, this, &WindowLanLink::OnLanConnect);
  connect(&m_objPipe, &dz::ByteTransport::closed, this, &WindowLanLink::OnLanClose);
  connect(&m_objPipe, &dz::ByteTransport::bytesWritten, this, [this](qint64) { OnLanSendComplete(); });
  connect(&m_objPipe, &dz::ByteTransport::bytesReceived, this, &WindowLanLink::ReceiveLanData);
  connect(&m_objPipe, &dz::ByteTransport::errorOccurred, this, [this](dz::TransportError, const QString&) {
    // The printer closing its end is no error: the close that follows
    // closes the link.
    const QAbstractSocket::SocketError error = m_objPipe.LastSocketError();
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    m_objConnectTimer.stop();
    OnLanError(static_cast<int>(error), m_objPipe.LastSocketErrorText(), 0, QString(), QString(), 0, false);
  });
  m_objConnectTimer.setSingleShot(true);
  m_objConnectTimer.setInterval(kConnectBoundMs);
  connect(&m_objConnectTimer, &QTimer::timeout, this, [this] {
    if (m_objPipe.IsOpen()) return;
    m_objPipe.Close();
    OnLanError(static_cast<int>(QAbstractSocket::SocketTimeoutError), QStringLiteral("Connection timed out"), 0,
               QString(), QString(), 0, false);
  });
  m_objSettleTimer.setSingleShot(true);
  m_objSettleTimer.setInterval(kSettleMs);
  connect(&m_objSettleTimer, &QTimer::timeout, this, &WindowLanLink::SettlePendingReply);
}

WindowLanLink::~WindowLanLink() {
  // The pipe's own destructor may report the close; by then the timers it
  // would touch are gone.
  m_objPipe.disconnect(this);
}

bool WindowLanLink::Open() {
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

void WindowLanLink::Connect() {
  CInterface& settings = m_objLink.settings;
  m_objFramer.Reset();
  m_objSettleTimer.stop();
  m_objPipe.Close();
  m_objConnectTimer.start();
  m_objPipe.SetTarget(QString::fromStdString(settings.GetIpAddress()),
                      static_cast<quint16>(QString::fromStdString(settings.GetSocketPortNumber()).toInt()));
  m_objPipe.Open();
}

bool WindowLanLink::Close() {
  m_objConnectTimer.stop();
  m_objSettleTimer.stop();
  m_objFramer.Reset();
  m_objPipe.Close();
  m_objLink.state.m_bLanConnected = 0;
  return true;
}

bool WindowLanLink::Send(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText,
                         int32_t& /*p_iReceivedCount*/, int32_t p_iReplySize) {
  return SendLan(p_byCommand, p_byReply, p_sErrorText, p_iReplySize);
}

bool WindowLanLink::SendLan(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t p_iReplySize) {
  LinkState& state = m_objLink.state;
  p_byReply.assign(static_cast<size_t>(std::max<int32_t>(p_iReplySize, 0)) + 1, 0);

  // A send on a socket that is not connected, or that refuses the bytes,
  // fails, whatever an earlier send on the connection reported.
  if (!m_objPipe.IsOpen()) {
    p_sErrorText = QStringLiteral("'LAN' Send Error !!");
    return false;
  }
  // Bytes left over from an earlier reply must not be taken for this one.
  m_objFramer.Reset();
  m_objSettleTimer.stop();
  state.m_byReceiveBuffer.clear();

  if (!m_objPipe.Write(p_byCommand, p_iReplySize)) {
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

void WindowLanLink::OnLanConnect() {
  m_objConnectTimer.stop();
  m_objLink.state.m_bLanConnected = 1;
  // A connection that is up again (the silent reconnect after an error)
  // sends again: the error belonged to the connection that was lost.
  m_objLink.state.m_bLanError = false;
  m_objLink.waits.NotifyStateChanged();
}

void WindowLanLink::OnLanClose() {
  m_objLink.state.m_bLanConnected = 0;
  m_objFramer.Reset();
  m_objSettleTimer.stop();
  m_objLink.waits.NotifyStateChanged();
}

void WindowLanLink::OnLanSendComplete() {
  m_objLink.state.m_bLanSendComplete = 1;
  m_objLink.waits.NotifyStateChanged();
}

bool WindowLanLink::RouteReply(const Bytes& p_byReply, bool& p_bDecodeFailed) {
  if (p_byReply.empty()) return false;
  if (p_byReply[0] == kSoh) {
    m_objLink.replies.HandStatusReply(p_byReply);
  } else if (p_byReply[0] == kRecordStart) {
    p_bDecodeFailed = !m_objLink.replies.HandRecordFrame(p_byReply);
  }
  return true;
}

void WindowLanLink::EndBusyAfterReply(bool p_bDecodeFailed) {
  if (!m_objLink.state.m_bReadInProgress && !p_bDecodeFailed) m_objLink.reports.LinkBusy(false);
}

void WindowLanLink::ReceiveLanData(const QByteArray& p_byData) {
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

void WindowLanLink::SettlePendingReply() {
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

QString WindowLanLink::BuildErrorMessage(int p_iNumber, const QString& p_sDescription, qint32 p_iScode,
                                         const QString& p_sSource, const QString& p_sHelpFile, qint32 p_iHelpContext,
                                         bool p_bCancelDisplay) {
  const QString crlf = QStringLiteral("\r\n");
  return QStringLiteral("Number=") + QString::number(p_iNumber) + QStringLiteral("  ") + p_sDescription + crlf +
         QStringLiteral("Scode=") + QString::number(p_iScode) + crlf + QStringLiteral("Source=") + p_sSource + crlf +
         QStringLiteral("HelpFile=") + p_sHelpFile + crlf + QStringLiteral("HelpContext=") +
         QString::number(p_iHelpContext) + crlf + QStringLiteral("CancelDisplay=") +
         (p_bCancelDisplay ? QStringLiteral("True") : QStringLiteral("False"));
}

void WindowLanLink::OnLanError(int p_iNumber, const QString& p_sDescription, qint32 p_iScode, const QString& p_sSource,
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
    m_objPipe.Close();
    state.m_bLanConnected = 0;
    state.m_bLanSendComplete = 0;
    state.m_bReplyReceived = 0;
    QMetaObject::invokeMethod(
        this, [this] { Connect(); }, Qt::QueuedConnection);
  } else {
    state.m_bLanRetried = 0;
    m_objPipe.Close();
    m_objLink.reports.LinkFailed(LinkFailure::LanSocketError, message);
  }
  m_objLink.reports.LinkBusy(false);
  state.m_bLanConnected = 0;
  state.m_bLanError = true;
  m_objLink.waits.NotifyStateChanged();
}
