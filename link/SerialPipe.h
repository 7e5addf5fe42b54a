#pragma once
// A serial device as a byte pipe, with a settings text such as "9600,E,8,1"
// and no handshaking.
#include <QSerialPort>

#include "ByteTransport.h"

namespace dz {

class SerialPipe : public ByteTransport {
  Q_OBJECT
 public:
  SerialPipe(const QString& p_sDevice, const QString& p_sSettings, QObject* p_objParent = nullptr);

  FramingRule Rule() const override { return FramingRule::Serial; }
  QString PeerName() const override { return m_sDevice; }
  // Opens at once; opened() or errorOccurred() is emitted from the event loop.
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return m_objPort.isOpen(); }
  bool Write(const Bytes& p_byData, int32_t p_iReplySize) override;

  QSerialPort& Port() { return m_objPort; }

 private:
  QString m_sDevice;
  QString m_sSettings;
  QSerialPort m_objPort;
};

}  // namespace dz
