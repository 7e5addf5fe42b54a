// The values as the window shows them (presentation): any field-wide texts in
// every item, as a printer reply or a settings file may bring them, are shown
// and carried without a crash; a number shown for a box reads back to the
// same step count; the field text a row carries is never narrower than its
// items.
// Input: byte 0 and 1 pick a step count's decimals and hexadecimal display;
// the rest, cut into field-wide texts, are the values of the items.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "ShownSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  CItemManager items;
  size_t next = 0;
  if (!bytes.empty()) {
    for (CItem* item : items.AllItems()) {
      std::string text;
      for (int16_t i = 0; i < item->m_iLength; ++i) text += bytes[next++ % bytes.size()];
      item->SetValue(text);
    }
  }
  for (const auto* rows : {&dz::ParameterSettings(), &dz::LanSettings()}) {
    for (const dz::ShownSetting& row : *rows) {
      const std::string shown = dz::ShownValueOf(items, row);
      const std::string field = dz::FieldTextOf(items, row);
      const CItem& item = items.*row.member;
      const size_t width = static_cast<size_t>(item.m_iLength) + (row.direction ? 1 : 0);
      FUZZ_CHECK(field.size() >= width || row.kind == dz::ShownKind::Text || row.kind == dz::ShownKind::Hidden,
                 "%s: field \"%s\" narrower than %zu", row.caption, field.c_str(), width);
      if (row.kind == dz::ShownKind::Number || row.kind == dz::ShownKind::Threshold ||
          row.kind == dz::ShownKind::Signed) {
        if (shown.empty() || shown[0] == '<') continue;
        long long steps = 0;
        FUZZ_CHECK(dz::ParseShownNumber(shown, dz::DecimalsOf(row), false, steps), "%s: \"%s\" does not read back",
                   row.caption, shown.c_str());
        FUZZ_CHECK(dz::FormatStepCount(steps, dz::DecimalsOf(row), false) == shown, "%s: \"%s\" reads back otherwise",
                   row.caption, shown.c_str());
      }
    }
  }
  // Any step count a shown text can hold (up to 16 characters), shown with
  // any number of decimals or in hexadecimal, reads back to itself.
  long long steps = 0;
  for (size_t i = 0; i < 4 && i < bytes.size(); ++i) steps = steps * 251 + static_cast<unsigned char>(bytes[i]);
  if (data[0] & 1) steps = -steps;
  const int decimals = data[0] >> 6;
  const bool hex = (data[1] & 1) != 0 && steps >= 0;
  // Hexadecimal boxes hold codes: their step counts are 32-bit numbers.
  if (hex) steps %= 0x100000000LL;
  const std::string text = dz::FormatStepCount(steps, hex ? 0 : decimals, hex);
  long long back = 0;
  FUZZ_CHECK(dz::ParseShownNumber(text, hex ? 0 : decimals, hex, back) && back == steps,
             "%lld shown as \"%s\" reads back as %lld", steps, text.c_str(), back);
  return 0;
}
