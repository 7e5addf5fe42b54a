#pragma once
// What every link (serial, LAN, USB) offers the dispatcher, and what the
// dispatcher offers the links in return.
#include <QString>
#include <cstdint>

#include "Commands.h"

class CInterface;
class ILinkHost;
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

// Everything a transport is given: the shared state, the interface
// settings, the window (or its stand-in), the reply sink and the waits.
struct LinkContext {
  LinkState& state;
  CInterface& settings;
  ILinkHost& host;
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
