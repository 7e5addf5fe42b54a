#pragma once
// Property checks shared by the fuzz harnesses. A failed check prints what
// was expected and aborts, which libFuzzer records as a finding together
// with the input that caused it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CItemManager.h"
#include "ItemSnapshot.h"

#define FUZZ_CHECK(cond, ...)                                                            \
  do {                                                                                   \
    if (!(cond)) {                                                                       \
      std::fprintf(stderr, "property failed at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
      std::fprintf(stderr, "  " __VA_ARGS__);                                            \
      std::fprintf(stderr, "\n");                                                        \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

namespace fuzz {

using dz::test::ItemSnapshot;

// Positions (catalogue order) of a group's items.
inline std::vector<bool> Membership(CItemManager& items, const std::vector<CItem*>& group) {
  const std::vector<CItem*> all = items.AllItems();
  std::vector<bool> in(all.size(), false);
  for (size_t i = 0; i < all.size(); ++i)
    for (const CItem* member : group)
      if (all[i] == member) in[i] = true;
  return in;
}

// Every item formats to a field: decimal and hexadecimal items give at
// least their field width (a value never shrinks the record it is sent in).
inline void CheckItemsFormat(CItemManager& items) {
  int index = 0;
  for (CItem* item : items.AllItems()) {
    const std::string text = item->GetValueString();
    if (item->m_iDataType == TypeDecimal || item->m_iDataType == TypeHex)
      FUZZ_CHECK(text.size() >= static_cast<size_t>(item->m_iLength), "item %d: \"%s\" shorter than width %d", index,
                 text.c_str(), item->m_iLength);
    ++index;
  }
}

// Items outside `allowed` kept their text.
inline void CheckOnlyChanged(const std::vector<std::string>& before, const std::vector<std::string>& after,
                             const std::vector<bool>& allowed, const char* what) {
  for (size_t i = 0; i < before.size(); ++i)
    FUZZ_CHECK(allowed[i] || before[i] == after[i], "%s changed item %zu: \"%s\" -> \"%s\"", what, i, before[i].c_str(),
               after[i].c_str());
}

inline std::vector<bool> NoneAllowed() { return std::vector<bool>(CItemManager::kItemCount, false); }

// The item group a read kind decodes into (empty for other kinds).
inline std::vector<CItem*> ReadGroup(CItemManager& items, int kind) {
  std::vector<CItem*> group;
  items.GetItem_ReadKind(kind, group);
  return group;
}

// Read kinds a harness tries: the five records, the pending status request
// and kinds no command uses.
inline int PickKind(uint8_t selector) {
  static const int kKinds[] = {0, 1, 2, 3, 4, -1, 5, 99, -32768, 32767};
  return kKinds[selector % (sizeof kKinds / sizeof kKinds[0])];
}

}  // namespace fuzz
