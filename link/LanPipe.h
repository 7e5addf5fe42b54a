#pragma once
// The printer's LAN interface as a byte pipe: a TCP client to HOST:PORT.
#include <QTcpSocket>

#include "ByteTransport.h"

namespace dz {

class LanPipe : public ByteTransport {
  Q_OBJECT
 public:
  LanPipe(const QString& p_sHost, quint16 p_iPort, QObject* p_objParent = nullptr);
  ~LanPipe() override;

  // The address and port the next Open connects to.
  void SetTarget(const QString& p_sHost, quint16 p_iPort);
  // Whether the next Open's connection keeps a write buffer of its own
  // (default: no, a command goes to the system at once). With a buffer,
  // written bytes leave from the event loop, after the caller returns.
  void SetBuffered(bool p_bBuffered) { m_bBuffered = p_bBuffered; }

  FramingRule Rule() const override { return FramingRule::Lan; }
  QString PeerName() const override;
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return m_objSocket.state() == QAbstractSocket::ConnectedState; }
  bool Write(const Bytes& p_byData, int32_t p_iReplySize) override;

  // The socket's own account of the last error reported (its code and the
  // system's text), for callers that word their own message.
  QAbstractSocket::SocketError LastSocketError() const { return m_eLastError; }
  QString LastSocketErrorText() const { return m_sLastErrorText; }

  QTcpSocket& Socket() { return m_objSocket; }

 private:
  QString m_sHost;
  quint16 m_iPort;
  QTcpSocket m_objSocket;
  bool m_bWasOpen = false;
  bool m_bBuffered = false;
  QAbstractSocket::SocketError m_eLastError = QAbstractSocket::UnknownSocketError;
  QString m_sLastErrorText;
};

}  // namespace dz
