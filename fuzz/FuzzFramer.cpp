// The reply framer: any byte stream, cut into any pieces, under each link's
// rule. Nothing crashes, and a frame comes out only when the bytes form one.
// Input: byte 0 picks the rule, byte 1 the read kind; then pieces, each a
// length byte followed by up to that many bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "FuzzCheck.h"
#include "Replies.h"
#include "ReplyFramer.h"

namespace {

bool Contains(const Bytes& p_byHaystack, const Bytes& p_byNeedle) {
  return std::search(p_byHaystack.begin(), p_byHaystack.end(), p_byNeedle.begin(), p_byNeedle.end()) !=
         p_byHaystack.end();
}

void CheckFrame(const ReplyFrame& frame, FramingRule rule, int kind, const Bytes& stream, bool settled) {
  const Bytes& b = frame.bytes;
  FUZZ_CHECK(!b.empty() || (rule == FramingRule::Usb && frame.type == FrameType::Record), "an empty frame");
  const int announced = GetReplyLength(kind);
  switch (frame.type) {
    case FrameType::Status:
      FUZZ_CHECK(b[0] == kSoh, "a status frame starts with %d", b[0]);
      FUZZ_CHECK(settled ? b.size() >= 4 && b.size() <= 13 : b.size() == 13, "a status frame of %zu bytes", b.size());
      break;
    case FrameType::Record:
      if (rule != FramingRule::Usb) FUZZ_CHECK(b[0] == kRecordStart, "a record frame starts with %d", b[0]);
      if (settled) {
        FUZZ_CHECK(ReplyFramer::HoldsAllFields(b, kind), "a settled record of %zu bytes misses fields", b.size());
      } else if (rule == FramingRule::Serial) {
        const size_t needed = static_cast<size_t>(std::max(2.0, std::ceil(announced / 2.0)));
        FUZZ_CHECK(b.size() == needed, "a serial record of %zu bytes, kind %d", b.size(), kind);
      } else if (rule == FramingRule::Lan) {
        FUZZ_CHECK(b.size() == std::max<size_t>(static_cast<size_t>(std::max(announced, 0)) / 2, 1),
                   "a LAN record of %zu bytes, kind %d", b.size(), kind);
      } else {
        const size_t half = static_cast<size_t>(std::max(announced, 0)) / 2;
        FUZZ_CHECK(b.size() == half || b.size() == half + 1, "a USB record of %zu bytes, kind %d", b.size(), kind);
      }
      break;
    case FrameType::Other:
      FUZZ_CHECK(rule != FramingRule::Serial, "the serial rule has no other replies");
      FUZZ_CHECK(b[0] != kSoh && b[0] != (rule == FramingRule::Usb ? 2 : kRecordStart), "an other reply starts %d",
                 b[0]);
      if (rule == FramingRule::Lan) FUZZ_CHECK(b.size() == 1, "a LAN other reply of %zu bytes", b.size());
      break;
  }
  // Every frame is bytes the link delivered, in their order (the serial
  // rule leaves out XON and XOFF, which the stream here has dropped too).
  FUZZ_CHECK(Contains(stream, b), "a frame of %zu bytes that was not received", b.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const FramingRule rule = static_cast<FramingRule>(data[0] % 3);
  const int kind = fuzz::PickKind(data[1]);

  ReplyFramer framer(rule);
  framer.SetReadKind(kind);
  ReplyFramer whole(rule);
  whole.SetReadKind(kind);
  Bytes stream;  // everything fed, as the frames may be taken from it
  Bytes plain;   // the same without XON and XOFF
  std::vector<ReplyFrame> frames;
  size_t at = 2;
  while (at < size) {
    const size_t length = std::min<size_t>(data[at], size - at - 1);
    const uint8_t* piece = data + at + 1;
    at += 1 + length;
    // An exactly sized copy: a read past the piece is reported by ASan.
    const Bytes bytes(piece, piece + length);
    const size_t before = frames.size();
    framer.Feed(bytes.data(), bytes.size(), frames);
    stream.insert(stream.end(), bytes.begin(), bytes.end());
    for (uint8_t c : bytes)
      if (c != 0x11 && c != 0x13) plain.push_back(c);
    for (size_t i = before; i < frames.size(); ++i)
      CheckFrame(frames[i], rule, kind, rule == FramingRule::Serial ? plain : stream, false);
    if (rule != FramingRule::Serial && (data[at - 1 - length] & 0x80)) {
      // Now and then the wait ends between pieces.
      if (std::optional<ReplyFrame> settled = framer.Settle()) CheckFrame(*settled, rule, kind, stream, true);
      FUZZ_CHECK(!framer.Assembling(), "a settled framer still assembles");
    }
  }
  if (std::optional<ReplyFrame> settled = framer.Settle())
    CheckFrame(*settled, rule, kind, rule == FramingRule::Serial ? plain : stream, true);

  // On the serial line the pieces do not matter: the whole stream at once
  // gives the same replies.
  if (rule == FramingRule::Serial) {
    std::vector<ReplyFrame> once;
    whole.Feed(stream.data(), stream.size(), once);
    FUZZ_CHECK(once == frames, "%zu frames whole, %zu in pieces", once.size(), frames.size());
  }
  return 0;
}
