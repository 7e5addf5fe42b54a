// Both settings-file loaders with arbitrary file bytes, and the round trip of
// arbitrary item values through a saved file.
// Input: the file's bytes, given to the parameter loader and the LAN loader;
// the same bytes, cut into field-wide texts, are the values of the file's
// items for the round trip.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "SettingsFile.h"

namespace {

constexpr char kFill = static_cast<char>(0xFF);

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

void CheckLoader(const char* name, Loader load, LineBuilder build, std::vector<CItem*> (*fileItems)(CItemManager&),
                 const std::string& file) {
  CItemManager items;
  const std::vector<std::string> before = fuzz::ItemSnapshot(items);
  const bool loaded = load(items, file);
  const std::vector<std::string> after = fuzz::ItemSnapshot(items);

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
  const std::vector<std::string> again = fuzz::ItemSnapshot(reloaded);
  for (size_t i = 0; i < after.size(); ++i)
    FUZZ_CHECK(again[i] == after[i], "%s: item %zu saved as \"%s\" reloads as \"%s\"", name, i, after[i].c_str(),
               again[i].c_str());
}

// Any field-wide texts in the file's items (a printer reply may hand the tool
// any bytes, CR and LF included) are saved, loaded into a fresh catalogue and
// saved again: the lines are the same. Frame characters are left out (a line
// holding one is refused). The host name's fill character 255
// cannot stand in a host name (the loader drops it), so it is left out.
void CheckRoundTrip(const char* name, Loader load, LineBuilder build, std::vector<CItem*> (*fileItems)(CItemManager&),
                    const std::string& bytes) {
  if (bytes.empty()) return;
  CItemManager items;
  size_t next = 0;
  for (CItem* item : fileItems(items)) {
    std::string text;
    for (int16_t i = 0; i < item->m_iLength; ++i) {
      // A frame character would let a line carry a second command: the
      // loader refuses such a file, so none is put in.
      const char c = bytes[next++ % bytes.size()];
      text += (c == '{' || c == '|' || c == '}') ? 'x' : c;
    }
    if (item == &items.m_objDhcpClientHost) {
      std::string host;
      for (char c : text)
        if (c != kFill) host += c;
      text = host;
    }
    item->SetValue(text);
  }
  const std::vector<std::string> lines = build(items);
  const std::string saved = JoinFileLines(lines);
  CItemManager loaded;
  FUZZ_CHECK(load(loaded, saved), "%s: the saved file is refused", name);
  const std::vector<std::string> again = build(loaded);
  FUZZ_CHECK(again.size() == lines.size(), "%s: %zu lines saved, %zu after loading", name, lines.size(), again.size());
  for (size_t i = 0; i < lines.size(); ++i)
    FUZZ_CHECK(again[i] == lines[i], "%s: line %zu saved as \"%s\" saves again as \"%s\"", name, i, lines[i].c_str(),
               again[i].c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  CheckLoader("parameter file", LoadParameterFile, BuildParameterFileLines, ParameterFileItems, file);
  CheckLoader("LAN file", LoadLanFile, BuildLanFileLines, LanFileItems, file);
  CheckRoundTrip("parameter file", LoadParameterFile, BuildParameterFileLines, ParameterFileItems, file);
  CheckRoundTrip("LAN file", LoadLanFile, BuildLanFileLines, LanFileItems, file);
  return 0;
}
