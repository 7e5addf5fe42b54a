// set and apply: named settings changed on each printer, every other setting
// kept as each printer holds it.
#include "Commands.h"

#include "CommandLine.h"
#include "Output.h"
#include "SettingChanges.h"

namespace cli {

int Set(const Options& p_objOptions, bool p_bProgress) {
  if (p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("name at least one setting as 'CAPTION=VALUE'"));
  std::vector<dz::SettingChange> changes;
  QString error;
  if (!ChangesFromAssignments(p_objOptions.positional, changes, error)) return Refuse(p_objOptions, kExitUsage, error);
  return ChangeSettings(p_objOptions, changes, p_bProgress);
}

int Apply(const Options& p_objOptions, bool p_bProgress) {
  if (p_objOptions.positional.size() != 1)
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("apply takes one profile"));
  std::vector<dz::SettingChange> changes;
  QString error;
  if (!ChangesFromProfile(p_objOptions.positional[0], changes, error)) return Refuse(p_objOptions, kExitUsage, error);
  return ChangeSettings(p_objOptions, changes, p_bProgress);
}

}  // namespace cli
