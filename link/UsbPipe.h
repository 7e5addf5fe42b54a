#pragma once
// USB through the transfer library "Diruvov" as a byte pipe, driven in one
// of two ways:
// - by the worker (UsbDrive::Worker): the library's calls block, so they run
//   on one worker thread that every such pipe of the process shares; results
//   come back as the pipe's signals on the thread that owns the pipe. Each
//   write opens, sends and closes the device, then reads (open, receive,
//   close) until the reply the command expects has arrived or the reply wait
//   is over, and ends with transferEnded().
// - by the caller (UsbDrive::Caller): no thread; the caller makes each step
//   (identity check, one write, one read pass) on its own thread and decides
//   itself when to make the next. The function set with SetBetweenSteps runs
//   between the library calls of a step.
#include <QPointer>
#include <functional>
#include <memory>

#include "ByteTransport.h"

namespace dz {

class UsbWorker;
class UsbLibrary;

enum class UsbDrive { Worker, Caller };

class UsbPipe : public ByteTransport {
  Q_OBJECT
 public:
  // Empty path: "Diruvov" beside the executable, then the system's library path.
  explicit UsbPipe(const QString& p_sLibraryPath, QObject* p_objParent = nullptr, UsbDrive p_eDrive = UsbDrive::Worker);
  ~UsbPipe() override;

  FramingRule Rule() const override { return FramingRule::Usb; }
  QString PeerName() const override { return QStringLiteral("USB"); }
  // Binds the library and checks the device's identity (driven by the
  // caller: before Open returns).
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return m_bOpen; }
  // Driven by the caller, only the write is made (before Write returns);
  // the caller makes the read passes with ReadPass.
  bool Write(const Bytes& p_byData, int32_t p_iReplySize) override;

  // The steps a caller drives (UsbDrive::Caller). Each one blocks for as
  // long as the library takes. A failed write or read pass is emitted as
  // errorOccurred before the device is closed: OpenFailed when the device
  // did not open, WriteFailed when it did not take the bytes.
  void SetBetweenSteps(std::function<void()> p_fnBetween) { m_fnBetween = std::move(p_fnBetween); }
  // Binds the library; false with the reason when that is not possible.
  bool BindLibrary(QString& p_sFailure);
  // Dll_openUSB's result as it is, the device left as the library left it;
  // the library must be bound.
  int32_t IdentifyDevice();
  // Open, send, close; false when the device did not open or did not take
  // the bytes.
  bool WriteOnce(const Bytes& p_byData);
  // Open, receive at most p_iLength bytes (never more than the buffer
  // holds) into p_byBuffer from its start, close. The count the library
  // gave, 0 when the device did not open.
  int32_t ReadPass(Bytes& p_byBuffer, int32_t p_iLength);
  // Tells the library to close, once it has been bound.
  void CloseDevice();

  // How long the read passes after a write wait for the reply.
  void SetReplyWaitMs(int p_iMs) { m_iReplyWaitMs = p_iMs; }

  // The failure text of a negative identity result of Dll_openUSB, empty for
  // success.
  static QString IdentityFailureText(int32_t p_iResult);

 private:
  void Between() {
    if (m_fnBetween) m_fnBetween();
  }

  UsbDrive m_eDrive;
  QPointer<UsbWorker> m_objWorker;
  std::unique_ptr<UsbLibrary> m_objLibrary;  // driven by the caller
  std::function<void()> m_fnBetween;
  QString m_sLibraryPath;
  bool m_bOpen = false;
  quint64 m_iLatest = 0;  // the id of the latest write
  int m_iReplyWaitMs = 3000;
};

}  // namespace dz
