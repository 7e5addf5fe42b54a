#include "UsbTransport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include "LinkIds.h"
#include "LinkState.h"
#include "LinkWaiter.h"
#include "Replies.h"

namespace {
constexpr double kPollSeconds = 0.02;
}  // namespace

UsbTransport::UsbTransport(LinkContext& p_objLink) : m_objLink(p_objLink) {}

void UsbTransport::SetLibraryPath(const QString& p_sPath) {
  if (m_objLibrary.isLoaded()) m_objLibrary.unload();
  m_fnOpen = nullptr;
  m_fnSend = nullptr;
  m_fnReceive = nullptr;
  m_fnClose = nullptr;
  m_sLibraryPath = p_sPath;
}

bool UsbTransport::Bind(QString& p_sFailure) {
  if (m_fnOpen && m_fnSend && m_fnReceive && m_fnClose) return true;

  QStringList candidates;
  if (!m_sLibraryPath.isEmpty()) {
    candidates << m_sLibraryPath;
  } else {
    // Beside the executable first, then wherever the system finds it.
    candidates << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Diruvov"))
               << QStringLiteral("Diruvov");
  }
  QString lastError;
  for (const QString& name : candidates) {
    m_objLibrary.setFileName(name);
    if (m_objLibrary.load()) break;
    lastError = m_objLibrary.errorString();
  }
  if (!m_objLibrary.isLoaded()) {
    p_sFailure = QStringLiteral("The USB transfer library \"Diruvov\" could not be loaded (%1).").arg(lastError);
    return false;
  }
  m_fnOpen = reinterpret_cast<OpenFn>(m_objLibrary.resolve("Dll_openUSB"));
  m_fnSend = reinterpret_cast<SendFn>(m_objLibrary.resolve("Dll_sendUSB"));
  m_fnReceive = reinterpret_cast<ReceiveFn>(m_objLibrary.resolve("Dll_rcvUSB"));
  m_fnClose = reinterpret_cast<CloseFn>(m_objLibrary.resolve("Dll_closeUSB"));
  if (!m_fnOpen || !m_fnSend || !m_fnReceive || !m_fnClose) {
    m_fnOpen = nullptr;
    p_sFailure =
        QStringLiteral("The USB transfer library \"Diruvov\" lacks an entry point (%1).").arg(m_objLibrary.fileName());
    m_objLibrary.unload();
    return false;
  }
  return true;
}

bool UsbTransport::SendUsb(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t& p_iReceivedCount,
                           int32_t p_iReplySize) {
  const int32_t replySize = std::max<int32_t>(p_iReplySize, 0);
  p_byReply.assign(static_cast<size_t>(replySize) + 1, 0);
  p_iReceivedCount = 0;
  m_objLink.state.m_bReplyReceived = 0;

  if (!Bind(p_sErrorText)) return false;

  // Identity check: is the printer there and is it ours?
  const int32_t identity = m_fnOpen();
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

bool UsbTransport::WriteUsbBytes(const Bytes& p_byCommand) {
  m_objLink.waits.ProcessEvents();
  if (m_objLink.waits.IsShuttingDown()) return false;  // the window closed meanwhile
  const int32_t opened = m_fnOpen();
  if (opened >= 0) {
    m_objLink.waits.ProcessEvents();
    const int32_t sent = m_fnSend(p_byCommand.data(), static_cast<int32_t>(p_byCommand.size()));
    if (sent >= 0) {
      m_fnClose();
      m_objLink.waits.ProcessEvents();
      return true;
    }
    m_objLink.reports.LinkFailed(LinkFailure::UsbDeviceTimeOut);
    m_fnClose();
    return false;
  }
  m_objLink.reports.LinkFailed(LinkFailure::UsbOpenError);
  m_fnClose();
  return false;
}

int32_t UsbTransport::ReadUsbBytes(Bytes& p_byBuffer, int32_t p_iLength) {
  const int32_t opened = m_fnOpen();
  if (opened < 0) {
    m_objLink.reports.LinkFailed(LinkFailure::UsbOpenError);
    m_fnClose();
    return 0;
  }
  m_objLink.waits.ProcessEvents();
  // Never let the library write past the buffer, whatever length is asked.
  const int32_t room =
      static_cast<int32_t>(std::min<size_t>(p_byBuffer.size(), static_cast<size_t>(std::max(p_iLength, 0))));
  // A command without a reply still makes its pass, asking for no bytes.
  int32_t received = p_byBuffer.empty() ? 0 : m_fnReceive(p_byBuffer.data(), room);
  if (received > room) received = room;
  m_fnClose();
  m_objLink.waits.ProcessEvents();
  return received;
}

bool UsbTransport::OpenDevice() {
  QString failure;
  if (!Bind(failure)) {
    m_objLink.reports.LinkFailed(LinkFailure::UsbLibraryMissing, failure);
    return false;
  }
  if (m_fnOpen() >= 0) {
    m_objLink.waits.ProcessEvents();
    m_objLink.waits.ProcessEvents();
    return true;
  }
  m_objLink.reports.LinkFailed(LinkFailure::UsbOpenError);
  m_fnClose();
  return false;
}

void UsbTransport::CloseDevice() {
  // Nothing to close before the library has been bound by a transfer.
  if (m_fnClose) m_fnClose();
}
