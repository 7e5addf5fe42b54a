#pragma once
// Cuts the bytes a printer sends into its replies, with the rule of the link
// they came over. Plain C++: bytes in, complete replies out.
//
//  Serial  byte by byte: SOH starts a 13-byte status reply, "{" a record
//          reply of half the length its read kind announces (a "{" or SOH
//          always restarts, also inside a reply); XON and XOFF are dropped;
//          bytes outside a reply are dropped.
//  LAN     one arrival at a time: the first byte of an arrival (when no reply
//          is being joined) says what it is; a reply that arrives in pieces is
//          joined up to its length, bytes beyond it in the same arrival are
//          dropped; an arrival that starts with any other byte is one "other"
//          reply of that first byte (the window releases its buttons on it).
//  USB     one transfer's bytes at a time: a status reply is 13 bytes from
//          byte 1; a record comes behind two bytes (2 and one more) as a frame
//          of half the announced length plus one byte; any other first byte
//          is an "other" reply.
//
// A reply that stops short is given up by Settle(), which returns it only
// when it already holds what the reader needs (a status code; every field of
// the record).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "Commands.h"

enum class FramingRule { Serial, Lan, Usb };

enum class FrameType {
  Status,  // starts with SOH; status code at bytes 2 and 3
  Record,  // a record frame: "{" (serial, LAN), one byte, the fields, two bytes
  Other,   // LAN and USB: a reply whose first byte is neither
};

struct ReplyFrame {
  FrameType type = FrameType::Other;
  Bytes bytes;
  bool operator==(const ReplyFrame& p_objOther) const { return type == p_objOther.type && bytes == p_objOther.bytes; }
};

class ReplyFramer {
 public:
  explicit ReplyFramer(FramingRule p_eRule = FramingRule::Lan) : m_eRule(p_eRule) {}

  FramingRule Rule() const { return m_eRule; }

  // The read kind (-1 to 4) a record reply belongs to: it sets the record's
  // length. -1 while a status request is pending.
  void SetReadKind(int p_iKind) { m_iReadKind = p_iKind; }
  int ReadKind() const { return m_iReadKind; }

  // One piece of received bytes (serial: any number of bytes; LAN: one
  // arrival; USB: one transfer). Appends every reply completed by it to
  // p_objOut and returns how many were appended.
  size_t Feed(const uint8_t* p_pData, size_t p_iSize, std::vector<ReplyFrame>& p_objOut);
  size_t Feed(const Bytes& p_byData, std::vector<ReplyFrame>& p_objOut) {
    return Feed(p_byData.data(), p_byData.size(), p_objOut);
  }

  // The wait for the reply is over: a reply still being joined is given up;
  // it is returned when it already holds what the reader needs.
  std::optional<ReplyFrame> Settle();

  // Forgets any reply being joined (a new connection, a new transfer).
  void Reset();
  // Forgets a record reply being joined, keeps a status reply (a new command
  // on the serial line: a late record must not be filed under the next kind).
  void DropPartialRecord();

  // A reply has started and is not complete yet.
  bool Assembling() const { return m_ePending.has_value(); }
  std::optional<FrameType> Pending() const { return m_ePending; }
  const Bytes& Buffer() const { return m_byBuffer; }

  // Bytes of a complete record frame of the read kind under this rule (0
  // when the kind announces no length).
  size_t RecordFrameLength() const;
  // Whether a record frame reaches the end of the read kind's last field.
  static bool HoldsAllFields(const Bytes& p_byFrame, int p_iKind);

 private:
  size_t FeedSerial(const uint8_t* p_pData, size_t p_iSize, std::vector<ReplyFrame>& p_objOut);
  size_t FeedLan(const uint8_t* p_pData, size_t p_iSize, std::vector<ReplyFrame>& p_objOut);
  size_t FeedUsb(const uint8_t* p_pData, size_t p_iSize, std::vector<ReplyFrame>& p_objOut);
  // The USB record frame taken from behind its two leading bytes.
  ReplyFrame UsbRecord() const;

  FramingRule m_eRule;
  int m_iReadKind = -1;
  std::optional<FrameType> m_ePending;
  Bytes m_byBuffer;
};
