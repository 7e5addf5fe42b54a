#pragma once
// Byte strings written as text in tests: one byte per character, unchanged,
// so "\x01" and "\xFF" give the bytes 0x01 and 0xFF.
#include <cstdint>
#include <string>
#include <vector>

namespace dz::test {

inline std::vector<std::uint8_t> B(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace dz::test
