#pragma once
// What the window shows of each setting: the page and frame it sits in, the
// caption of its row, the control that shows it and how the control shows
// the item's value (list entry, tenths, hexadecimal, plain number, text).
// The pages take their row captions from here; the command-line tool uses
// the same rows to print and compare settings as the window shows them.
#include <string>
#include <vector>

#include "CItemManager.h"

namespace dz {

enum class ShownKind {
  List,          // the value is the list position
  FontCodeList,  // as List; the position is held as hexadecimal text
  Signed,        // a direction item and a magnitude item in one signed box
  Threshold,     // a number box
  Hex,           // a two-digit hexadecimal box
  Number,        // a decimal box without decimal places (LAN page)
  Text,          // a text box
  Hidden,        // carried by a record the window writes, shown by no control
};

struct ShownSetting {
  const char* page;                // "Parameter Setting", "Extra Setting"
  const char* frame;               // "Parameter", "Adjustment", "LAN"
  const char* rowCaption;          // the label of the row on the page; nullptr for none
  const char* caption;             // the name a user reads for this one setting
  const char* control;             // object name of the control; "" for Hidden
  const char* item;                // catalogue member name, e.g. "m_objFontCode"
  CItem CItemManager::*member;     // the item; the magnitude of a signed box
  CItem CItemManager::*direction;  // Signed only
  ShownKind kind;
};

// The settings of the parameter settings file (page "Parameter Setting"),
// in the binding order of the page.
const std::vector<ShownSetting>& ParameterSettings();
// The settings of the LAN settings file (frame "LAN" of "Extra Setting"),
// in the binding order of the page.
const std::vector<ShownSetting>& LanSettings();

// The setting a control of that object name shows; nullptr when it shows
// none (buttons, the maintenance page's controls).
const ShownSetting* FindShownSetting(const char* p_sControl);

// The row caption of a control's label on its page; "" when the control has
// no row of its own. The pages' layout tables use it.
const char* RowCaptionOf(const char* p_sControl);

// The setting's field text as the write record and the settings file carry
// it: the item's field, for a signed box the direction field followed by the
// magnitude field ("+000", "-015"), for the host name the text filled with
// character 255 to its width as the DHCP record carries it.
std::string FieldTextOf(const CItemManager& p_objItems, const ShownSetting& p_objRow);

// The value as the window's control shows it: the list entry ("ON"), a
// tenths box's number with one decimal ("1.5", "-0.5"), a hexadecimal box's
// two digits ("1B"), a decimal box's number ("192"), a text box's text
// (without the host name's fill characters 255). A
// list value that names no entry is shown by the window as an empty list; it
// is written here as the value between angle brackets ("<7>") so that it can
// be told apart.
std::string ShownValueOf(const CItemManager& p_objItems, const ShownSetting& p_objRow);

// The number of decimal places of the row's box (0 when it has none).
int DecimalsOf(const ShownSetting& p_objRow);

// Formats a box's whole step count as the box shows it: with decimals
// places ("1.5" for 15 and one place), or in hexadecimal, at least two digits.
std::string FormatStepCount(long long p_iSteps, int p_iDecimals, bool p_bHex);
// Reads a value typed as the box shows it back into its step count: "1.5"
// gives 15 for one decimal place, "1B" gives 27 in hexadecimal. False for a
// text that is not such a value.
bool ParseShownNumber(const std::string& p_sText, int p_iDecimals, bool p_bHex, long long& p_iSteps);

}  // namespace dz
