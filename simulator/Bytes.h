// The byte strings the simulated printer takes and sends, and their text form
// for logs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dzsim {

using Bytes = std::vector<std::uint8_t>;

// A command as text for logs: printable ASCII as is, other bytes as \xHH.
std::string Printable(const Bytes& bytes);

}  // namespace dzsim
