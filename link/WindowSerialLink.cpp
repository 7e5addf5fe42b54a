#include "WindowSerialLink.h"

#include "CInterface.h"
#include "LinkState.h"
#include "LinkWaiter.h"
#include "Replies.h"
#include "SerialOpenError.h"

WindowSerialLink::WindowSerialLink(LinkContext& p_objLink)
    : m_objLink(p_objLink), m_objResolver([](int p_iCom) { return ResolveComPort(p_iCom); }) {
  connect(&m_objPipe, &dz::ByteTransport::bytesReceived, this, [this](const QByteArray& p_byData) {
    for (char c : p_byData) ReceiveByte(static_cast<uint8_t>(c));
  });
  connect(&m_objPipe, &dz::SerialPipe::clearToSendChanged, this, &WindowSerialLink::OnClearToSendChanged);
  connect(&m_objPipe, &dz::SerialPipe::receiveOverrun, this, &WindowSerialLink::OnOverrun);
}

void WindowSerialLink::SetPortResolver(SerialPortResolver p_objResolver) {
  m_objResolver = [resolver = std::move(p_objResolver)](int p_iCom) -> std::optional<SerialPortInfo> {
    QString device = resolver(p_iCom);
    if (device.isEmpty()) return std::nullopt;
    return SerialPortInfo{std::move(device), {}};
  };
}

bool WindowSerialLink::OpenSerialPort() {
  CloseSerialPort();
  CInterface& settings = m_objLink.settings;
  SerialSettings serial;
  const std::string info = settings.GetSerialInfo();
  if (!ParseSerialInfo(info, serial)) return false;
  const int com = settings.GetComPortNumber();
  const std::optional<SerialPortInfo> port = m_objResolver ? m_objResolver(com) : std::nullopt;
  if (!port) {
    m_objLink.reports.LinkFailed(LinkFailure::SerialNoDevice, NoDeviceText(com));
    return false;
  }
  m_objPipe.SetTarget(port->m_sDevice, QString::fromStdString(info));
  m_objPipe.Open();
  if (!m_objPipe.IsOpen()) {
    const QString text = SerialOpenFailureText(m_objPipe.OpenError(), port->m_sDevice, com);
    m_objLink.reports.LinkFailed(LinkFailure::SerialOpenFailed, text);
    return false;
  }
  m_objLink.state.m_bStatusReplyActive = 0;
  m_objLink.state.m_bParameterReplyActive = 0;
  m_objFramer.Reset();
  return true;
}

bool WindowSerialLink::CloseSerialPort() {
  m_objPipe.Close();
  return true;
}

bool WindowSerialLink::WriteSerialBytes(const Bytes& p_byData) {
  for (uint8_t byte : p_byData) {
    if (!m_objPipe.Write(Bytes{byte}, 0)) return false;
    m_objLink.waits.ProcessEvents();
  }
  return true;
}

bool WindowSerialLink::Open() {
  OpenSerialPort();
  if (!IsSerialPortOpen()) return false;
  m_objLink.waits.ProcessEvents();
  return true;
}

bool WindowSerialLink::Send(const Bytes& p_byCommand, Bytes& /*p_byReply*/, QString& /*p_sErrorText*/,
                            int32_t& /*p_iReceivedCount*/, int32_t /*p_iReplySize*/) {
  return SendSerial(p_byCommand);
}

bool WindowSerialLink::SendSerial(const Bytes& p_byCommand) {
  if (!IsSerialPortOpen()) return false;
  // A record reply still being assembled belongs to the previous command (a
  // slow or dribbling printer): its late bytes must not count towards the
  // reply to this one, or they would be stored into the wrong record's
  // items. The next SOH or "{" starts a fresh reply. A status reply is kept:
  // it cannot be filed into a wrong record, and its text (a head check's
  // result) would otherwise be lost.
  m_objLink.state.m_bParameterReplyActive = 0;
  m_objFramer.DropPartialRecord();
  return WriteSerialBytes(p_byCommand);
}

void WindowSerialLink::ReceiveByte(uint8_t p_byByte) {
  LinkState& link = m_objLink.state;
  // The receiver's flags are the link state's: whoever clears them (a new
  // command, the port opening) ends the reply being assembled.
  if (m_objFramer.Pending() == FrameType::Status && link.m_bStatusReplyActive != 1) m_objFramer.Reset();
  if (m_objFramer.Pending() == FrameType::Record && link.m_bParameterReplyActive != 1) m_objFramer.Reset();
  m_objFramer.SetReadKind(link.m_iReplyRecord);
  std::vector<ReplyFrame> frames;
  m_objFramer.Feed(&p_byByte, 1, frames);
  link.m_bStatusReplyActive = m_objFramer.Pending() == FrameType::Status ? 1 : 0;
  link.m_bParameterReplyActive = m_objFramer.Pending() == FrameType::Record ? 1 : 0;
  if (m_objFramer.Assembling()) link.m_byReceiveBuffer = m_objFramer.Buffer();
  for (const ReplyFrame& frame : frames) {
    link.m_byReceiveBuffer = frame.bytes;
    if (frame.type == FrameType::Status)
      m_objLink.replies.HandStatusReply(link.m_byReceiveBuffer);
    else
      m_objLink.replies.HandRecordFrame(link.m_byReceiveBuffer);
  }
}

void WindowSerialLink::OnClearToSendChanged(bool p_bClearToSend) {
  m_objLink.reports.ClearToSendChanged(p_bClearToSend);
}

void WindowSerialLink::OnOverrun() { m_objLink.reports.LinkFailed(LinkFailure::SerialHardError); }
