#pragma once
// The window's RS-232C link on a serial byte pipe: resolves COMn to its
// device at each opening, writes a command one byte at a time (window
// events are processed between the bytes), and assembles the printer's
// replies with the serial framing rule: SOH starts a 13-byte status reply,
// "{" a record reply of the length the pending read kind announces; XON
// and XOFF are dropped. The receiver's state is the link state's flags.
#include <QObject>

#include "Commands.h"
#include "ITransport.h"
#include "ReplyFramer.h"
#include "SerialPipe.h"
#include "SerialSettings.h"

class WindowSerialLink : public QObject, public ITransport {
  Q_OBJECT
 public:
  explicit WindowSerialLink(LinkContext& p_objLink);

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
  bool IsSerialPortOpen() const { return m_objPipe.IsOpen(); }
  bool WriteSerialBytes(const Bytes& p_byData);
  bool SendSerial(const Bytes& p_byCommand);

  // One received byte through the reply assembler.
  void ReceiveByte(uint8_t p_byByte);
  // The clear-to-send line changed (reported; the window shows "ON LINE" / "OFF LINE").
  void OnClearToSendChanged(bool p_bClearToSend);
  // A received character was lost in the port's receive register (reported as a hard error).
  void OnOverrun();

  dz::SerialPipe& Pipe() { return m_objPipe; }

 private:
  LinkContext& m_objLink;
  dz::SerialPipe m_objPipe{QString(), QString()};
  ComPortResolver m_objResolver;
  ReplyFramer m_objFramer{FramingRule::Serial};
};
