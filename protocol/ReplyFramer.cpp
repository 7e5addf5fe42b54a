#include "ReplyFramer.h"

#include <algorithm>

#include "Replies.h"

namespace {
constexpr uint8_t kXon = 0x11;
constexpr uint8_t kXoff = 0x13;
constexpr uint8_t kUsbRecordStart = 0x02;
// A status reply carries its code in bytes 2 and 3.
constexpr size_t kStatusCodeEnd = 4;
// The two bytes in front of a USB record frame.
constexpr size_t kUsbRecordLead = 2;

FrameType TypeOf(uint8_t p_byFirst, FramingRule p_eRule) {
  if (p_byFirst == kSoh) return FrameType::Status;
  if (p_byFirst == (p_eRule == FramingRule::Usb ? kUsbRecordStart : kRecordStart)) return FrameType::Record;
  return FrameType::Other;
}
}  // namespace

size_t ReplyFramer::RecordFrameLength() const {
  const int announced = GetReplyLength(m_iReadKind);
  if (announced <= 0) return 0;
  // The announced length counts every character twice; USB adds one byte.
  const size_t half = static_cast<size_t>(announced) / 2;
  return m_eRule == FramingRule::Usb ? half + 1 : half;
}

bool ReplyFramer::HoldsAllFields(const Bytes& p_byFrame, int p_iKind) {
  const int width = GetRecordWidth(p_iKind);
  return width <= 0 || p_byFrame.size() >= static_cast<size_t>(width) + 2;
}

size_t ReplyFramer::Feed(const uint8_t* p_pData, size_t p_iSize, std::vector<ReplyFrame>& p_objOut) {
  if (!p_pData) p_iSize = 0;
  switch (m_eRule) {
    case FramingRule::Serial:
      return FeedSerial(p_pData, p_iSize, p_objOut);
    case FramingRule::Lan:
      return FeedLan(p_pData, p_iSize, p_objOut);
    case FramingRule::Usb:
      return FeedUsb(p_pData, p_iSize, p_objOut);
  }
  return 0;
}

size_t ReplyFramer::FeedSerial(const uint8_t* p_pData, size_t p_iSize, std::vector<ReplyFrame>& p_objOut) {
  size_t added = 0;
  for (size_t i = 0; i < p_iSize; ++i) {
    const uint8_t byte = p_pData[i];
    if (byte == kSoh || byte == kRecordStart) {
      // Either start byte restarts the buffer, also in the middle of a reply.
      m_ePending = byte == kSoh ? FrameType::Status : FrameType::Record;
      m_byBuffer.assign(1, byte);
      continue;
    }
    if (byte == kXon || byte == kXoff) continue;
    if (!m_ePending) continue;  // no reply active: dropped
    // Every other byte value is data: the LAN record carries its host name
    // filled with byte 0xFF.
    m_byBuffer.push_back(byte);
    const bool complete = *m_ePending == FrameType::Status
                              ? m_byBuffer.size() >= static_cast<size_t>(kStatusReplyLength)
                              // Complete once the buffer holds half the announced length, "{" included.
                              : static_cast<double>(m_byBuffer.size()) >= GetReplyLength(m_iReadKind) / 2.0;
    if (complete) {
      p_objOut.push_back({*m_ePending, std::move(m_byBuffer)});
      m_byBuffer.clear();
      m_ePending.reset();
      ++added;
    }
  }
  return added;
}

size_t ReplyFramer::FeedLan(const uint8_t* p_pData, size_t p_iSize, std::vector<ReplyFrame>& p_objOut) {
  if (!m_ePending) m_byBuffer.clear();
  if (m_byBuffer.empty() && p_iSize == 0) return 0;
  const FrameType type = TypeOf(m_byBuffer.empty() ? p_pData[0] : m_byBuffer[0], m_eRule);
  // An "other" reply is known by its first byte alone.
  const size_t limit = type == FrameType::Status   ? static_cast<size_t>(kStatusReplyLength)
                       : type == FrameType::Record ? std::max<size_t>(RecordFrameLength(), 1)
                                                   : 1;
  for (size_t i = 0; i < p_iSize && m_byBuffer.size() < limit; ++i) m_byBuffer.push_back(p_pData[i]);
  // Bytes beyond the reply in this arrival are not part of it.
  if (m_byBuffer.size() < limit) {
    m_ePending = type;
    return 0;
  }
  m_ePending.reset();
  p_objOut.push_back({type, std::move(m_byBuffer)});
  m_byBuffer.clear();
  return 1;
}

ReplyFrame ReplyFramer::UsbRecord() const {
  ReplyFrame frame{FrameType::Record, {}};
  if (m_byBuffer.size() > kUsbRecordLead) {
    const size_t length = std::min(RecordFrameLength(), m_byBuffer.size() - kUsbRecordLead);
    frame.bytes.assign(m_byBuffer.begin() + kUsbRecordLead,
                       m_byBuffer.begin() + static_cast<std::ptrdiff_t>(kUsbRecordLead + length));
  }
  return frame;
}

size_t ReplyFramer::FeedUsb(const uint8_t* p_pData, size_t p_iSize, std::vector<ReplyFrame>& p_objOut) {
  if (!m_ePending) m_byBuffer.clear();
  if (m_byBuffer.empty() && p_iSize == 0) return 0;
  const FrameType type = TypeOf(m_byBuffer.empty() ? p_pData[0] : m_byBuffer[0], m_eRule);
  if (type == FrameType::Other) {
    // Not a reply this tool knows: taken as it came.
    m_byBuffer.insert(m_byBuffer.end(), p_pData, p_pData + p_iSize);
    m_ePending.reset();
    p_objOut.push_back({type, std::move(m_byBuffer)});
    m_byBuffer.clear();
    return 1;
  }
  const size_t full =
      type == FrameType::Status ? static_cast<size_t>(kStatusReplyLength) : RecordFrameLength() + kUsbRecordLead;
  for (size_t i = 0; i < p_iSize && m_byBuffer.size() < full; ++i) m_byBuffer.push_back(p_pData[i]);
  // A record is whole one byte before its extra byte.
  const size_t whole = type == FrameType::Status ? full : full - 1;
  if (m_byBuffer.size() < whole) {
    m_ePending = type;
    return 0;
  }
  m_ePending.reset();
  if (type == FrameType::Status) {
    p_objOut.push_back({type, std::move(m_byBuffer)});
  } else {
    p_objOut.push_back(UsbRecord());
  }
  m_byBuffer.clear();
  return 1;
}

std::optional<ReplyFrame> ReplyFramer::Settle() {
  // On the serial line a reply cut short stays pending until the next start byte.
  if (m_eRule == FramingRule::Serial || !m_ePending) return std::nullopt;
  const FrameType type = *m_ePending;
  std::optional<ReplyFrame> frame;
  if (type == FrameType::Status) {
    if (m_byBuffer.size() >= kStatusCodeEnd) frame = ReplyFrame{type, m_byBuffer};
  } else if (type == FrameType::Record) {
    ReplyFrame record = m_eRule == FramingRule::Usb ? UsbRecord() : ReplyFrame{type, m_byBuffer};
    // Only a record that already carries every field counts.
    if (HoldsAllFields(record.bytes, m_iReadKind) && !record.bytes.empty()) frame = std::move(record);
  }
  Reset();
  return frame;
}

void ReplyFramer::Reset() {
  m_ePending.reset();
  m_byBuffer.clear();
}

void ReplyFramer::DropPartialRecord() {
  if (m_ePending == FrameType::Record) Reset();
}
