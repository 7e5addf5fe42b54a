#include "SettingInput.h"

#include <algorithm>
#include <cstring>

#include "ChoiceListData.h"
#include "FieldChecks.h"
#include "SpinSetupData.h"
#include "WriteRecords.h"

namespace dz {
namespace {

using K = ShownKind;

// The one catalogue the coverage questions are asked of: which record holds
// an item depends on the item, not on its value.
CItemManager& Layout() {
  static CItemManager items;
  return items;
}

bool Carried(const ShownSetting& p_objRow, bool p_bRead) {
  CItemManager& items = Layout();
  const CItem* item = &(items.*p_objRow.member);
  if (p_bRead) return ReadKindOfItem(items, item) >= 0;
  for (WriteRecord record : AllWriteRecords()) {
    const std::vector<CItem*> held = WriteRecordItems(items, record);
    if (std::find(held.begin(), held.end(), item) != held.end()) return true;
  }
  return false;
}

std::string Trimmed(const std::string& p_sText) {
  const size_t first = p_sText.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const size_t last = p_sText.find_last_not_of(" \t");
  return p_sText.substr(first, last - first + 1);
}

// The host name as the printer reports it is filled with character 255 to
// its width; as LOAD does, every such character is dropped.
std::string WithoutFill(const std::string& p_sText) {
  std::string text;
  for (char c : p_sText)
    if (static_cast<unsigned char>(c) != 0xFF) text += c;
  return text;
}

const SpinSetupData* SpinOf(const ShownSetting& p_objRow) { return FindSpinSetup(p_objRow.control); }

std::string Join(const std::vector<std::string>& p_objParts) {
  std::string text;
  for (const std::string& part : p_objParts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

std::string Quoted(const std::string& p_sText) { return "'" + p_sText + "'"; }

// The width of a text setting's field.
size_t WidthOf(const ShownSetting& p_objRow) {
  return static_cast<size_t>(std::max<int16_t>((Layout().*p_objRow.member).m_iLength, 0));
}

// A list value the window's list has no entry for is shown as the position
// between angle brackets ("<7>": a newer printer may have more entries). As
// `show` prints it, it is taken back: the position's decimal digits, when
// they fit the field. Empty otherwise. (Every one-digit font code has an
// entry, so the font code has no such value.)
std::string UnlistedPosition(const ShownSetting& p_objRow, const std::string& p_sValue) {
  if (p_objRow.kind != K::List) return std::string();
  if (p_sValue.size() < 3 || p_sValue.front() != '<' || p_sValue.back() != '>') return std::string();
  const std::string digits = p_sValue.substr(1, p_sValue.size() - 2);
  if (digits.size() > WidthOf(p_objRow)) return std::string();
  for (char c : digits)
    if (c < '0' || c > '9') return std::string();
  return digits;
}

}  // namespace

// The record field checks on the fields the value makes: what the write
// record will carry must be what a record field may hold. Empty when it is.
std::string FieldsPass(const ShownSetting& p_objRow, const std::string& p_sValue) {
  CItemManager scratch;
  StoreShownInput(scratch, p_objRow, p_sValue);
  const CItem& item = scratch.*p_objRow.member;
  // The host name goes out filled to its width, as the DHCP record sends it.
  std::string error =
      CheckFieldText(item, p_objRow.kind == K::Text ? FieldTextOf(scratch, p_objRow) : item.GetValueString());
  if (error.empty() && p_objRow.direction) {
    const CItem& direction = scratch.*p_objRow.direction;
    error = CheckFieldText(direction, direction.GetValueString());
  }
  return error;
}

const ShownSetting* FindSettingByCaption(const std::string& p_sCaption) {
  for (const auto* table : {&ParameterSettings(), &LanSettings()})
    for (const ShownSetting& row : *table)
      if (p_sCaption == row.caption) return &row;
  return nullptr;
}

bool IsReportedByPrinter(const ShownSetting& p_objRow) { return Carried(p_objRow, true); }

bool IsWritable(const ShownSetting& p_objRow) { return Carried(p_objRow, false); }

bool IsIpAddress(const ShownSetting& p_objRow) {
  return p_objRow.rowCaption && std::strcmp(p_objRow.rowCaption, "IP ADDRESS") == 0;
}

bool IsPerUnit(const ShownSetting& p_objRow) {
  if (std::strcmp(p_objRow.frame, "Adjustment") == 0) return true;
  const CItemManager& items = Layout();
  const CItem* item = &(items.*p_objRow.member);
  return IsIpAddress(p_objRow) ||
         (p_objRow.rowCaption && (std::strcmp(p_objRow.rowCaption, "SUBNET MASK") == 0 ||
                                  std::strcmp(p_objRow.rowCaption, "DEFAULT GATEWAY") == 0)) ||
         item == &items.m_objDhcpClientHost || item == &items.m_objDhcpClientId;
}

std::vector<std::string> ListEntriesOf(const ShownSetting& p_objRow) {
  if (p_objRow.kind != K::List && p_objRow.kind != K::FontCodeList) return {};
  const ChoiceListData* list = FindChoiceList(p_objRow.control);
  return list ? list->entries : std::vector<std::string>{};
}

std::string AllowedValuesOf(const ShownSetting& p_objRow) {
  switch (p_objRow.kind) {
    case K::List:
    case K::FontCodeList:
      return Join(ListEntriesOf(p_objRow));
    case K::Signed:
    case K::Threshold:
    case K::Number:
    case K::Hex: {
      const SpinSetupData* spin = SpinOf(p_objRow);
      if (!spin) return std::string();
      const bool hex = p_objRow.kind == K::Hex;
      return FormatStepCount(spin->min, hex ? 0 : spin->decimals, hex) + " to " +
             FormatStepCount(spin->max, hex ? 0 : spin->decimals, hex);
    }
    case K::Text:
      return "up to " + std::to_string(WidthOf(p_objRow)) + " characters";
    case K::Hidden:
      return std::to_string(WidthOf(p_objRow)) + " characters";
  }
  return std::string();
}

bool CheckShownInput(const ShownSetting& p_objRow, const std::string& p_sValue, std::string& p_sError) {
  const std::string caption = p_objRow.caption;
  if (!IsWritable(p_objRow)) {
    p_sError = caption + ": the printer takes no write for this setting (it is only read)";
    return false;
  }
  const std::string allowed = AllowedValuesOf(p_objRow);
  switch (p_objRow.kind) {
    case K::List:
    case K::FontCodeList: {
      const std::vector<std::string> entries = ListEntriesOf(p_objRow);
      if (std::find(entries.begin(), entries.end(), Trimmed(p_sValue)) != entries.end()) return true;
      if (!UnlistedPosition(p_objRow, Trimmed(p_sValue)).empty()) return true;
      p_sError = caption + ": " + Quoted(p_sValue) + " is not one of " + allowed;
      return false;
    }
    case K::Signed:
    case K::Threshold:
    case K::Number:
    case K::Hex: {
      const SpinSetupData* spin = SpinOf(p_objRow);
      const bool hex = p_objRow.kind == K::Hex;
      long long steps = 0;
      if (!spin || !ParseShownNumber(Trimmed(p_sValue), hex ? 0 : spin->decimals, hex, steps)) {
        p_sError =
            caption + ": " + Quoted(p_sValue) + " is not " +
            (hex                          ? std::string("a hexadecimal number")
             : spin && spin->decimals > 0 ? "a number with at most " + std::to_string(spin->decimals) + " decimal place"
                                          : std::string("a whole number")) +
            "; it takes " + allowed;
        return false;
      }
      if (steps < spin->min || steps > spin->max) {
        p_sError = caption + ": " + Quoted(p_sValue) + " is out of range " + allowed;
        return false;
      }
      const std::string field = FieldsPass(p_objRow, p_sValue);
      if (!field.empty()) {
        p_sError = caption + ": " + field;
        return false;
      }
      return true;
    }
    case K::Text:
    case K::Hidden: {
      const size_t width = WidthOf(p_objRow);
      const std::string text = p_objRow.kind == K::Text ? WithoutFill(p_sValue) : p_sValue;
      const bool fits = p_objRow.kind == K::Text ? text.size() <= width : text.size() == width;
      if (!fits || !FieldsPass(p_objRow, p_sValue).empty()) {
        p_sError = caption + ": " + Quoted(p_sValue) + " does not fit; it takes " + allowed +
                   " (printable characters, none of { | })";
        return false;
      }
      return true;
    }
  }
  return false;
}

void StoreShownInput(CItemManager& p_objItems, const ShownSetting& p_objRow, const std::string& p_sValue) {
  CItem& item = p_objItems.*p_objRow.member;
  const SpinSetupData* spin = SpinOf(p_objRow);
  long long steps = 0;
  switch (p_objRow.kind) {
    case K::List:
    case K::FontCodeList: {
      const std::vector<std::string> entries = ListEntriesOf(p_objRow);
      const auto found = std::find(entries.begin(), entries.end(), Trimmed(p_sValue));
      if (found == entries.end()) {
        const std::string position = UnlistedPosition(p_objRow, Trimmed(p_sValue));
        if (!position.empty()) item.SetValue(position);
        return;
      }
      const int32_t position = static_cast<int32_t>(found - entries.begin());
      // The font code is held as the position's hexadecimal text.
      if (p_objRow.kind == K::FontCodeList)
        item.SetValue(FormatStepCount(position, 0, true));
      else
        item.SetValue(position);
      return;
    }
    case K::Signed:
      if (!spin || !ParseShownNumber(Trimmed(p_sValue), spin->decimals, false, steps)) return;
      (p_objItems.*p_objRow.direction).SetValue(std::string(steps < 0 ? "-" : "+"));
      // The field is written without sign; the magnitude is kept without it
      // too, so that the items show again as the value given.
      item.SetValue(static_cast<int32_t>(steps < 0 ? -steps : steps));
      return;
    case K::Threshold:
    case K::Number:
      if (!spin || !ParseShownNumber(Trimmed(p_sValue), spin->decimals, false, steps)) return;
      item.SetValue(std::to_string(steps));
      return;
    case K::Hex:
      if (!ParseShownNumber(Trimmed(p_sValue), 0, true, steps)) return;
      item.SetValue(FormatStepCount(steps, 0, true));
      return;
    case K::Text:
      item.SetValue(WithoutFill(p_sValue));
      return;
    case K::Hidden:
      item.SetValue(p_sValue);
      return;
  }
}

bool ParseAssignment(const std::string& p_sText, SettingChange& p_objChange, std::string& p_sError) {
  const size_t equals = p_sText.find('=');
  if (equals == std::string::npos) {
    p_sError = Quoted(p_sText) + " is not CAPTION=VALUE";
    return false;
  }
  const std::string caption = p_sText.substr(0, equals);
  p_objChange.row = FindSettingByCaption(caption);
  p_objChange.value = p_sText.substr(equals + 1);
  if (p_objChange.row) return true;
  p_sError = "unknown setting " + Quoted(caption);
  // A caption typed in another case or without its trailing point.
  for (const auto* table : {&ParameterSettings(), &LanSettings()})
    for (const ShownSetting& row : *table) {
      std::string a = caption, b = row.caption;
      for (std::string* s : {&a, &b}) {
        std::transform(s->begin(), s->end(), s->begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
        if (!s->empty() && s->back() == '.') s->pop_back();
      }
      if (a == b) {
        p_sError += " (did you mean " + Quoted(row.caption) + "?)";
        return false;
      }
    }
  p_sError += "; `dazavu captions` lists the settings";
  return false;
}

bool CheckChanges(std::vector<SettingChange>& p_objChanges, std::string& p_sError) {
  std::vector<SettingChange> kept;
  for (const SettingChange& change : p_objChanges) {
    if (!change.row) {
      p_sError = "a setting without a caption";
      return false;
    }
    if (!CheckShownInput(*change.row, change.value, p_sError)) return false;
    const auto same =
        std::find_if(kept.begin(), kept.end(), [&](const SettingChange& k) { return k.row == change.row; });
    if (same == kept.end()) {
      kept.push_back(change);
      continue;
    }
    const bool text = change.row->kind == K::Text || change.row->kind == K::Hidden;
    if (same->value == change.value || (!text && Trimmed(same->value) == Trimmed(change.value))) continue;
    p_sError =
        std::string(change.row->caption) + ": given twice, as " + Quoted(same->value) + " and " + Quoted(change.value);
    return false;
  }
  p_objChanges = kept;
  return true;
}

bool CheckPerUnit(const std::vector<SettingChange>& p_objChanges, size_t p_iPrinters, bool p_bPerUnit,
                  std::string& p_sError) {
  if (p_iPrinters <= 1) return true;
  std::vector<std::string> perUnit;
  bool address = false, dhcpOn = false;
  for (const SettingChange& change : p_objChanges) {
    if (IsPerUnit(*change.row)) perUnit.push_back(change.row->caption);
    address = address || IsIpAddress(*change.row);
    if (std::strcmp(change.row->control, "cmbDhcp") == 0) dhcpOn = Trimmed(change.value) == "ON";
  }
  if (address && !dhcpOn) {
    p_sError = "a static IP ADDRESS (DHCP OFF) goes to one printer at a time: " + std::to_string(p_iPrinters) +
               " printers would share it";
    return false;
  }
  if (!perUnit.empty() && !p_bPerUnit) {
    p_sError = "these settings belong to one printer and would be copied onto " + std::to_string(p_iPrinters) +
               " printers: " + Join(perUnit) + " (--per-unit to do it anyway)";
    return false;
  }
  return true;
}

}  // namespace dz
