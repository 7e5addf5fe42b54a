#include "WindowUsbLink.h"

#include <QDeadlineTimer>

#include "LinkState.h"
#include "LinkWaiter.h"

namespace {
constexpr double kPollSeconds = 0.02;
}  // namespace

WindowUsbLink::WindowUsbLink(LinkContext& p_objLink) : m_objLink(p_objLink) { MakePipe(QString()); }

WindowUsbLink::~WindowUsbLink() = default;

void WindowUsbLink::MakePipe(const QString& p_sPath) {
  m_objPipe = std::make_unique<dz::UsbPipe>(p_sPath, nullptr, dz::UsbDrive::Caller);
  m_objPipe->SetBetweenSteps([this] { m_objLink.waits.ProcessEvents(); });
  connect(m_objPipe.get(), &dz::ByteTransport::errorOccurred, this,
          [this](dz::TransportError p_eError, const QString&) { OnPipeError(p_eError); });
}

void WindowUsbLink::SetLibraryPath(const QString& p_sPath) { MakePipe(p_sPath); }

void WindowUsbLink::OnPipeError(dz::TransportError p_eError) {
  m_objLink.reports.LinkFailed(p_eError == dz::TransportError::WriteFailed ? LinkFailure::UsbDeviceTimeOut
                                                                           : LinkFailure::UsbOpenError);
}

bool WindowUsbLink::SendUsb(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText,
                            int32_t& p_iReceivedCount, int32_t p_iReplySize) {
  const int32_t replySize = std::max<int32_t>(p_iReplySize, 0);
  p_byReply.assign(static_cast<size_t>(replySize) + 1, 0);
  p_iReceivedCount = 0;
  m_objLink.state.m_bReplyReceived = 0;

  if (!m_objPipe->BindLibrary(p_sErrorText)) return false;

  // Identity check: is the printer there and is it ours?
  const int32_t identity = m_objPipe->IdentifyDevice();
  if (identity == -3) {
    p_sErrorText = QStringLiteral("USB DeviceID mismatch error");
    return false;
  }
  if (identity == -2) {
    p_sErrorText = QStringLiteral("USB DeviceID receive error");
    return false;
  }
  if (identity == -1) {
    p_sErrorText = QStringLiteral("USB Device not ready !!");
    return false;
  }

  if (!WriteUsbBytes(p_byCommand)) return false;

  // Read passes: one for a command without reply; for a command with a
  // reply, passes until the whole reply has arrived or the wait is over. A
  // reply the printer hands over in more than one transfer is joined here:
  // a remainder left in the device would otherwise be taken as the reply to
  // the next command and stored into the wrong record's items. Once the
  // window closes, no further pass, beep or message is made.
  const bool replyWanted = replySize > 0;
  const size_t room = static_cast<size_t>(replySize);
  Bytes pass(std::max<size_t>(room, 1), 0);
  size_t received = 0;
  m_objFramer.Reset();
  m_objFramer.SetReadKind(m_objLink.state.m_iReplyRecord);
  m_objLastFrame.reset();
  QDeadlineTimer deadline(static_cast<qint64>(m_dReplyWaitSeconds * 1000));
  for (;;) {
    m_objLink.waits.ProcessEvents();
    if (m_objLink.waits.IsShuttingDown()) break;
    const int32_t n = ReadUsbBytes(pass, static_cast<int32_t>(room - std::min(received, room)));
    if (n > 0) {
      std::copy(pass.begin(), pass.begin() + n, p_byReply.begin() + static_cast<std::ptrdiff_t>(received));
      received += static_cast<size_t>(n);
      p_iReceivedCount = static_cast<int32_t>(received);
      std::vector<ReplyFrame> frames;
      m_objFramer.Feed(pass.data(), static_cast<size_t>(n), frames);
      if (!frames.empty()) m_objLastFrame = std::move(frames.front());
    } else if (received == 0) {
      p_iReceivedCount = n;
    }
    if (m_objLastFrame) m_objLink.state.m_bReplyReceived = 1;
    m_objLink.waits.ProcessEvents();
    if (m_objLink.state.m_bReplyReceived == 1 || !replyWanted || received >= room) break;
    if (m_objLink.waits.IsShuttingDown()) break;
    if (deadline.hasExpired()) {
      m_objLink.reports.ReplyWaitExceeded();
      p_sErrorText = QStringLiteral("Please confirm the connection of USB.");
      break;
    }
    m_objLink.waits.WaitSeconds(kPollSeconds);
  }
  // A reply that stopped short is taken when it holds what is needed.
  if (!m_objLastFrame) m_objLastFrame = m_objFramer.Settle();
  return true;
}

bool WindowUsbLink::WriteUsbBytes(const Bytes& p_byCommand) {
  m_objLink.waits.ProcessEvents();
  if (m_objLink.waits.IsShuttingDown()) return false;  // the window closed meanwhile
  // A failure is shown (OnPipeError) before the device is closed.
  return m_objPipe->WriteOnce(p_byCommand);
}

int32_t WindowUsbLink::ReadUsbBytes(Bytes& p_byBuffer, int32_t p_iLength) {
  // A pass whose open fails is shown as an open error, every time.
  return m_objPipe->ReadPass(p_byBuffer, p_iLength);
}

bool WindowUsbLink::OpenDevice() {
  QString failure;
  if (!m_objPipe->BindLibrary(failure)) {
    m_objLink.reports.LinkFailed(LinkFailure::UsbLibraryMissing, failure);
    return false;
  }
  if (m_objPipe->IdentifyDevice() >= 0) {
    m_objLink.waits.ProcessEvents();
    m_objLink.waits.ProcessEvents();
    return true;
  }
  m_objLink.reports.LinkFailed(LinkFailure::UsbOpenError);
  m_objPipe->CloseDevice();
  return false;
}

void WindowUsbLink::CloseDevice() {
  // Nothing to close before the library has been bound by a transfer.
  m_objPipe->CloseDevice();
}
