#pragma once
// The link state that the operations, the dispatcher and the transports'
// receive paths share. The dispatcher owns it; each transport is given it.
#include <cstdint>
#include <string>

#include "ReadKind.h"
#include "Commands.h"

struct LinkState {
  Bytes m_byReceiveBuffer;                   // the reply being assembled or just received
  bool m_bReplyExpected = false;             // the current command expects a reply
  int16_t m_iReplyRecord = kReadAdjustment;  // read kind (-1 to 4) a "{" reply belongs to
  bool m_bHeadCheckMode = false;             // next status text goes to the head-check label
  bool m_bReadInProgress = false;            // a multi-record read is running
  int m_bReplyReceived = 0;                  // 1: a reply with data has arrived
  int m_bLanConnected = 0;                   // 1: socket connected
  bool m_bLanError = false;                  // a socket error was reported
  int m_bLanSendComplete = 0;                // 1: the socket reported a completed send
  int m_bLanRetried = 0;                     // the one silent reconnect has been used
  int m_bStatusReplyActive = 0;              // serial receiver inside a status reply
  int m_bParameterReplyActive = 0;           // serial receiver inside a record reply
  int m_bLineOffline = 0;                    // "OFF LINE" shown for the serial line

  // Counted up each time a complete status reply was handed up and each
  // time a record frame was stored into the items, before the state change
  // is announced: a waiter that noted a count knows when the next one came.
  uint32_t m_iStatusReplies = 0;
  uint32_t m_iRecordsStored = 0;
  std::string m_sLastStatusCode;  // the two status characters of the last status reply
  // The bytes of the last status reply (its first 13) and of the last record
  // frame stored, for callers that check what the printer sent.
  Bytes m_byLastStatusReply;
  Bytes m_byLastRecordFrame;
};
