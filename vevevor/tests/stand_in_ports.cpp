#include "stand_in_ports.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// Reads exactly count bytes from fd, waiting at most timeoutMs for each piece.
std::vector<unsigned char> readExactly(int fd, std::size_t count, int timeoutMs) {
  std::vector<unsigned char> data;
  while (data.size() < count) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) break;
    unsigned char buf[4096];
    std::size_t want = std::min(sizeof buf, count - data.size());
    ssize_t n = ::read(fd, buf, want);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) break;
    data.insert(data.end(), buf, buf + n);
  }
  return data;
}

}  // namespace

DevicePathOverride::DevicePathOverride(const std::string& path) { setenv("VEVEVOR_DEVICE", path.c_str(), 1); }

DevicePathOverride::~DevicePathOverride() { unsetenv("VEVEVOR_DEVICE"); }

PseudoTerminal::PseudoTerminal() {
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  check(m_master >= 0, "posix_openpt");
  check(grantpt(m_master) == 0 && unlockpt(m_master) == 0, "unlockpt");
  char name[128];
  check(ptsname_r(m_master, name, sizeof name) == 0, "ptsname_r");
  m_portPath = name;
  // Raw, so the bytes arrive as written (no CR added to LF).
  termios mode{};
  check(tcgetattr(m_master, &mode) == 0, "tcgetattr");
  cfmakeraw(&mode);
  check(tcsetattr(m_master, TCSANOW, &mode) == 0, "tcsetattr");
}

PseudoTerminal::~PseudoTerminal() { hangUp(); }

std::vector<unsigned char> PseudoTerminal::read(std::size_t count) { return readExactly(m_master, count, 5000); }

void PseudoTerminal::hangUp() {
  if (m_master >= 0) close(m_master);
  m_master = -1;
}

StalledFifo::StalledFifo() {
  char dir[] = "/tmp/vevevor-test-XXXXXX";
  check(mkdtemp(dir) != nullptr, "mkdtemp");
  m_dir = dir;
  m_path = m_dir + "/port";
  check(mkfifo(m_path.c_str(), 0600) == 0, "mkfifo");
  m_reader = open(m_path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  check(m_reader >= 0, "open fifo");
  int size = fcntl(m_reader, F_SETPIPE_SZ, 4096);
  check(size > 0, "F_SETPIPE_SZ");
  m_capacity = static_cast<std::size_t>(size);
}

StalledFifo::~StalledFifo() {
  if (m_reader >= 0) close(m_reader);
  unlink(m_path.c_str());
  rmdir(m_dir.c_str());
}

void StalledFifo::fill() {
  static const unsigned char filler[512] = {};
  while (write(m_reader, filler, sizeof filler) > 0) {
  }
}

std::vector<unsigned char> StalledFifo::read(std::size_t count) { return readExactly(m_reader, count, 10000); }

std::vector<unsigned char> StalledFifo::drain() { return readExactly(m_reader, m_capacity * 2, 0); }

bool isOpenDescriptor(int fd) { return fcntl(fd, F_GETFD) != -1 || errno != EBADF; }
