// Cuts the byte stream the printer receives into complete commands.
#pragma once

#include "Bytes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dzsim {

// Stream splitter: collects bytes and cuts complete commands. A command starts
// at "{" and ends at the first "|}" after it; bytes before a "{" are dropped.
// The DHCP command carries bytes 0xFF and may carry "{" inside its host name,
// so a "{" inside a command does not restart it. A partial command that grows
// beyond kMaxCommandLength without its "|}" is discarded.
class CommandFramer {
 public:
  static constexpr std::size_t kMaxCommandLength = 4096;

  std::vector<Bytes> Push(const std::uint8_t* data, std::size_t length);
  void Clear() {
    m_partial.clear();
    m_inCommand = false;
  }
  std::size_t PendingSize() const { return m_partial.size(); }
  std::size_t DiscardedCount() const { return m_discarded; }

 private:
  Bytes m_partial;
  bool m_inCommand = false;
  std::size_t m_discarded = 0;
};

}  // namespace dzsim
