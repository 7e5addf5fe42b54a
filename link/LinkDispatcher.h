#pragma once
// The one way a printer operation reaches the printer: SendCommand sends a
// framed command over the active link, the waits keep window events flowing
// while the printer answers, and the link state is shared by the operations
// and the transports' receive paths.
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "Commands.h"
#include "ILinkHost.h"
#include "ITransport.h"
#include "LinkIds.h"
#include "LinkState.h"
#include "LinkWaiter.h"

class CInterface;
class CItemManager;
class WindowSerialLink;
class WindowLanLink;
class WindowUsbLink;

class LinkDispatcher : public QObject, private IReplySink, private ILinkReports {
  Q_OBJECT
 public:
  LinkDispatcher(CItemManager& p_objItems, CInterface& p_objInterface, ILinkHost& p_objHost,
                 QObject* p_objParent = nullptr);
  ~LinkDispatcher() override;

  LinkState& State() { return m_objState; }
  const LinkState& State() const { return m_objState; }

  // Sends a framed command over the active link. On USB the reply is read
  // and routed before this returns. errorText gets the failure text of the
  // LAN and USB links; callers show it when the result is false.
  bool SendCommand(CInterface& p_objInterface, const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText,
                   int32_t& p_iReceivedCount, int32_t p_iReplySize, bool& p_bReplyExpected);
  // The same without the reply buffer and count, for callers that do not look at them.
  bool SendCommand(const Bytes& p_byCommand, QString& p_sErrorText, int32_t p_iReplySize, bool p_bReplyExpected);

  // True when the LAN link confirmed the send within the time; otherwise
  // beeps, shows "Device Time Out !!" titled "Failure" and gives false.
  bool WaitLanSendComplete(double p_dSeconds);
  // Returns after the time has passed, processing window events meanwhile;
  // a reply the active link was still assembling is settled at the end.
  void WaitSeconds(double p_dSeconds);
  // Runs pending window events once.
  void ProcessEvents() { m_objWaiter.ProcessEvents(); }
  // Processes window events, sleeping in the event loop, until the
  // condition holds or the deadline passes. Returns the condition.
  bool WaitUntil(const std::function<bool()>& p_fnCondition, QDeadlineTimer p_objDeadline) {
    return m_objWaiter.WaitUntil(p_fnCondition, p_objDeadline);
  }
  // The transports call this after changing a link flag, so that a wait
  // watching the flag looks at it at once.
  void NotifyStateChanged() { m_objWaiter.NotifyStateChanged(); }

  bool OpenInterface(int p_iIndex);
  bool CloseInterface(int p_iIndex);

  void BeginBusy();
  void EndBusy();

  // The window is closing: every wait returns at once and the links close,
  // so an operation in progress runs to its end without waiting or sending.
  void Shutdown();
  bool IsShuttingDown() const { return m_objWaiter.IsShuttingDown(); }

  // Shows a complete status reply's text in the status label, or in the
  // head-check label while a head check waits for it.
  void ShowStatusReply(const Bytes& p_byReply);
  // Stores a record reply frame into the items of m_iReplyRecord.
  bool StoreRecord(const Bytes& p_byFrame);
  // Whether a record reply frame reaches the end of m_iReplyRecord's last field.
  bool HoldsAllFields(const Bytes& p_byFrame) const override;

  CItemManager& Items() { return m_objItems; }
  CInterface& Interface() { return m_objInterface; }
  ILinkHost& Host() { return m_objHost; }
  LinkWaiter& Waiter() { return m_objWaiter; }
  WindowSerialLink& Serial() { return *m_objSerial; }
  WindowLanLink& Lan() { return *m_objLan; }
  WindowUsbLink& Usb() { return *m_objUsb; }
  // The transport of a link index, nullptr for any other index.
  ITransport* Transport(int p_iIndex);

 signals:
  void stateChanged();

 private:
  void HandStatusReply(const Bytes& p_byReply) override { ShowStatusReply(p_byReply); }
  bool HandRecordFrame(const Bytes& p_byFrame) override { return StoreRecord(p_byFrame); }
  bool RouteUsbReply(const Bytes& p_byReply, int32_t p_iReceivedCount, int32_t p_iReplySize);
  // What the links report, presented in the window: the message boxes of
  // the links' failures, the line state in the status label, the lock of
  // the command buttons and the beep.
  void LinkFailed(LinkFailure p_eFailure, const QString& p_sDetail) override;
  void ClearToSendChanged(bool p_bClearToSend) override;
  void LinkBusy(bool p_bBusy) override { p_bBusy ? BeginBusy() : EndBusy(); }
  void ReplyWaitExceeded() override { m_objHost.Beep(); }

  CItemManager& m_objItems;
  CInterface& m_objInterface;
  ILinkHost& m_objHost;
  LinkState m_objState;
  LinkWaiter m_objWaiter;
  LinkContext m_objContext;
  std::unique_ptr<WindowSerialLink> m_objSerial;
  std::unique_ptr<WindowLanLink> m_objLan;
  std::unique_ptr<WindowUsbLink> m_objUsb;
};
