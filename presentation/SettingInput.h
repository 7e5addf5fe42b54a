#pragma once
// Settings given by caption and value exactly as `dazavu show` prints them
// ("SPEED=19200bps", "FEED ADJ.=-1.5", "CODE 1st=1B"): finding the setting,
// checking the value against its list or its box's range, and storing it in
// the items as the window's page does when the user has picked it.
#include <string>
#include <vector>

#include "CItemManager.h"
#include "ShownSettings.h"

namespace dz {

// Shown by `show`, `diff` and `verify` of a printer in place of the value of
// a setting that the printer never reports.
inline constexpr const char* kNotReported = "(not reported by the printer)";

// The setting shown under that caption (parameter rows, then LAN rows);
// nullptr for none.
const ShownSetting* FindSettingByCaption(const std::string& p_sCaption);

// Whether a read record reports the setting (the stop bit is in none).
bool IsReportedByPrinter(const ShownSetting& p_objRow);
// Whether a write record carries the setting (KB I/F is in none).
bool IsWritable(const ShownSetting& p_objRow);
// Whether the setting belongs to one unit: the Adjustment frame (each
// printer's calibration), the IP address, subnet mask and gateway, the DHCP
// host name and client id.
bool IsPerUnit(const ShownSetting& p_objRow);
// Whether it is one of the four parts of the IP address.
bool IsIpAddress(const ShownSetting& p_objRow);

// The values the setting takes, as a user types them: the list entries
// ("OFF, ON"), a box's range ("-50.0 to 50.0", "20 to FF"), a text's length.
std::string AllowedValuesOf(const ShownSetting& p_objRow);
// The list entries of a list setting; empty for any other.
std::vector<std::string> ListEntriesOf(const ShownSetting& p_objRow);

// Checks a value typed as `show` prints it. False, with a message that names
// the caption and the allowed values, for a value the setting cannot take
// and for a setting no write record carries.
bool CheckShownInput(const ShownSetting& p_objRow, const std::string& p_sValue, std::string& p_sError);
// The record field checks (FieldChecks.h) on the fields the value makes;
// empty when they pass.
std::string FieldsPass(const ShownSetting& p_objRow, const std::string& p_sValue);
// Stores a value that CheckShownInput accepted into the setting's items, as
// the window stores what its control shows.
void StoreShownInput(CItemManager& p_objItems, const ShownSetting& p_objRow, const std::string& p_sValue);

// One setting to change.
struct SettingChange {
  const ShownSetting* row = nullptr;
  std::string value;  // as `show` prints it, single-byte text
};

// "CAPTION=VALUE": the caption up to the first "=", the value after it.
// False with the reason for a text without "=" or an unknown caption.
bool ParseAssignment(const std::string& p_sText, SettingChange& p_objChange, std::string& p_sError);
// Checks every value and that no setting is given twice with two values;
// a setting given twice with one value is kept once.
bool CheckChanges(std::vector<SettingChange>& p_objChanges, std::string& p_sError);

// The rules for settings that belong to one unit, for a command that changes
// p_iPrinters printers: without p_bPerUnit such settings go to one printer
// only; an IP address goes to one printer only in any case, unless the same
// command turns DHCP on (then the printer takes its address from the server).
bool CheckPerUnit(const std::vector<SettingChange>& p_objChanges, size_t p_iPrinters, bool p_bPerUnit,
                  std::string& p_sError);

}  // namespace dz
