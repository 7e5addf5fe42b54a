#pragma once
// The entries of every drop-down list of the main window, by the list's
// object name, in the order the window fills them. An entry's position is
// the value the list stands for.
#include <string>
#include <vector>

namespace dz {

struct ChoiceListData {
  const char* name;
  std::vector<std::string> entries;
  bool selectFirst;  // false: the list starts with no selection
};

// The lists of the pages "Parameter Setting", "Maintenance Mode" and
// "Extra Setting", in the order they are filled.
const std::vector<ChoiceListData>& MainWindowChoiceListData();
// The interface list of the frame "Interface".
const ChoiceListData& InterfaceChoiceListData();
// The list of that object name among the two above; nullptr when none.
const ChoiceListData* FindChoiceList(const std::string& p_sName);
// Position of an entry text in a list; -1 when the list has no such entry.
int ChoicePosition(const ChoiceListData& p_objList, const std::string& p_sEntry);

}  // namespace dz
