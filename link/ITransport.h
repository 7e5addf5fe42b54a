#pragma once
// What every link (serial, LAN, USB) offers the dispatcher, and what the
// dispatcher offers the links in return.
#include <QString>
#include <cstdint>

#include "Commands.h"

class CInterface;
class LinkWaiter;
struct LinkState;

// How a transport hands a complete reply up.
class IReplySink {
 public:
  virtual ~IReplySink() = default;
  // A complete status reply: its text goes to the status or head-check label.
  virtual void HandStatusReply(const Bytes& p_byReply) = 0;
  // A record reply frame for the pending read kind; false when it was not
  // stored (too short, or refused by the decoder).
  virtual bool HandRecordFrame(const Bytes& p_byFrame) = 0;
  // Whether a frame reaches the end of the pending read kind's last field.
  virtual bool HoldsAllFields(const Bytes& p_byFrame) const = 0;
};

// What a link went through that the window presents (the dispatcher turns
// each into the window's message box, label text, lock or beep). A
// transport reports; it never shows anything itself.
enum class LinkFailure {
  SerialNoDevice,     // no serial device behind the COM entry (detail: the text naming it)
  SerialOpenFailed,   // the port did not open (detail: why; empty: nothing to show)
  SerialHardError,    // a character was lost in the port's receive register
  LanOpenError,       // the connection did not come up
  LanSocketError,     // the error after the silent reconnect (detail: the error's fields)
  UsbOpenError,       // the device did not open for a transfer
  UsbDeviceTimeOut,   // the device did not take the command
  UsbLibraryMissing,  // the library or an entry point is missing (detail: which)
};

class ILinkReports {
 public:
  virtual ~ILinkReports() = default;
  virtual void LinkFailed(LinkFailure p_eFailure, const QString& p_sDetail = QString()) = 0;
  // The serial line's clear-to-send changed.
  virtual void ClearToSendChanged(bool p_bClearToSend) = 0;
  // The link holds (true) or lets go (false) the command buttons: while the
  // LAN connection comes up, and after each LAN reply or socket error.
  virtual void LinkBusy(bool p_bBusy) = 0;
  // No USB reply within the wait.
  virtual void ReplyWaitExceeded() = 0;
};

// Everything a transport is given: the shared state, the interface
// settings, where it reports to, the reply sink and the waits.
struct LinkContext {
  LinkState& state;
  CInterface& settings;
  ILinkReports& reports;
  IReplySink& replies;
  LinkWaiter& waits;
};

class ITransport {
 public:
  virtual ~ITransport() = default;
  // Opens the link for the interface change of the setup dialog.
  virtual bool Open() = 0;
  virtual bool Close() = 0;
  virtual bool IsOpen() const = 0;
  // Sends one framed command; the arguments are SendCommand's.
  virtual bool Send(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t& p_iReceivedCount,
                    int32_t p_iReplySize) = 0;
  // The caller's wait for a reply is over; a transport may settle a reply
  // that is still being assembled.
  virtual void ReplyWaitEnded() {}
};
