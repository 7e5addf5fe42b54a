#pragma once
// A pseudo-terminal pair in raw mode for serial tests: the tool opens the
// slave by name like a serial device, the test plays the printer on the
// master.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QString>

struct PtyPair {
  int master = -1;
  int slave = -1;
  QString slaveName;

  // Opens the pair; the master side does not block when asked for bytes.
  bool Open() {
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return false;
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    slaveName = QString::fromLatin1(name);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return true;
  }
  ~PtyPair() {
    if (slave >= 0) ::close(slave);
    if (master >= 0) ::close(master);
  }
};
