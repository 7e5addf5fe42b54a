#include "MaintenanceCommands.h"

#include <cstdio>

namespace {
// A number formatted with the pattern "0000": at least four digits, a
// longer number in full.
std::string FourDigits(int32_t value) {
  char buffer[16];
  if (value < 0)
    std::snprintf(buffer, sizeof buffer, "-%04ld", -static_cast<long>(value));
  else
    std::snprintf(buffer, sizeof buffer, "%04ld", static_cast<long>(value));
  return buffer;
}
}  // namespace

std::string BuildStatusCommand() { return "{WS|}"; }

std::string BuildHeadCheckCommand() { return "{HD001,A|}"; }

std::string BuildDiagPrintCommand(int p_iPrintType) { return "{Z1" + std::to_string(p_iPrintType) + "|}"; }

std::string BuildRamClearCommand(int p_iMode, int p_iDestination) {
  std::string text = "{Z4;" + std::to_string(p_iMode);
  if (p_iMode == 0 && p_iDestination >= 1 && p_iDestination <= 4) text += std::to_string(p_iDestination - 1);
  return text + "|}";
}

std::string BuildReflectiveAdjustCommand() { return "{Z6;0|}"; }

std::string BuildTransmissiveAdjustCommand() { return "{Z6;1|}"; }

std::string BuildPaperEndAdjustCommand(int p_iStep) { return "{Z6;" + std::to_string(p_iStep) + "1|}"; }

std::string BuildThresholdCalibCommand(int p_iSensor) { return "{WT;1000," + std::to_string(p_iSensor + 1) + "|}"; }

std::string BuildTestPrintCommand(const TestPrintSettings& s) {
  // The sixth pattern, FACTORY TEST, is the printer's pattern 6.
  const int pattern = s.pattern == 5 ? 6 : s.pattern;
  return "{Z3;" + std::to_string(pattern) + FourDigits(s.labelLength) + FourDigits(s.labelLength - 30) + "1057" +
         FourDigits(s.issueCount) + std::to_string(s.printSpeed) + std::to_string(s.sensor) +
         std::to_string(s.cutType) + std::to_string(s.printType) + "|}";
}
