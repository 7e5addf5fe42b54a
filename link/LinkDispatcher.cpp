#include "LinkDispatcher.h"

#include "CInterface.h"
#include "CItemManager.h"
#include "ILinkHost.h"
#include "WindowLanLink.h"
#include "Replies.h"
#include "ReplyFramer.h"
#include "WindowSerialLink.h"
#include "WindowUsbLink.h"

using namespace dz;

LinkDispatcher::LinkDispatcher(CItemManager& p_objItems, CInterface& p_objInterface, ILinkHost& p_objHost,
                               QObject* p_objParent)
    : QObject(p_objParent),
      m_objItems(p_objItems),
      m_objInterface(p_objInterface),
      m_objHost(p_objHost),
      m_objContext{m_objState, m_objInterface, *this, *this, m_objWaiter} {
  connect(&m_objWaiter, &LinkWaiter::stateChanged, this, &LinkDispatcher::stateChanged);
  m_objSerial = std::make_unique<WindowSerialLink>(m_objContext);
  m_objLan = std::make_unique<WindowLanLink>(m_objContext);
  m_objUsb = std::make_unique<WindowUsbLink>(m_objContext);
}

LinkDispatcher::~LinkDispatcher() = default;

ITransport* LinkDispatcher::Transport(int p_iIndex) {
  switch (p_iIndex) {
    case kLinkCom:
      return m_objSerial.get();
    case kLinkLan:
      return m_objLan.get();
    case kLinkUsb:
      return m_objUsb.get();
    default:
      return nullptr;
  }
}

bool LinkDispatcher::SendCommand(CInterface& p_objInterface, const Bytes& p_byCommand, Bytes& p_byReply,
                                 QString& p_sErrorText, int32_t& p_iReceivedCount, int32_t p_iReplySize,
                                 bool& p_bReplyExpected) {
  m_objState.m_bReplyExpected = p_bReplyExpected;
  if (IsShuttingDown()) return false;  // nothing goes out while the window closes
  ITransport* transport = Transport(p_objInterface.GetActiveInterface());
  if (!transport) return true;  // no such link: nothing is sent
  if (!transport->Send(p_byCommand, p_byReply, p_sErrorText, p_iReceivedCount, p_iReplySize)) return false;
  // Serial and LAN replies come through the receivers.
  if (p_objInterface.GetActiveInterface() != kLinkUsb) return true;
  return RouteUsbReply(p_byReply, p_iReceivedCount, p_iReplySize);
}

bool LinkDispatcher::RouteUsbReply(const Bytes& p_byReply, int32_t p_iReceivedCount, int32_t /*p_iReplySize*/) {
  if (p_byReply.empty() || p_iReceivedCount <= 0) return true;
  const std::optional<ReplyFrame>& frame = m_objUsb->LastFrame();
  if (!frame) return true;
  if (frame->type == FrameType::Status) {
    ShowStatusReply(frame->bytes);
    return true;
  }
  if (frame->type == FrameType::Record) {
    // Only the bytes the library delivered, never the zero-filled rest. A
    // record that ended before its last field is dropped like a reply that
    // never came: the operation goes on, as it does on the other links.
    m_objState.m_byReceiveBuffer = frame->bytes;
    if (!HoldsAllFields(m_objState.m_byReceiveBuffer)) return true;
    return StoreRecord(m_objState.m_byReceiveBuffer);
  }
  return true;
}

bool LinkDispatcher::SendCommand(const Bytes& p_byCommand, QString& p_sErrorText, int32_t p_iReplySize,
                                 bool p_bReplyExpected) {
  Bytes reply;
  int32_t received = 0;
  return SendCommand(m_objInterface, p_byCommand, reply, p_sErrorText, received, p_iReplySize, p_bReplyExpected);
}

void LinkDispatcher::ShowStatusReply(const Bytes& p_byReply) {
  std::string message;
  GetStatusMessage(StatusCodeOf(p_byReply), message, m_objState.m_bReplyReceived);
  const QString text = QString::fromLatin1(message.data(), static_cast<int>(message.size()));
  if (m_objState.m_bHeadCheckMode) {
    m_objHost.ShowHeadCheckText(text);
    m_objState.m_bHeadCheckMode = false;
  } else {
    m_objHost.ShowStatusText(text);
  }
  NotifyStateChanged();
}

