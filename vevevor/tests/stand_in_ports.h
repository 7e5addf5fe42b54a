// Stand-in devices for the parallel port: a pseudo-terminal and a FIFO whose
// only reader reads when the test says so.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Points DeviceOpen at a path through VEVEVOR_DEVICE for its lifetime.
class DevicePathOverride {
 public:
  explicit DevicePathOverride(const std::string& path);
  ~DevicePathOverride();
  DevicePathOverride(const DevicePathOverride&) = delete;
  DevicePathOverride& operator=(const DevicePathOverride&) = delete;
};

// A pseudo-terminal in raw mode; the port is its slave side, the test holds
// the master.
class PseudoTerminal {
 public:
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& portPath() const { return m_portPath; }
  // Reads exactly count bytes from the master, waiting up to five seconds.
  std::vector<unsigned char> read(std::size_t count);
  // Closes the master: the port hangs up and writes to it fail.
  void hangUp();

 private:
  int m_master = -1;
  std::string m_portPath;
};

// A FIFO in a temporary folder with one reader that never reads unless told.
// Its capacity is one page (4096 bytes).
class StalledFifo {
 public:
  StalledFifo();
  ~StalledFifo();
  StalledFifo(const StalledFifo&) = delete;
  StalledFifo& operator=(const StalledFifo&) = delete;

  const std::string& portPath() const { return m_path; }
  std::size_t capacity() const { return m_capacity; }
  // Fills the FIFO to the brim from the reader's side.
  void fill();
  // Reads exactly count bytes, waiting up to ten seconds.
  std::vector<unsigned char> read(std::size_t count);
  // Whatever is in the FIFO right now.
  std::vector<unsigned char> drain();

 private:
  std::string m_dir;
  std::string m_path;
  int m_reader = -1;
  std::size_t m_capacity = 0;
};

// True while fd is an open descriptor of this process.
bool isOpenDescriptor(int fd);
