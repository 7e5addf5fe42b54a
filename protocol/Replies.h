#pragma once
// Decoding of the printer's replies: the 13-byte status reply (first byte
// SOH, status code at bytes 2 and 3) and the parameter record reply (first
// byte "{", one framing byte, the record's fields, two framing bytes).
#include <string>

#include "Commands.h"

class CItem;
class CItemManager;

constexpr int kStatusReplyLength = 13;
constexpr uint8_t kSoh = 0x01;
constexpr uint8_t kRecordStart = 0x7B;  // "{"

// Looks up the two-character status code. For a code with a text, the text
// is written to p_sMessage and p_iReplyReceived set to 1 ("40" has the empty
// text); for any other code both are left as they were. Always true.
bool GetStatusMessage(const std::string& p_sCode, std::string& p_sMessage, int& p_iReplyReceived);

// The status code of a status reply: the characters at bytes 2 and 3 (as
// many of them as the reply holds).
std::string StatusCodeOf(const Bytes& p_byReply);

// Expected reply length announced for a read kind: 2 x (record width + 4);
// 7 for kind -1 (a status request pending); 0 for any other kind.
int GetReplyLength(int p_iKind);

// Width in characters of the read record of a kind (0 to 4), else 0.
int GetRecordWidth(int p_iKind);

// The m_iLength characters of p_byData from p_iStart on, one character per
// byte. Only the bytes that exist are taken: near the end of the data the
// text is shorter, past it empty.
std::string ExtractItemText(const CItem& p_objItem, const Bytes& p_byData, size_t p_iStart);

// Stores a record reply frame into the item group of the read kind, field by
// field from byte 2 (the font code of the Parameter record converted to its
// list position). A frame that ends early stores only its complete fields.
// Returns false and stores nothing for a kind outside 0 to 4; otherwise
// clears p_bReplyExpected and returns true.
bool StoreRecordReply(CItemManager& p_objItems, int p_iKind, const Bytes& p_byData, bool& p_bReplyExpected);
