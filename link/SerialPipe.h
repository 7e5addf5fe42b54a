#pragma once
// A serial device as a byte pipe, with a settings text such as "9600,E,8,1"
// and no handshaking. While open it also watches the line: a change of
// clear-to-send and a character lost in the receive register are reported.
#include <QSerialPort>
#include <QTimer>
#include <optional>

#include "ByteTransport.h"

namespace dz {

class SerialPipe : public ByteTransport {
  Q_OBJECT
 public:
  SerialPipe(const QString& p_sDevice, const QString& p_sSettings, QObject* p_objParent = nullptr);

  // The device and settings the next Open uses.
  void SetTarget(const QString& p_sDevice, const QString& p_sSettings);

  FramingRule Rule() const override { return FramingRule::Serial; }
  QString PeerName() const override { return m_sDevice; }
  // Opens at once (IsOpen() tells at return); opened() or errorOccurred()
  // is emitted from the event loop.
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return m_objPort.isOpen(); }
  bool Write(const Bytes& p_byData, int32_t p_iReplySize) override;

  // Why the last Open failed, as the port reported it (NoError after a
  // successful one), for callers that word their own message.
  QSerialPort::SerialPortError OpenError() const { return m_eOpenError; }

  // The count that means a hard error from the port's counters: characters
  // lost in the receive register. A receive-buffer overflow is ignored.
  static long HardErrorCount(long p_iOverruns, long p_iBufferOverruns);

  QSerialPort& Port() { return m_objPort; }

 signals:
  // The clear-to-send line changed (not reported for its state at opening).
  void clearToSendChanged(bool p_bClearToSend);
  // A received character was lost in the port's receive register; reported
  // after the bytes of the read that noticed it.
  void receiveOverrun();

 private:
  void OnReadyRead();
  void PollLineState();
  std::optional<long> ReadOverrunCount();

  QString m_sDevice;
  QString m_sSettings;
  QSerialPort m_objPort;
  QSerialPort::SerialPortError m_eOpenError = QSerialPort::NoError;
  QTimer m_objLineTimer;  // watches clear-to-send while open
  std::optional<bool> m_bLastClearToSend;
  std::optional<long> m_iOverruns;
};

}  // namespace dz
