#pragma once
// List positions for item values, shared by the page bindings.
#include "CItem.h"

class QComboBox;

namespace dz {

// The list position an item value names: the value as a whole number when it
// is one of the list's positions, otherwise -1 (no selection).
int ListPosition(const Value& value, const QComboBox& list);

}  // namespace dz
