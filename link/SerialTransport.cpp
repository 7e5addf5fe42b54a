#include "SerialTransport.h"

#include "CInterface.h"
#include "LinkState.h"
#include "LinkWaiter.h"
#include "Replies.h"
#include "SerialOpenError.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace {
constexpr int kLineWatchMs = 200;
}  // namespace

SerialTransport::SerialTransport(LinkContext& p_objLink)
    : m_objLink(p_objLink), m_objResolver([](int p_iCom) { return ResolveComPort(p_iCom); }) {
  connect(&m_objPort, &QSerialPort::readyRead, this, &SerialTransport::OnReadyRead);
  connect(&m_objPort, &QSerialPort::errorOccurred, this, &SerialTransport::OnError);
  m_objLineTimer.setInterval(kLineWatchMs);
  connect(&m_objLineTimer, &QTimer::timeout, this, &SerialTransport::PollLineState);
}

void SerialTransport::SetPortResolver(SerialPortResolver p_objResolver) {
  m_objResolver = [resolver = std::move(p_objResolver)](int p_iCom) -> std::optional<SerialPortInfo> {
    QString device = resolver(p_iCom);
    if (device.isEmpty()) return std::nullopt;
    return SerialPortInfo{std::move(device), {}};
  };
}

bool SerialTransport::OpenSerialPort() {
  CloseSerialPort();
  CInterface& settings = m_objLink.settings;
  SerialSettings serial;
  if (!ParseSerialInfo(settings.GetSerialInfo(), serial)) return false;
  const int com = settings.GetComPortNumber();
  const std::optional<SerialPortInfo> port = m_objResolver ? m_objResolver(com) : std::nullopt;
  if (!port) {
    m_objLink.reports.LinkFailed(LinkFailure::SerialNoDevice, NoDeviceText(com));
    return false;
  }
  m_objPort.setPortName(port->m_sDevice);
  m_objPort.setBaudRate(serial.baudRate);
  m_objPort.setParity(serial.parity);
  m_objPort.setDataBits(serial.dataBits);
  m_objPort.setStopBits(serial.stopBits);
  m_objPort.setFlowControl(QSerialPort::NoFlowControl);
  if (!m_objPort.open(QIODevice::ReadWrite)) {
    const QString text = SerialOpenFailureText(m_objPort.error(), port->m_sDevice, com);
    m_objLink.reports.LinkFailed(LinkFailure::SerialOpenFailed, text);
    return false;
  }
  // Whatever waited in the line before the port was opened is not a reply.
  m_objPort.clear(QSerialPort::AllDirections);
  m_objLink.state.m_bStatusReplyActive = 0;
  m_objLink.state.m_bParameterReplyActive = 0;
  m_objFramer.Reset();
  m_bLastClearToSend.reset();
  m_iOverruns = ReadOverrunCount();
  PollLineState();
  m_objLineTimer.start();
  return true;
}

bool SerialTransport::CloseSerialPort() {
  m_objLineTimer.stop();
  if (m_objPort.isOpen()) m_objPort.close();
  return true;
}

bool SerialTransport::WriteSerialBytes(const Bytes& p_byData) {
  for (uint8_t byte : p_byData) {
    if (!m_objPort.isOpen()) return false;
    const char c = static_cast<char>(byte);
    if (m_objPort.write(&c, 1) != 1) return false;
    m_objLink.waits.ProcessEvents();
  }
  return true;
}

bool SerialTransport::Open() {
  OpenSerialPort();
  if (!IsSerialPortOpen()) return false;
  m_objLink.waits.ProcessEvents();
  return true;
}

bool SerialTransport::Send(const Bytes& p_byCommand, Bytes& /*p_byReply*/, QString& /*p_sErrorText*/,
                           int32_t& /*p_iReceivedCount*/, int32_t /*p_iReplySize*/) {
  return SendSerial(p_byCommand);
}

bool SerialTransport::SendSerial(const Bytes& p_byCommand) {
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

void SerialTransport::OnReadyRead() {
  const QByteArray data = m_objPort.readAll();
  for (char c : data) ReceiveByte(static_cast<uint8_t>(c));
  if (m_iOverruns) {
    const std::optional<long> now = ReadOverrunCount();
    if (now && *now > *m_iOverruns) {
      m_iOverruns = now;
      OnOverrun();
    }
  }
}

void SerialTransport::ReceiveByte(uint8_t p_byByte) {
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

void SerialTransport::OnClearToSendChanged(bool p_bClearToSend) {
  m_objLink.reports.ClearToSendChanged(p_bClearToSend);
}

void SerialTransport::OnOverrun() { m_objLink.reports.LinkFailed(LinkFailure::SerialHardError); }

void SerialTransport::OnError(QSerialPort::SerialPortError p_eError) {
  // The device went away (unplugged adapter, closed peer): the port stays
  // open in Qt until closed, and would report the error again and again.
  if (p_eError == QSerialPort::ResourceError) {
    CloseSerialPort();
  }
}

void SerialTransport::PollLineState() {
#ifdef __linux__
  if (!m_objPort.isOpen()) return;
  int lines = 0;
  if (::ioctl(static_cast<int>(m_objPort.handle()), TIOCMGET, &lines) != 0) {
    m_objLineTimer.stop();  // no modem lines on this device (a pseudo-terminal)
    return;
  }
  const bool cts = (lines & TIOCM_CTS) != 0;
  if (!m_bLastClearToSend || *m_bLastClearToSend != cts) {
    const bool first = !m_bLastClearToSend.has_value();
    m_bLastClearToSend = cts;
    if (!first) OnClearToSendChanged(cts);
  }
#endif
}

std::optional<long> SerialTransport::ReadOverrunCount() {
#ifdef __linux__
  if (!m_objPort.isOpen()) return std::nullopt;
  serial_icounter_struct counters{};
  if (::ioctl(static_cast<int>(m_objPort.handle()), TIOCGICOUNT, &counters) != 0) return std::nullopt;
  return HardErrorCount(counters.overrun, counters.buf_overrun);
#else
  return std::nullopt;
#endif
}

long SerialTransport::HardErrorCount(long p_iOverruns, long /*p_iBufferOverruns*/) {
  // The tty layer's buffer overflow (buf_overrun) is a receive-buffer
  // overflow, not a hardware error.
  return p_iOverruns;
}
