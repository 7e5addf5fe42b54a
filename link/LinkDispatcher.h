#pragma once
// The one way a printer operation reaches the printer: SendCommand sends a
// framed command over the active link (0 COM, 1 LAN, 2 USB), the waits keep
// window events flowing while the printer answers, and the link state below
// is shared by the operations and the transports' receive paths.
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Commands.h"

class CInterface;
class CItemManager;
class ILinkHost;
class SerialTransport;
class LanTransport;
class UsbTransport;

class LinkDispatcher : public QObject {
  Q_OBJECT
 public:
  LinkDispatcher(CItemManager& p_objItems, CInterface& p_objInterface, ILinkHost& p_objHost,
                 QObject* p_objParent = nullptr);
  ~LinkDispatcher() override;

  // ---- link state ----
  Bytes m_byReceiveBuffer;            // the reply being assembled or just received
  bool m_bReplyExpected = false;      // the current command expects a reply
  int16_t m_iReplyRecord = 0;         // read kind (-1 to 4) a "{" reply belongs to
  bool m_bHeadCheckMode = false;      // next status text goes to the head-check label
  bool m_bReadInProgress = false;     // a multi-record read is running
  int m_bReplyReceived = 0;           // 1: a reply with data has arrived
  int m_bLanConnected = 0;            // 1: socket connected
  bool m_bLanError = false;           // a socket error was reported
  int m_bLanSendComplete = 0;         // 1: the socket reported a completed send
  int m_bLanRetried = 0;              // the one silent reconnect has been used
  int m_bStatusReplyActive = 0;       // serial receiver inside a status reply
  int m_bParameterReplyActive = 0;    // serial receiver inside a record reply
  int m_bLineOffline = 0;             // "OFF LINE" shown for the serial line
  std::string m_sLastStatusCode;      // the two status characters of the last status reply

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
  // Returns after the time has passed, processing window events meanwhile.
  void WaitSeconds(double p_dSeconds);
  // Runs pending window events once.
  void ProcessEvents();
  // Processes window events, sleeping in the event loop, until the
  // condition holds or the deadline passes. Returns the condition.
  bool WaitUntil(const std::function<bool()>& p_fnCondition, QDeadlineTimer p_objDeadline);
  // The transports call this after changing a link flag, so that a wait
  // watching the flag looks at it at once.
  void NotifyStateChanged() { emit stateChanged(); }

  bool OpenInterface(int p_iIndex);
  bool CloseInterface(int p_iIndex);

  void BeginBusy();
  void EndBusy();

  // The window is closing: every wait returns at once and the links close,
  // so an operation in progress runs to its end without waiting or sending.
  void Shutdown();
  bool IsShuttingDown() const { return m_bShuttingDown; }

  // Shows a complete status reply's text in the status label, or in the
  // head-check label while a head check waits for it.
  void ShowStatusReply(const Bytes& p_byReply);
  // Stores a record reply frame into the items of m_iReplyRecord.
  bool StoreRecord(const Bytes& p_byFrame);
  // Whether a record reply frame reaches the end of m_iReplyRecord's last field.
  bool HoldsAllFields(const Bytes& p_byFrame) const;

  CItemManager& Items() { return m_objItems; }
  CInterface& Interface() { return m_objInterface; }
  ILinkHost& Host() { return m_objHost; }
  SerialTransport& Serial() { return *m_objSerial; }
  LanTransport& Lan() { return *m_objLan; }
  UsbTransport& Usb() { return *m_objUsb; }

 signals:
  void stateChanged();

 private:
  CItemManager& m_objItems;
  CInterface& m_objInterface;
  ILinkHost& m_objHost;
  std::unique_ptr<SerialTransport> m_objSerial;
  std::unique_ptr<LanTransport> m_objLan;
  std::unique_ptr<UsbTransport> m_objUsb;
  bool m_bShuttingDown = false;
};
