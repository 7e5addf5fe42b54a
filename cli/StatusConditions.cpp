#include "StatusConditions.h"

namespace dz {

const std::vector<StatusCondition>& StatusConditions() {
  static const std::vector<StatusCondition> kRows = {
      {"00", "on_line", Severity::Ok},
      {"01", "head_open_on_line", Severity::Warning},
      {"02", "on_running", Severity::Ok},
      {"04", "pause", Severity::Warning},
      {"05", "peel_off_waiting", Severity::Warning},
      {"06", "command_error", Severity::Warning},
      {"07", "rs232c_error", Severity::Warning},
      {"11", "paper_jam", Severity::Critical},
      {"12", "cutter_error", Severity::Critical},
      {"13", "paper_error", Severity::Critical},
      {"14", "no_ribbon", Severity::Critical},
      {"15", "head_open_error", Severity::Critical},
      {"17", "thermal_head_error", Severity::Critical},
      {"18", "thermal_head_temp_error", Severity::Critical},
      {"21", "ribbon_error", Severity::Critical},
      {"22", "thermistor_connector_omission", Severity::Critical},
      {"30", "stacked_form_full", Severity::Warning},
      {"31", "stacker_power_off", Severity::Warning},
      {"40", "no_message", Severity::Ok},
      {"41", "on_line", Severity::Ok},
      {"50", "flash_memory_write_error", Severity::Critical},
      {"51", "flash_memory_format_error", Severity::Critical},
      {"54", "flash_memory_empty", Severity::Warning},
      {"55", "save_mode", Severity::Ok},
  };
  return kRows;
}

const StatusCondition* FindStatusCondition(const std::string& p_sCode) {
  for (const StatusCondition& row : StatusConditions())
    if (p_sCode == row.code) return &row;
  return nullptr;
}

std::string PrintableCode(const std::string& p_sCode) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (char c : p_sCode) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x21 && byte <= 0x7E && byte != '\\') {
      text += c;
    } else {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0x0F];
    }
  }
  return text;
}

}  // namespace dz
