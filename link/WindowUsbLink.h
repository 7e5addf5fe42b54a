#pragma once
// The window's USB link on a USB byte pipe that the link drives itself, one
// step at a time on the user-interface thread, with window events processed
// between the steps: an identity check, then one write (open, send, close),
// then read passes (open, receive, close) until the reply has arrived or the
// reply wait is over. Every failed read pass is reported as an open error.
// The reply is cut by the USB rule (a record behind two leading bytes) and
// routed by the dispatcher once the send has returned.
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "Commands.h"
#include "ITransport.h"
#include "ReplyFramer.h"
#include "UsbPipe.h"

class WindowUsbLink : public QObject, public ITransport {
  Q_OBJECT
 public:
  explicit WindowUsbLink(LinkContext& p_objLink);
  ~WindowUsbLink() override;

  // ITransport: the device is opened anew for every transfer, so opening
  // and closing only check and release it.
  bool Open() override { return OpenDevice(); }
  bool Close() override {
    CloseDevice();
    return true;
  }
  bool IsOpen() const override { return true; }
  bool Send(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t& p_iReceivedCount,
            int32_t p_iReplySize) override {
    return SendUsb(p_byCommand, p_byReply, p_sErrorText, p_iReceivedCount, p_iReplySize);
  }

  // Binds this file instead of searching for the library (tests, the
  // simulator build).
  void SetLibraryPath(const QString& p_sPath);
  // How long a command that expects a reply polls for it.
  void SetReplyWaitSeconds(double p_dSeconds) { m_dReplyWaitSeconds = p_dSeconds; }

  bool SendUsb(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t& p_iReceivedCount,
               int32_t p_iReplySize);
  bool WriteUsbBytes(const Bytes& p_byCommand);
  int32_t ReadUsbBytes(Bytes& p_byBuffer, int32_t p_iLength);
  // The reply the last send's read passes delivered, cut by the USB rule
  // (a record without its two leading bytes); none when nothing usable came.
  const std::optional<ReplyFrame>& LastFrame() const { return m_objLastFrame; }

  // Open and close for the link change of the setup dialog.
  bool OpenDevice();
  void CloseDevice();

  dz::UsbPipe& Pipe() { return *m_objPipe; }

 private:
  void MakePipe(const QString& p_sPath);
  // A failed step of the pipe, shown by the window.
  void OnPipeError(dz::TransportError p_eError);

  LinkContext& m_objLink;
  std::unique_ptr<dz::UsbPipe> m_objPipe;
  double m_dReplyWaitSeconds = 3.0;
  ReplyFramer m_objFramer{FramingRule::Usb};
  std::optional<ReplyFrame> m_objLastFrame;
};
