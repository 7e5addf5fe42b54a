// The LAN data notification with arbitrary frames.
// Input: byte 0 picks the pending read kind; then frames, each as a control
// byte (bit 0: a reply is expected, bit 1: a multi-record read is running),
// a length byte and that many data bytes (fewer at the end of the input).
#include <cstdint>

#include <QByteArray>

#include "WindowLanLink.h"
#include "LinkFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  fuzz::LinkUnderTest& t = fuzz::LinkUnderTest::Instance(fuzz::PickKind(data[0]));

  size_t i = 1;
  while (i + 2 <= size) {
    const uint8_t control = data[i];
    const size_t length = std::min<size_t>(data[i + 1], size - i - 2);
    const QByteArray frame(reinterpret_cast<const char*>(data + i + 2), static_cast<int>(length));
    i += 2 + length;

    LinkDispatcher& link = t.link;
    link.State().m_bReplyExpected = (control & 1) != 0;
    link.State().m_bReadInProgress = (control & 2) != 0;
    const bool expected = link.State().m_bReplyExpected;
    const std::vector<std::string> before = fuzz::ItemSnapshot(t.items);

    link.Lan().ReceiveLanData(frame);

    // A reply is assembled up to its own length and never beyond.
    if (!link.State().m_byReceiveBuffer.empty()) {
      const uint8_t first = link.State().m_byReceiveBuffer[0];
      size_t limit = 1;
      if (first == kSoh)
        limit = kStatusReplyLength;
      else if (first == kRecordStart)
        limit = std::max(1, GetReplyLength(link.State().m_iReplyRecord) / 2);
      FUZZ_CHECK(link.State().m_byReceiveBuffer.size() <= std::max<size_t>(limit, 1),
                 "buffer of %zu bytes for a reply of %zu", link.State().m_byReceiveBuffer.size(), limit);
    }
    // Bytes that arrive while nothing was asked for change nothing.
    if (!expected) fuzz::CheckOnlyChanged(before, fuzz::ItemSnapshot(t.items), fuzz::NoneAllowed(), "unasked bytes");
    t.CheckStep("LAN frame");
  }
  return 0;
}
