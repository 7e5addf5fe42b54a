#include "LanPipe.h"

namespace dz {

namespace {
// What went wrong with the connection, in a few plain words.
QString Reason(QAbstractSocket::SocketError p_eError, const QString& p_sSystem) {
  switch (p_eError) {
    case QAbstractSocket::ConnectionRefusedError:
      return QStringLiteral("connection refused");
    case QAbstractSocket::HostNotFoundError:
      return QStringLiteral("host not found");
    case QAbstractSocket::NetworkError:
      return QStringLiteral("the connection was reset");
    case QAbstractSocket::RemoteHostClosedError:
      return QStringLiteral("the printer closed the connection");
    default:
      return p_sSystem;
  }
}
}  // namespace

LanPipe::LanPipe(const QString& p_sHost, quint16 p_iPort, QObject* p_objParent)
    : ByteTransport(p_objParent), m_sHost(p_sHost), m_iPort(p_iPort) {
  connect(&m_objSocket, &QTcpSocket::connected, this, [this] {
    m_bWasOpen = true;
    // Commands are a few bytes each: send them at once.
    m_objSocket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    emit opened();
  });
  connect(&m_objSocket, &QTcpSocket::disconnected, this, [this] {
    if (!m_bWasOpen) return;
    m_bWasOpen = false;
    emit closed();
  });
  connect(&m_objSocket, &QTcpSocket::readyRead, this, [this] {
    const QByteArray data = m_objSocket.readAll();
    if (!data.isEmpty()) emit bytesReceived(data);
    // An unbuffered socket learns of the end of the connection in this read
    // and says nothing of it: it is reported here.
    if (m_bWasOpen && m_objSocket.state() != QAbstractSocket::ConnectedState) {
      m_bWasOpen = false;
      const QAbstractSocket::SocketError error = m_objSocket.error();
      if (error != QAbstractSocket::RemoteHostClosedError) {
        m_eLastError = error;
        m_sLastErrorText = m_objSocket.errorString();
        emit errorOccurred(TransportError::Lost, Reason(error, m_sLastErrorText));
      }
      m_objSocket.abort();
      emit closed();
    }
  });
  connect(&m_objSocket, &QTcpSocket::bytesWritten, this, &ByteTransport::bytesWritten);
  connect(&m_objSocket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError p_eError) {
    m_eLastError = p_eError;
    m_sLastErrorText = m_objSocket.errorString();
    if (!m_bWasOpen) {
      emit errorOccurred(TransportError::OpenFailed, Reason(p_eError, m_objSocket.errorString()));
      return;
    }
    // The printer closing its end is no error: disconnected follows.
    if (p_eError == QAbstractSocket::RemoteHostClosedError) return;
    emit errorOccurred(TransportError::Lost, Reason(p_eError, m_objSocket.errorString()));
  });
}

LanPipe::~LanPipe() { m_objSocket.disconnect(this); }

void LanPipe::SetTarget(const QString& p_sHost, quint16 p_iPort) {
  m_sHost = p_sHost;
  m_iPort = p_iPort;
}

QString LanPipe::PeerName() const {
  const bool v6 = m_sHost.contains(QLatin1Char(':'));
  return (v6 ? QStringLiteral("[%1]:%2") : QStringLiteral("%1:%2")).arg(m_sHost).arg(m_iPort);
}

void LanPipe::Open() {
  if (m_objSocket.state() != QAbstractSocket::UnconnectedState) return;
  // Unbuffered: a command goes to the kernel at once, without a write buffer
  // of its own for each of a thousand connections.
  m_objSocket.connectToHost(m_sHost, m_iPort,
                            m_bBuffered ? QIODevice::ReadWrite : QIODevice::ReadWrite | QIODevice::Unbuffered);
}

void LanPipe::Close() {
  const bool wasOpen = m_bWasOpen;
  m_bWasOpen = false;
  m_objSocket.abort();
  if (wasOpen) emit closed();
}

bool LanPipe::Write(const Bytes& p_byData, int32_t /*p_iReplySize*/) {
  if (!IsOpen()) return false;
  const QByteArray block(reinterpret_cast<const char*>(p_byData.data()), static_cast<qsizetype>(p_byData.size()));
  if (m_objSocket.write(block) != block.size()) {
    // A connection the printer has reset or closed refuses the write (the
    // socket says nothing more of it): that is the end of the connection, as
    // if a read had found it, not a write the link could not take.
    const QAbstractSocket::SocketError error = m_objSocket.error();
    if (error != QAbstractSocket::RemoteHostClosedError && error != QAbstractSocket::NetworkError) return false;
    QMetaObject::invokeMethod(
        this,
        [this, error] {
          if (!m_bWasOpen) return;
          m_bWasOpen = false;
          if (error != QAbstractSocket::RemoteHostClosedError)
            emit errorOccurred(TransportError::Lost, Reason(error, m_objSocket.errorString()));
          m_objSocket.abort();
          emit closed();
        },
        Qt::QueuedConnection);
    return true;
  }
  // What the kernel took at once is reported here (the socket reports only
  // what it had to keep and sent later).
  if (m_objSocket.bytesToWrite() == 0) {
    const qint64 count = block.size();
    QMetaObject::invokeMethod(
        this, [this, count] { emit bytesWritten(count); }, Qt::QueuedConnection);
  }
  return true;
}

}  // namespace dz
