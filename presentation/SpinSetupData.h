#pragma once
// The set-up of the main window's spin edits by object name: first value,
// range, step, character limit, decimal places and hexadecimal display.
#include <string>
#include <vector>

namespace dz {

struct SpinSetupData {
  const char* name;
  int value;
  int max;
  int min;
  int step;
  int chars;     // 0: no limit
  int decimals;  // decimal places: 1 means the value counts tenths
  bool hex;      // two-digit hexadecimal display
};

// The spin edits of the page "Parameter Setting".
const std::vector<SpinSetupData>& ParameterSpinSetupData();
// The two spin edits of the frame "TEST PRINT" of the page "Maintenance Mode".
const std::vector<SpinSetupData>& TestPrintSpinSetupData();
// The twelve address boxes and the socket port box of the page "Extra Setting".
const std::vector<SpinSetupData>& LanSpinSetupData();
// The spin edit of that object name among the tables above; nullptr when none.
const SpinSetupData* FindSpinSetup(const std::string& p_sName);

}  // namespace dz
