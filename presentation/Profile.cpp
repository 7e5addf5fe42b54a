#include "Profile.h"

#include "SettingWrite.h"

namespace dz {

std::string GroupHeaderOf(const ShownSetting& p_objRow) {
  return std::string("[") + p_objRow.page + " / " + p_objRow.frame + "]";
}

bool InProfile(const ShownSetting& p_objRow, bool p_bFromPrinter) {
  return IsWritable(p_objRow) && !IsPerUnit(p_objRow) && (!p_bFromPrinter || IsReportedByPrinter(p_objRow));
}

bool ParseProfileText(const std::string& p_sText, std::vector<SettingChange>& p_objChanges, std::string& p_sError) {
  std::vector<SettingChange> changes;
  size_t start = 0;
  int number = 0;
  while (start < p_sText.size()) {
    size_t end = p_sText.find_first_of("\r\n", start);
    if (end == std::string::npos) end = p_sText.size();
    const std::string line = p_sText.substr(start, end - start);
    start = end;
    if (start < p_sText.size() && p_sText[start] == '\r') ++start;
    if (start < p_sText.size() && p_sText[start] == '\n') ++start;
    ++number;
    const std::string where = "line " + std::to_string(number) + ": ";

    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    if (line[first] == '[') {
      const size_t last = line.find_last_not_of(" \t");
      const std::string header = line.substr(first, last - first + 1);
      bool known = false;
      for (const ShownSetting* row : AllSettingRows()) known = known || GroupHeaderOf(*row) == header;
      if (!known) {
        p_sError = where + "unknown group " + header;
        return false;
      }
      continue;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos) {
      p_sError = where + "not CAPTION: value";
      return false;
    }
    SettingChange change;
    const std::string caption = line.substr(0, colon);
    change.row = FindSettingByCaption(caption);
    if (!change.row) {
      std::string error;
      ParseAssignment(caption + "=", change, error);
      p_sError = where + error;
      return false;
    }
    change.value = line.substr(colon + 1);
    if (!change.value.empty() && change.value[0] == ' ') change.value.erase(0, 1);
    if (change.value == kNotReported) continue;
    std::vector<SettingChange> one = {change};
    if (!CheckChanges(one, p_sError)) {
      p_sError = where + p_sError;
      return false;
    }
    changes.push_back(change);
  }
  if (!CheckChanges(changes, p_sError)) return false;
  p_objChanges = changes;
  return true;
}

}  // namespace dz
