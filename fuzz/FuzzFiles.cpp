// Both settings-file loaders with arbitrary file bytes.
// Input: the file's bytes, given to the parameter loader and the LAN loader.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "SettingsFile.h"

namespace {

using Loader = bool (*)(CItemManager&, const std::string&);
using LineBuilder = std::vector<std::string> (*)(CItemManager&);

std::vector<CItem*> ParameterFileItems(CItemManager& items) {
  std::vector<CItem*> all, group;
  items.SetItem_Parameter(group);
  all.insert(all.end(), group.begin(), group.end());
  items.SetItem_Adjustment(group);
  all.insert(all.end(), group.begin(), group.end());
  return all;
}

std::vector<CItem*> LanFileItems(CItemManager& items) {
  std::vector<CItem*> all, group;
  for (auto getter : {&CItemManager::SetItem_ExtraIpAddress, &CItemManager::SetItem_ExtraGateway,
                      &CItemManager::SetItem_ExtraSubnet}) {
    (items.*getter)(group);
    all.insert(all.end(), group.begin(), group.end());
  }
  for (CItem* item : {&items.m_objSocketPortSetting, &items.m_objSocketPortNumber, &items.m_objDhcpSetting,
                      &items.m_objDhcpClientId, &items.m_objDhcpClientHost})
    all.push_back(item);
  return all;
}

void CheckLoader(const char* name, Loader load, LineBuilder build,
                 std::vector<CItem*> (*fileItems)(CItemManager&), const std::string& file) {
  CItemManager items;
  const std::vector<std::string> before = fuzz::Snapshot(items);
  const bool loaded = load(items, file);
  const std::vector<std::string> after = fuzz::Snapshot(items);

  if (!loaded) {
    fuzz::CheckOnlyChanged(before, after, fuzz::NoneAllowed(), name);
    return;
  }
  fuzz::CheckOnlyChanged(before, after, fuzz::Membership(items, fileItems(items)), name);
  fuzz::CheckItemsFormat(items);

  // Saving what was loaded gives a file that loads again, to the same values.
  const std::string saved = JoinFileLines(build(items));
  CItemManager reloaded;
  FUZZ_CHECK(load(reloaded, saved), "%s: the saved file is refused:\n%s", name, saved.c_str());
  const std::vector<std::string> again = fuzz::Snapshot(reloaded);
  for (size_t i = 0; i < after.size(); ++i)
    FUZZ_CHECK(again[i] == after[i], "%s: item %zu saved as \"%s\" reloads as \"%s\"", name, i, after[i].c_str(),
               again[i].c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  CheckLoader("parameter file", LoadParameterFile, BuildParameterFileLines, ParameterFileItems, file);
  CheckLoader("LAN file", LoadLanFile, BuildLanFileLines, LanFileItems, file);
  return 0;
}
