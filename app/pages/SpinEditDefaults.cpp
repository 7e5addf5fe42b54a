#include "pages/SpinEditDefaults.h"

#include "widgets/UCSpinEdit.h"

namespace dz {

const std::vector<SpinEditSetup>& ParameterSpinEdits() { return ParameterSpinSetupData(); }

const std::vector<SpinEditSetup>& LanSpinEdits() { return LanSpinSetupData(); }

bool InitializeSpinEdits(QWidget& root, const std::vector<SpinEditSetup>& table) {
  for (const SpinEditSetup& row : table) {
    auto* spin = root.findChild<UCSpinEdit*>(QString::fromLatin1(row.name));
    if (!spin) return false;
    spin->InitializeSpinEdit(row.value, row.max, row.min, row.step, row.chars, row.decimals, row.hex);
  }
  return true;
}

}  // namespace dz
