#pragma once
// What every benchmark program shares: a monotonic clock, the launch time the
// driver hands over, the process's CPU time and peak resident set, and one
// line per figure on standard output ("FIGURE <name> <value>"), which
// bench/run.py collects into the table.
#include <sys/resource.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#ifdef QT_WIDGETS_LIB
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#endif

namespace dzbench {

inline int64_t NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The driver's CLOCK_MONOTONIC reading just before it started this process,
// or 0 when the program was started by hand.
inline int64_t LaunchNs() {
  const char* text = std::getenv("DZ_BENCH_LAUNCH_NS");
  return text ? std::strtoll(text, nullptr, 10) : 0;
}

// User plus system time of every thread of the process.
inline int64_t CpuNs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ns = [](const timeval& tv) { return int64_t(tv.tv_sec) * 1000000000 + int64_t(tv.tv_usec) * 1000; };
  return ns(usage.ru_utime) + ns(usage.ru_stime);
}

// Peak resident set size so far, in MiB (ru_maxrss is in KiB on Linux).
inline double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;
}

inline void Figure(const char* name, double value) {
  std::printf("FIGURE %s %.6f\n", name, value);
  std::fflush(stdout);
}

#ifdef QT_WIDGETS_LIB
// Calls back once the widget has been painted for the first time and the
// event loop has come round again (the frame is complete).
class FirstPaint : public QObject {
 public:
  FirstPaint(QWidget& widget, std::function<void()> done) : m_done(std::move(done)) { widget.installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !m_seen) {
      m_seen = true;
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, [this] { m_done(); });
    }
    return false;
  }

 private:
  std::function<void()> m_done;
  bool m_seen = false;
};

// Start-up of a Widgets program: from the driver's launch to the first
// complete frame of the window; prints the time and the peak memory, then
// ends the event loop.
inline void ReportStartupWhenPainted(QWidget& window, QObject*& keep) {
  keep = new FirstPaint(window, [] {
    const int64_t launch = LaunchNs();
    Figure("startup_ms", launch > 0 ? double(NowNs() - launch) / 1e6 : -1.0);
    Figure("startup_rss_mib", PeakRssMiB());
    QCoreApplication::quit();
  });
}
#endif

}  // namespace dzbench
