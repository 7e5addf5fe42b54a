#include "SerialPipe.h"

#include "SerialOpenError.h"
#include "SerialSettings.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace dz {

namespace {
constexpr int kLineWatchMs = 200;
}  // namespace

SerialPipe::SerialPipe(const QString& p_sDevice, const QString& p_sSettings, QObject* p_objParent)
    : ByteTransport(p_objParent), m_sDevice(p_sDevice), m_sSettings(p_sSettings) {
  connect(&m_objPort, &QSerialPort::readyRead, this, &SerialPipe::OnReadyRead);
  connect(&m_objPort, &QSerialPort::bytesWritten, this, &ByteTransport::bytesWritten);
  connect(&m_objPort, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError p_eError) {
    // The device went away (unplugged adapter, closed peer): the port stays
    // open in Qt until closed, and would report the error again and again.
    if (p_eError != QSerialPort::ResourceError || !m_objPort.isOpen()) return;
    const QString reason = m_objPort.errorString();
    m_objLineTimer.stop();
    m_objPort.close();
    emit errorOccurred(TransportError::Lost, reason);
  });
  m_objLineTimer.setInterval(kLineWatchMs);
  connect(&m_objLineTimer, &QTimer::timeout, this, &SerialPipe::PollLineState);
}

void SerialPipe::SetTarget(const QString& p_sDevice, const QString& p_sSettings) {
  m_sDevice = p_sDevice;
  m_sSettings = p_sSettings;
}

void SerialPipe::Open() {
  if (m_objPort.isOpen()) return;
  SerialSettings serial;
  QString failure;
  m_eOpenError = QSerialPort::NoError;
  if (!ParseSerialInfo(m_sSettings.toStdString(), serial)) {
    m_eOpenError = QSerialPort::UnsupportedOperationError;
    failure = QStringLiteral("bad serial settings \"%1\"").arg(m_sSettings);
  } else {
    m_objPort.setPortName(m_sDevice);
    m_objPort.setBaudRate(serial.baudRate);
    m_objPort.setParity(serial.parity);
    m_objPort.setDataBits(serial.dataBits);
    m_objPort.setStopBits(serial.stopBits);
    m_objPort.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_objPort.open(QIODevice::ReadWrite)) {
      m_eOpenError = m_objPort.error();
      const QString text = SerialOpenFailureText(m_eOpenError, m_sDevice, 0);
      failure = text.isEmpty() ? m_objPort.errorString()
                               : m_objPort.errorString() + QStringLiteral(" (") + text + QStringLiteral(")");
    } else {
      // Whatever waited in the line before the port was opened is not a reply.
      m_objPort.clear(QSerialPort::AllDirections);
      m_bLastClearToSend.reset();
      m_iOverruns = ReadOverrunCount();
      PollLineState();
      m_objLineTimer.start();
    }
  }
  QMetaObject::invokeMethod(
      this,
      [this, failure] {
        if (failure.isEmpty())
          emit opened();
        else
          emit errorOccurred(TransportError::OpenFailed, failure);
      },
      Qt::QueuedConnection);
}

void SerialPipe::Close() {
  m_objLineTimer.stop();
  if (!m_objPort.isOpen()) return;
  m_objPort.close();
  emit closed();
}

bool SerialPipe::Write(const Bytes& p_byData, int32_t /*p_iReplySize*/) {
  if (!m_objPort.isOpen()) return false;
  const QByteArray block(reinterpret_cast<const char*>(p_byData.data()), static_cast<qsizetype>(p_byData.size()));
  return m_objPort.write(block) == block.size();
}

void SerialPipe::OnReadyRead() {
  emit bytesReceived(m_objPort.readAll());
  if (!m_iOverruns) return;
  const std::optional<long> now = ReadOverrunCount();
  if (now && *now > *m_iOverruns) {
    m_iOverruns = now;
    emit receiveOverrun();
  }
}

void SerialPipe::PollLineState() {
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
    if (!first) emit clearToSendChanged(cts);
  }
#endif
}

std::optional<long> SerialPipe::ReadOverrunCount() {
#ifdef __linux__
  if (!m_objPort.isOpen()) return std::nullopt;
  serial_icounter_struct counters{};
  if (::ioctl(static_cast<int>(m_objPort.handle()), TIOCGICOUNT, &counters) != 0) return std::nullopt;
  return HardErrorCount(counters.overrun, counters.buf_overrun);
#else
  return std::nullopt;
#endif
}

long SerialPipe::HardErrorCount(long p_iOverruns, long /*p_iBufferOverruns*/) {
  // The tty layer's buffer overflow (buf_overrun) is a receive-buffer
  // overflow, not a hardware error.
  return p_iOverruns;
}

}  // namespace dz
