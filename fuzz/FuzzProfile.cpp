// Profiles and "CAPTION=VALUE" words with arbitrary bytes: never a crash, and
// whatever is accepted makes write records that the settings-file loaders
// take back field for field, that show the value given, and that hold no
// frame character inside a field.
// Input: the profile's bytes; each line is also tried as a "CAPTION=VALUE"
// word.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "Profile.h"
#include "SettingWrite.h"
#include "SettingsFile.h"

namespace {

void CheckAccepted(const std::vector<dz::SettingChange>& p_objChanges) {
  CItemManager items;
  const dz::WritePlan plan = dz::PlanSettingWrite(p_objChanges);
  const std::vector<std::string> lines = dz::BuildChangedRecords(items, plan, p_objChanges);
  FUZZ_CHECK(lines.size() == plan.records.size(), "one line per record");
  for (const std::string& line : lines) {
    // The frame ends only at the end: a field never holds "|}" or "{".
    FUZZ_CHECK(line.size() >= 6 && line.find("|}") == line.size() - 2, "frame inside %s", line.c_str());
    FUZZ_CHECK(line.find('{', 1) == std::string::npos, "open brace inside %s", line.c_str());
  }
  // Both files built from the changed catalogue load back unchanged.
  for (bool lan : {false, true}) {
    const std::vector<std::string> file = lan ? BuildLanFileLines(items) : BuildParameterFileLines(items);
    CItemManager loaded;
    const std::string text = JoinFileLines(file);
    FUZZ_CHECK(lan ? LoadLanFile(loaded, text) : LoadParameterFile(loaded, text), "file of accepted values loads");
    FUZZ_CHECK((lan ? BuildLanFileLines(loaded) : BuildParameterFileLines(loaded)) == file, "same lines back");
  }
  for (const dz::SettingChange& change : p_objChanges) {
    // What is shown now is again a value the setting takes.
    std::string error;
    const std::string shown = dz::ShownValueOf(items, *change.row);
    FUZZ_CHECK(dz::CheckShownInput(*change.row, shown, error), "%s shown as %s: %s", change.row->caption, shown.c_str(),
               error.c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_iSize) {
  const std::string text(reinterpret_cast<const char*>(p_pData), p_iSize);
  std::vector<dz::SettingChange> changes;
  std::string error;
  if (dz::ParseProfileText(text, changes, error))
    CheckAccepted(changes);
  else
    FUZZ_CHECK(!error.empty(), "a refusal says why");

  std::vector<dz::SettingChange> words;
  size_t start = 0;
  while (start <= text.size() && words.size() < 64) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    dz::SettingChange change;
    if (dz::ParseAssignment(text.substr(start, end - start), change, error)) words.push_back(change);
    start = end + 1;
  }
  if (dz::CheckChanges(words, error)) CheckAccepted(words);
  return 0;
}
