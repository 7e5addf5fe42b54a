#include "bindings/ParameterBinding.h"

#include "pages/ParameterPage.h"

namespace dz {

bool RefreshParameterSettingItem(ParameterPage& page, CItemManager& items, bool p_bDefaultValue) {
  RefreshSettingControls(page.Controls(), items, p_bDefaultValue);
  return true;
}

bool UpdateParameterSettingItem(ParameterPage& page, CItemManager& items) {
  UpdateSettingItems(page.Controls(), items);
  return true;
}

}  // namespace dz
