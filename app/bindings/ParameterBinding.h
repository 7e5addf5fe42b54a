#pragma once
// Copies between the catalogue and the page "Parameter Setting": every bound
// item into its control (refresh) and every bound control back into its item
// (update), both in the order of one binding table.
//
// A list shows its item's value as the selected position. A value that names
// no entry of the list (a position beyond the last entry, a negative or
// fractional number, a text that is not a number) leaves the list with no
// selection; an update skips a list without a selection, so such a value
// stays in its item unchanged instead of being replaced.
#include <string>

#include "CItem.h"

class CItemManager;

namespace dz {

class ParameterPage;

bool RefreshParameterSettingItem(ParameterPage& page, CItemManager& items, bool p_bDefaultValue);
bool UpdateParameterSettingItem(ParameterPage& page, CItemManager& items);

// "-" when the value reads as a number below 0, otherwise "+" (zero and text
// that is not a number included).
std::string GetDirectionSign(const Value& p_vValue);

}  // namespace dz
