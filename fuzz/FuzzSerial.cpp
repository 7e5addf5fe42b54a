// The serial receiver fed an arbitrary byte stream.
// Input: byte 0 picks the pending read kind, the rest arrives byte by byte.
#include <cstdint>

#include "LinkFuzzSupport.h"
#include "WindowSerialLink.h"

namespace {
// Longest buffer the receiver may hold: a status reply or the longest record frame.
size_t LongestReply() {
  size_t longest = kStatusReplyLength;
  for (int kind = 0; kind <= 4; ++kind) longest = std::max(longest, static_cast<size_t>(GetReplyLength(kind) / 2));
  return longest;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  fuzz::LinkUnderTest& t = fuzz::LinkUnderTest::Instance(fuzz::PickKind(data[0]));
  t.link.State().m_bReplyExpected = true;
  static const size_t longest = LongestReply();

  for (size_t i = 1; i < size; ++i) {
    t.link.Serial().ReceiveByte(data[i]);
    const LinkDispatcher& link = t.link;
    FUZZ_CHECK(!(link.State().m_bStatusReplyActive == 1 && link.State().m_bParameterReplyActive == 1),
               "inside a status and a record reply at once");
    FUZZ_CHECK(link.State().m_byReceiveBuffer.size() <= longest, "receive buffer grew to %zu bytes",
               link.State().m_byReceiveBuffer.size());
    if (link.State().m_bStatusReplyActive == 1)
      FUZZ_CHECK(!link.State().m_byReceiveBuffer.empty() && link.State().m_byReceiveBuffer[0] == kSoh &&
                     link.State().m_byReceiveBuffer.size() < static_cast<size_t>(kStatusReplyLength),
                 "status reply buffer of %zu bytes still open", link.State().m_byReceiveBuffer.size());
    if (link.State().m_bParameterReplyActive == 1)
      FUZZ_CHECK(!link.State().m_byReceiveBuffer.empty() && link.State().m_byReceiveBuffer[0] == kRecordStart,
                 "record reply buffer does not start with \"{\"");
    t.CheckStep("serial byte", i + 1 == size);
  }
  return 0;
}
