#pragma once
// The set-up of the main window's spin edits: range, step, character limit,
// decimal places and display mode, with the value shown until the catalogue's
// values are copied in.
#include <vector>

#include "SpinSetupData.h"

class QWidget;

namespace dz {

using SpinEditSetup = SpinSetupData;

// The spin edits of the page "Parameter Setting" and of the test print, in
// the order they are set up.
const std::vector<SpinEditSetup>& ParameterSpinEdits();
// The twelve address boxes and the socket port box of the page "Extra Setting".
const std::vector<SpinEditSetup>& LanSpinEdits();

// Sets up each spin edit of the table below root. False when one is missing.
bool InitializeSpinEdits(QWidget& root, const std::vector<SpinEditSetup>& table);

}  // namespace dz
