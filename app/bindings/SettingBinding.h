#pragma once
// Copies between the catalogue and the controls of a page that show a
// setting, in the order of the page's rows. Each control is copied as the
// kind of its setting says:
// - a list shows its item's value as the selected position; a value that
//   names no entry (a position beyond the last entry, a negative or
//   fractional number, a text that is not a number) leaves it with no
//   selection, and an update skips a list without a selection, so such a
//   value stays in its item unchanged instead of being replaced;
// - the font code list stores its position as upper-case hexadecimal text;
// - a signed spin edit shows the direction item followed by the magnitude
//   item ("+0", "-012") and stores the sign and the magnitude apart;
// - a threshold spin edit shows and stores the value as text;
// - a hexadecimal or decimal spin edit takes and gives the value unchanged;
// - a text box shows single-byte text as Latin-1 and stores it as typed.
#include <string>

#include "CItem.h"

class CItemManager;

namespace dz {

class PageControls;

void RefreshSettingControls(const PageControls& p_objControls, CItemManager& p_objItems, bool p_bDefaultValue);
void UpdateSettingItems(const PageControls& p_objControls, CItemManager& p_objItems);

// "-" when the value reads as a number below 0, otherwise "+" (zero and text
// that is not a number included).
std::string GetDirectionSign(const Value& p_vValue);

}  // namespace dz
