#pragma once
// Every item's field text, in catalogue order: two snapshots are equal when
// no item changed. Used by the tests and the fuzz harnesses.
#include <string>
#include <vector>

#include "CItemManager.h"

namespace dz::test {

inline std::vector<std::string> ItemSnapshot(CItemManager& items) {
  std::vector<std::string> fields;
  for (CItem* item : items.AllItems()) fields.push_back(item->GetValueString());
  return fields;
}

}  // namespace dz::test
