#include "SerialPipe.h"

#include "SerialOpenError.h"
#include "SerialSettings.h"

namespace dz {

SerialPipe::SerialPipe(const QString& p_sDevice, const QString& p_sSettings, QObject* p_objParent)
    : ByteTransport(p_objParent), m_sDevice(p_sDevice), m_sSettings(p_sSettings) {
  connect(&m_objPort, &QSerialPort::readyRead, this, [this] { emit bytesReceived(m_objPort.readAll()); });
  connect(&m_objPort, &QSerialPort::bytesWritten, this, &ByteTransport::bytesWritten);
  connect(&m_objPort, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError p_eError) {
    // The device went away (unplugged adapter, closed peer).
    if (p_eError != QSerialPort::ResourceError || !m_objPort.isOpen()) return;
    const QString reason = m_objPort.errorString();
    m_objPort.close();
    emit errorOccurred(TransportError::Lost, reason);
  });
}

void SerialPipe::Open() {
  if (m_objPort.isOpen()) return;
  SerialSettings serial;
  QString failure;
  if (!ParseSerialInfo(m_sSettings.toStdString(), serial)) {
    failure = QStringLiteral("bad serial settings \"%1\"").arg(m_sSettings);
  } else {
    m_objPort.setPortName(m_sDevice);
    m_objPort.setBaudRate(serial.baudRate);
    m_objPort.setParity(serial.parity);
    m_objPort.setDataBits(serial.dataBits);
    m_objPort.setStopBits(serial.stopBits);
    m_objPort.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_objPort.open(QIODevice::ReadWrite)) {
      const QString text = SerialOpenFailureText(m_objPort.error(), m_sDevice, 0);
      failure = text.isEmpty() ? m_objPort.errorString()
                               : m_objPort.errorString() + QStringLiteral(" (") + text + QStringLiteral(")");
    } else {
      // Whatever waited in the line before the port was opened is not a reply.
      m_objPort.clear(QSerialPort::AllDirections);
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
  if (!m_objPort.isOpen()) return;
  m_objPort.close();
  emit closed();
}

bool SerialPipe::Write(const Bytes& p_byData, int32_t /*p_iReplySize*/) {
  if (!m_objPort.isOpen()) return false;
  const QByteArray block(reinterpret_cast<const char*>(p_byData.data()), static_cast<qsizetype>(p_byData.size()));
  return m_objPort.write(block) == block.size();
}

}  // namespace dz
