#pragma once
// Profiles: settings to give many printers, written as any part of what
// `dazavu show` prints. A line "CAPTION: value" gives a setting; the
// headers "[Page / Frame]" that `show` prints may stay (any known one, in any
// place); lines starting
// with "#" and blank lines are skipped. A value shown as "(not reported by
// the printer)" gives nothing.
#include <string>
#include <vector>

#include "SettingInput.h"

namespace dz {

// The settings of the profile text (single-byte, any line ends), each
// checked with CheckChanges. False with "line N: reason".
bool ParseProfileText(const std::string& p_sText, std::vector<SettingChange>& p_objChanges, std::string& p_sError);

// Whether `show --profile` prints the setting: one a printer takes a write
// for, that does not belong to one unit, and, when the source is a printer,
// that the printer reports.
bool InProfile(const ShownSetting& p_objRow, bool p_bFromPrinter);

// "[Page / Frame]" of the row, as `show` heads its groups.
std::string GroupHeaderOf(const ShownSetting& p_objRow);

}  // namespace dz
