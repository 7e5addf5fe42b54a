#pragma once
// Copies between the catalogue and the page "Parameter Setting": every item
// the page shows into its control (refresh) and every such control back into
// its item (update), in the order of the page's rows. How each kind of
// control shows its item is in bindings/SettingBinding.h.
#include "bindings/SettingBinding.h"

class CItemManager;

namespace dz {

class ParameterPage;

bool RefreshParameterSettingItem(ParameterPage& page, CItemManager& items, bool p_bDefaultValue);
bool UpdateParameterSettingItem(ParameterPage& page, CItemManager& items);

}  // namespace dz
