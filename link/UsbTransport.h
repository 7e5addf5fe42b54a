#pragma once
// The USB link, through the USB transfer library "Diruvov", bound by name at
// the first transfer (beside the executable first, then the system's library
// path). The device is opened and closed around every write and every read;
// the send routine polls for the reply itself.
#include <QLibrary>
#include <QObject>
#include <QString>
#include <optional>

#include "Commands.h"
#include "Diruvov.h"
#include "ITransport.h"
#include "ReplyFramer.h"

class UsbTransport : public QObject, public ITransport {
  Q_OBJECT
 public:
  explicit UsbTransport(LinkContext& p_objLink);

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

  // Binds the library and its entry points; false with a reason when that
  // is not possible.
  bool Bind(QString& p_sFailure);

 private:
  using OpenFn = Dll_openUSB_fn;
  using SendFn = Dll_sendUSB_fn;
  using ReceiveFn = Dll_rcvUSB_fn;
  using CloseFn = Dll_closeUSB_fn;

  LinkContext& m_objLink;
  QLibrary m_objLibrary;
  QString m_sLibraryPath;
  OpenFn m_fnOpen = nullptr;
  SendFn m_fnSend = nullptr;
  ReceiveFn m_fnReceive = nullptr;
  CloseFn m_fnClose = nullptr;
  double m_dReplyWaitSeconds = 3.0;
  ReplyFramer m_objFramer{FramingRule::Usb};
  std::optional<ReplyFrame> m_objLastFrame;
};
