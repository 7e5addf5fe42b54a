#include "Bytes.h"

namespace dzsim {

std::string Printable(const Bytes& bytes) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (std::uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      out += static_cast<char>(b);
    } else {
      out += "\\x";
      out += hex[b >> 4];
      out += hex[b & 0x0F];
    }
  }
  return out;
}

}  // namespace dzsim
