// Record decoding: any bytes as the reply frame of any read kind.
// Input: byte 0 picks the read kind, the rest is the frame.
#include <cstdint>
#include <memory>

#include "FuzzCheck.h"
#include "Replies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int kind = fuzz::PickKind(data[0]);
  // An exactly sized copy: a read one past the frame's last byte is a heap
  // overflow that AddressSanitizer reports.
  const Bytes frame(data + 1, data + size);

  CItemManager items;
  const std::vector<std::string> before = fuzz::ItemSnapshot(items);
  const std::vector<CItem*> group = fuzz::ReadGroup(items, kind);
  const std::vector<bool> inGroup = fuzz::Membership(items, group);

  bool expected = true;
  const bool stored = StoreRecordReply(items, kind, frame, expected);
  const std::vector<std::string> after = fuzz::ItemSnapshot(items);

  if (kind < 0 || kind > 4) {
    FUZZ_CHECK(!stored && expected, "kind %d has no record but was accepted", kind);
    fuzz::CheckOnlyChanged(before, after, fuzz::NoneAllowed(), "an unknown kind");
    return 0;
  }
  FUZZ_CHECK(stored && !expected, "kind %d: a record reply must be taken", kind);
  fuzz::CheckOnlyChanged(before, after, inGroup, "a record of another kind");
  fuzz::CheckItemsFormat(items);

  // A complete record: every field comes back at its own width, so the
  // values read from the printer can be written back in the same layout;
  // and reading those fields again gives the same values.
  const size_t width = static_cast<size_t>(GetRecordWidth(kind));
  if (frame.size() >= width + 2) {
    Bytes again(frame.begin(), frame.begin() + 2);
    for (size_t i = 0; i < group.size(); ++i) {
      const std::string field = group[i]->GetValueString();
      FUZZ_CHECK(field.size() == static_cast<size_t>(group[i]->m_iLength), "kind %d field %zu: \"%s\" is not %d wide",
                 kind, i, field.c_str(), group[i]->m_iLength);
      again.insert(again.end(), field.begin(), field.end());
    }
    CItemManager reread;
    bool flag = true;
    StoreRecordReply(reread, kind, again, flag);
    const std::vector<CItem*> regroup = fuzz::ReadGroup(reread, kind);
    for (size_t i = 0; i < group.size(); ++i) {
      if (kind == 1 && i == 4) continue;  // the font code is renumbered on every read
      FUZZ_CHECK(regroup[i]->GetValueString() == group[i]->GetValueString(),
                 "kind %d field %zu reads back as \"%s\", not \"%s\"", kind, i, regroup[i]->GetValueString().c_str(),
                 group[i]->GetValueString().c_str());
    }
  }
  return 0;
}
