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

  FramingRule Rule() const override { return FramingRule::Lan; }
  QString PeerName() const override;
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return m_objSocket.state() == QAbstractSocket::ConnectedState; }
  bool Write(const Bytes& p_byData, int32_t p_iReplySize) override;

  QTcpSocket& Socket() { return m_objSocket; }

 private:
  QString m_sHost;
  quint16 m_iPort;
  QTcpSocket m_objSocket;
  bool m_bWasOpen = false;
};

}  // namespace dz
