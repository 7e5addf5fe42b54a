#pragma once
// USB through the transfer library "Diruvov" as a byte pipe. The library's
// calls block, so they run on one worker thread that every USB pipe of the
// process shares; results come back as the pipe's signals on the thread
// that owns the pipe. Each write opens, sends and closes the device, then
// reads (open, receive, close) until the reply the command expects has
// arrived or the reply wait is over, and ends with transferEnded().
#include <QPointer>

#include "ByteTransport.h"

namespace dz {

class UsbWorker;

class UsbPipe : public ByteTransport {
  Q_OBJECT
 public:
  // Empty path: "Diruvov" beside the executable, then the system's library path.
  explicit UsbPipe(const QString& p_sLibraryPath, QObject* p_objParent = nullptr);
  ~UsbPipe() override;

  FramingRule Rule() const override { return FramingRule::Usb; }
  QString PeerName() const override { return QStringLiteral("USB"); }
  // Binds the library and checks the device's identity.
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return m_bOpen; }
  bool Write(const Bytes& p_byData, int32_t p_iReplySize) override;

  // How long the read passes after a write wait for the reply.
  void SetReplyWaitMs(int p_iMs) { m_iReplyWaitMs = p_iMs; }

  // The failure text of a negative identity result of Dll_openUSB, empty for
  // success.
  static QString IdentityFailureText(int32_t p_iResult);

 private:
  QPointer<UsbWorker> m_objWorker;
  bool m_bOpen = false;
  quint64 m_iLatest = 0;  // the id of the latest write
  int m_iReplyWaitMs = 3000;
};

}  // namespace dz