bool LinkDispatcher::StoreRecord(const Bytes& p_byFrame) {
  // A frame that ends before its last field is dropped whole: the items are
  // updated from a complete record or not at all.
  if (!HoldsAllFields(p_byFrame)) return false;
  const bool stored = StoreRecordReply(m_objItems, m_objState.m_iReplyRecord, p_byFrame, m_objState.m_bReplyExpected);
  NotifyStateChanged();
  return stored;
}

bool LinkDispatcher::HoldsAllFields(const Bytes& p_byFrame) const {
  return ReplyFramer::HoldsAllFields(p_byFrame, m_objState.m_iReplyRecord);
}

void LinkDispatcher::WaitSeconds(double p_dSeconds) {
  m_objWaiter.WaitSeconds(p_dSeconds);
  if (IsShuttingDown()) return;
  if (ITransport* transport = Transport(m_objInterface.GetActiveInterface())) transport->ReplyWaitEnded();
}

bool LinkDispatcher::WaitLanSendComplete(double p_dSeconds) {
  ProcessEvents();
  QDeadlineTimer deadline(static_cast<qint64>(p_dSeconds * 1000));
  if (WaitUntil([this] { return m_objState.m_bLanSendComplete == 1; }, deadline)) return true;
  if (IsShuttingDown()) return false;
  m_objHost.Beep();
  m_objHost.ShowMessageBox(QStringLiteral("Device Time Out !!"), MsgCritical, QStringLiteral("Failure"));
  return false;
}

bool LinkDispatcher::OpenInterface(int p_iIndex) {
  ITransport* transport = Transport(p_iIndex);
  return transport && transport->Open();
}

bool LinkDispatcher::CloseInterface(int p_iIndex) {
  ITransport* transport = Transport(p_iIndex);
  if (!transport) return false;
  transport->Close();
  ProcessEvents();
  return true;
}

void LinkDispatcher::Shutdown() {
  m_objWaiter.Shutdown();
  m_objSerial->Close();
  m_objLan->Close();
}

namespace {
// How the window shows each failure a link reports: the text (empty: the
// report's detail), the message box style and the title.
struct FailureBox {
  LinkFailure failure;
  const char* text;
  int style;
};
constexpr FailureBox kFailureBoxes[] = {
    {LinkFailure::SerialNoDevice, "", MsgExclamation},
    {LinkFailure::SerialOpenFailed, "", MsgExclamation},
    {LinkFailure::SerialHardError, "HARD ERROR", MsgExclamation},
    {LinkFailure::LanOpenError, "'LAN' Open Error !!", MsgCritical},
    {LinkFailure::LanSocketError, "", MsgOkOnly},
    {LinkFailure::UsbOpenError, "'USB' Open Error !!", MsgCritical},
    {LinkFailure::UsbDeviceTimeOut, "Device Time Out !!", MsgCritical},
    {LinkFailure::UsbLibraryMissing, "", MsgCritical},
};
}  // namespace

void LinkDispatcher::LinkFailed(LinkFailure p_eFailure, const QString& p_sDetail) {
  for (const FailureBox& box : kFailureBoxes) {
    if (box.failure != p_eFailure) continue;
    const QString text = *box.text ? QString::fromLatin1(box.text) : p_sDetail;
    // A failure without words (settings the device refuses) shows nothing.
    if (!text.isEmpty()) m_objHost.ShowMessageBox(text, box.style, kAppTitle);
    return;
  }
}

void LinkDispatcher::ClearToSendChanged(bool p_bClearToSend) {
  if (p_bClearToSend && m_objState.m_bLineOffline == 1) {
    m_objState.m_bLineOffline = 0;
    m_objHost.ShowStatusText(QStringLiteral("ON LINE"));
  } else if (!p_bClearToSend && m_objState.m_bLineOffline == 0) {
    m_objState.m_bLineOffline = 1;
    m_objHost.ShowStatusText(QStringLiteral("OFF LINE"));
  }
}

void LinkDispatcher::BeginBusy() { m_objHost.SetCommandButtonsEnabled(false); }

void LinkDispatcher::EndBusy() { m_objHost.SetCommandButtonsEnabled(true); }
