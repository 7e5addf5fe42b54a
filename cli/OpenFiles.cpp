#include "OpenFiles.h"

#include <algorithm>
#include <sys/resource.h>

namespace cli {

namespace {

// Descriptors a running printer may hold: its socket or port, and a file
// being written for it. All printers share one event loop.
constexpr rlim_t kPerPrinter = 2;
// Kept for the process itself: standard streams, libraries, settings files.
constexpr rlim_t kReserve = 64;

}  // namespace

void RaiseOpenFileLimit() {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  if (limit.rlim_cur == limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

int JobsAllowed(int p_iWanted, QString& p_sNote) {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return p_iWanted;
  const rlim_t room = limit.rlim_cur > kReserve + kPerPrinter ? (limit.rlim_cur - kReserve) / kPerPrinter : 1;
  const int allowed = static_cast<int>(std::min<rlim_t>(room, static_cast<rlim_t>(p_iWanted)));
  if (allowed < p_iWanted)
    p_sNote = QStringLiteral("the open-file limit (%1) allows %2 printers at a time; running %2, not %3")
                  .arg(static_cast<qulonglong>(limit.rlim_cur))
                  .arg(allowed)
                  .arg(p_iWanted);
  return std::max(1, allowed);
}

}  // namespace cli
