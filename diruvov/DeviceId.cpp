#include "DeviceId.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace diruvov {

namespace {

// The printers this library opens. The identification rule lives here and
// only here: a device ID whose MFG field is "Dazavu" and whose MDL field is
// not empty. Add a row, or give a model prefix, to widen or narrow it.
// The CMD field is not checked: the command language is not announced in a
// form worth relying on.
constexpr SupportedPrinter kSupportedPrinters[] = {
    {"Dazavu", ""},
};

std::string Trim(const std::string& s) {
  const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
  const auto first = std::find_if(s.begin(), s.end(), notSpace);
  const auto last = std::find_if(s.rbegin(), s.rend(), notSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::optional<std::string> ExtractDeviceIdText(const uint8_t* answer, std::size_t received) {
  if (answer == nullptr || received <= 2) return std::nullopt;
  const std::size_t bigEndian = (std::size_t{answer[0]} << 8) | answer[1];
  const std::size_t littleEndian = (std::size_t{answer[1]} << 8) | answer[0];
  const auto fits = [received](std::size_t n) { return n > 2 && n <= received; };
  std::size_t length = received;
  if (fits(bigEndian))
    length = bigEndian;
  else if (fits(littleEndian))
    length = littleEndian;
  const char* text = reinterpret_cast<const char*>(answer + 2);
  const std::size_t textLength = strnlen(text, length - 2);
  if (textLength == 0) return std::nullopt;
  return std::string(text, textLength);
}

DeviceIdFields ParseDeviceId(const std::string& text) {
  DeviceIdFields fields;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    const std::size_t colon = item.find(':');
    if (colon != std::string::npos) {
      std::string key = Upper(Trim(item.substr(0, colon)));
      if (key == "MANUFACTURER")
        key = "MFG";
      else if (key == "MODEL")
        key = "MDL";
      else if (key == "COMMAND SET")
        key = "CMD";
      if (!key.empty()) fields.emplace(key, Trim(item.substr(colon + 1)));  // first one wins
    }
    start = end + 1;
  }
  return fields;
}

bool IsSupportedPrinter(const DeviceIdFields& fields, const SupportedPrinter* table, std::size_t count) {
  const auto mfg = fields.find("MFG");
  const auto mdl = fields.find("MDL");
  if (mfg == fields.end() || mdl == fields.end() || mdl->second.empty()) return false;
  const std::string manufacturer = Upper(mfg->second);
  const std::string model = Upper(mdl->second);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string prefix = Upper(table[i].modelPrefix);
    if (manufacturer == Upper(table[i].manufacturer) && model.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

bool IsSupportedPrinter(const DeviceIdFields& fields) {
  return IsSupportedPrinter(fields, kSupportedPrinters, std::size(kSupportedPrinters));
}

}  // namespace diruvov
