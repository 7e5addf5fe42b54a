#include "FleetLoop.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "StopSignal.h"

std::vector<PrinterResult> RunFleetOnLoop(const std::vector<Target>& p_objTargets, int p_iJobs, bool p_bProgress,
                                          const AsyncPrinterJob& p_fnJob) {
  const size_t total = p_objTargets.size();
  std::vector<PrinterResult> results(total);
  if (total == 0) return results;
  const size_t limit = static_cast<size_t>(std::max(1, p_iJobs));
  size_t next = 0, running = 0, done = 0;
  QEventLoop loop;

  std::function<void()> startMore;
  const auto finished = [&] {
    --running;
    ++done;
    if (p_bProgress) std::fprintf(stderr, "\r%zu/%zu printers done", done, total);
    startMore();
  };
  startMore = [&] {
    while (running < limit && next < total) {
      const size_t i = next++;
      results[i].target = p_objTargets[i].Name();
      // After a stop request no printer is started; one that was started
      // runs to its end.
      if (cli::StopRequested() != 0) {
        results[i].started = false;
        results[i].error = QStringLiteral("not started: the run was interrupted");
        ++done;
        continue;
      }
      ++running;
      auto once = std::make_shared<bool>(false);
      p_fnJob(p_objTargets[i], results[i], [once, &finished] {
        if (*once) return;
        *once = true;
        // Finished from the event loop, never inside the job's own call.
        QTimer::singleShot(0, [&finished] { finished(); });
      });
    }
    if (done == total) loop.quit();
  };

  // A stop signal wakes the loop so that no further printer is started.
  std::unique_ptr<QSocketNotifier> stop;
  if (cli::StopSignalFd() >= 0) {
    stop = std::make_unique<QSocketNotifier>(cli::StopSignalFd(), QSocketNotifier::Read);
    QObject::connect(stop.get(), &QSocketNotifier::activated, [&] {
      stop->setEnabled(false);
      startMore();
    });
  }
  QTimer::singleShot(0, [&] { startMore(); });
  loop.exec();
  if (p_bProgress) std::fprintf(stderr, "\r%zu/%zu printers done\n", total, total);
  return results;
}
