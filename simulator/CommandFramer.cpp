#include "CommandFramer.h"

#include <utility>

namespace dzsim {

std::vector<Bytes> CommandFramer::Push(const std::uint8_t* data, std::size_t length) {
  std::vector<Bytes> commands;
  if (!data) return commands;
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint8_t b = data[i];
    if (!m_inCommand) {
      if (b == '{') {
        m_inCommand = true;
        m_partial.assign(1, b);
      }
      continue;
    }
    m_partial.push_back(b);
    const std::size_t n = m_partial.size();
    if (b == '}' && n >= 3 && m_partial[n - 2] == '|') {
      commands.push_back(std::move(m_partial));
      m_partial.clear();
      m_inCommand = false;
    } else if (n > kMaxCommandLength) {
      m_partial.clear();
      m_inCommand = false;
      ++m_discarded;
    }
  }
  return commands;
}

}  // namespace dzsim
