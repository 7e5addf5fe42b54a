#pragma once
// The RS-232C link: opens the port with the interface settings, writes a
// command one byte at a time, and assembles the printer's replies from the
// received bytes: SOH starts a 13-byte status reply, "{" a record reply of
// the length the pending read kind announces; XON and XOFF are dropped.
#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <optional>

#include "Commands.h"
#include "ITransport.h"
#include "ReplyFramer.h"
#include "SerialSettings.h"

class SerialTransport : public QObject, public ITransport {
  Q_OBJECT
 public:
  explicit SerialTransport(LinkContext& p_objLink);

  // Which device COMn is (ResolveComPort unless set); tests map it to a
  // pseudo-terminal or to a prepared device tree.
  void SetComPortResolver(ComPortResolver p_objResolver) { m_objResolver = std::move(p_objResolver); }
  void SetPortResolver(SerialPortResolver p_objResolver);
  const ComPortResolver& PortResolver() const { return m_objResolver; }

  // ITransport: open for the interface change, close, send a command.
  bool Open() override;
  bool Close() override { return CloseSerialPort(); }
  bool IsOpen() const override { return IsSerialPortOpen(); }
  bool Send(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t& p_iReceivedCount,
            int32_t p_iReplySize) override;

  bool OpenSerialPort();
  bool CloseSerialPort();
  bool IsSerialPortOpen() const { return m_objPort.isOpen(); }
  bool WriteSerialBytes(const Bytes& p_byData);
  bool SendSerial(const Bytes& p_byCommand);

  // One received byte through the reply assembler.
  void ReceiveByte(uint8_t p_byByte);
  // The clear-to-send line changed (reported; the window shows "ON LINE" / "OFF LINE").
  void OnClearToSendChanged(bool p_bClearToSend);
  // A received character was lost in the port's receive register (reported as a hard error).
  void OnOverrun();

  QSerialPort& Port() { return m_objPort; }

  // The count that means "HARD ERROR" from the port's counters: characters
  // lost in the receive register. A receive-buffer overflow is ignored.
  static long HardErrorCount(long p_iOverruns, long p_iBufferOverruns);

 private:
  void OnReadyRead();
  void OnError(QSerialPort::SerialPortError p_eError);
  void PollLineState();
  std::optional<long> ReadOverrunCount();

  LinkContext& m_objLink;
  QSerialPort m_objPort;
  ComPortResolver m_objResolver;
  ReplyFramer m_objFramer{FramingRule::Serial};
  QTimer m_objLineTimer;  // watches clear-to-send and the overrun counter while open
  std::optional<bool> m_bLastClearToSend;
  std::optional<long> m_iOverruns;
};
