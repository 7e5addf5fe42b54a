#include "StopSignal.h"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {

std::atomic<int> g_iStop{0};
int g_aPipe[2] = {-1, -1};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

void OnStopSignal(int p_iSignal) {
  int expected = 0;
  if (!g_iStop.compare_exchange_strong(expected, p_iSignal)) {
    // The second signal: end now, by the signal itself.
    ::signal(p_iSignal, SIG_DFL);
    ::raise(p_iSignal);
    return;
  }
  const char byte = static_cast<char>(p_iSignal);
  [[maybe_unused]] const ssize_t n = ::write(g_aPipe[1], &byte, 1);
}

}  // namespace

void InstallStopSignal() {
  if (g_aPipe[0] < 0 && ::pipe2(g_aPipe, O_CLOEXEC | O_NONBLOCK) != 0) g_aPipe[0] = g_aPipe[1] = -1;
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

int StopRequested() { return g_iStop.load(); }

int StopSignalFd() { return g_aPipe[0]; }

int StoppedExitStatus() { return 128 + g_iStop.load(); }

}  // namespace cli
