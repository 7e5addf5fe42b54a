#include "SpinSetupData.h"

namespace dz {

const std::vector<SpinSetupData>& ParameterSpinSetupData() {
  static const std::vector<SpinSetupData> table = {
      // name               value  max   min   step chars dec  hex
      {"SeFowardPosition", 0, 50, -50, 5, 5, 1, false}, {"SeCode1", 27, 255, 0, 1, 5, 0, true},
      {"SeCode2", 10, 255, 0, 1, 5, 0, true},           {"SeCode3", 0, 255, 0, 1, 5, 0, true},
      {"SeEuroCode", 176, 255, 32, 1, 5, 0, true},      {"SeFeedAdj", 0, 500, -500, 1, 5, 1, false},
      {"SeCutAdj", 0, 500, -500, 1, 5, 1, false},       {"SeBackAdj", 0, 95, -95, 1, 5, 1, false},
      {"SeXAdj", 0, 995, -995, 5, 5, 1, false},         {"SeToneAdjT", 0, 10, -10, 1, 5, 0, false},
      {"SeToneAdjD", 0, 10, -10, 1, 5, 0, false},       {"SeRbnAdjFw", 0, 0, -15, 1, 3, 0, false},
      {"SeRbnAdjBk", 0, 0, -15, 1, 3, 0, false},        {"SeThresholdR", 10, 40, 0, 1, 4, 1, false},
      {"SeThresholdT", 14, 40, 0, 1, 4, 1, false},
  };
  return table;
}

const std::vector<SpinSetupData>& TestPrintSpinSetupData() {
  static const std::vector<SpinSetupData> table = {
      {"SeIssueCount", 1, 5000, 1, 1, 0, 0, false},
      {"SeLabelLen", 760, 9999, 100, 1, 4, 0, false},
  };
  return table;
}

const std::vector<SpinSetupData>& LanSpinSetupData() {
  static const std::vector<SpinSetupData> table = {
      {"SeIpAddress1", 192, 255, 0, 1, 3, 0, false},   {"SeIpAddress2", 168, 255, 0, 1, 3, 0, false},
      {"SeIpAddress3", 10, 255, 0, 1, 3, 0, false},    {"SeIpAddress4", 20, 255, 0, 1, 3, 0, false},
      {"SeSubNet1", 255, 255, 0, 1, 3, 0, false},      {"SeSubNet2", 255, 255, 0, 1, 3, 0, false},
      {"SeSubNet3", 255, 255, 0, 1, 3, 0, false},      {"SeSubNet4", 0, 255, 0, 1, 3, 0, false},
      {"SeGateway1", 0, 255, 0, 1, 3, 0, false},       {"SeGateway2", 0, 255, 0, 1, 3, 0, false},
      {"SeGateway3", 0, 255, 0, 1, 3, 0, false},       {"SeGateway4", 0, 255, 0, 1, 3, 0, false},
      {"SeSocetPort", 8000, 65535, 0, 1, 5, 0, false},
  };
  return table;
}

const SpinSetupData* FindSpinSetup(const std::string& p_sName) {
  for (const auto* table : {&ParameterSpinSetupData(), &TestPrintSpinSetupData(), &LanSpinSetupData()})
    for (const SpinSetupData& row : *table)
      if (p_sName == row.name) return &row;
  return nullptr;
}

}  // namespace dz
