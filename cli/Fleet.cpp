#include "Fleet.h"

#include "StopSignal.h"

#include <QDeadlineTimer>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <memory>

std::vector<PrinterResult> RunFleet(const std::vector<Target>& p_objTargets, int p_iJobs, bool p_bProgress,
                                    const PrinterJob& p_fnJob) {
  std::vector<PrinterResult> results(p_objTargets.size());
  std::atomic<size_t> next{0};
  std::atomic<size_t> done{0};
  const size_t workers = std::min<size_t>(static_cast<size_t>(std::max(1, p_iJobs)), p_objTargets.size());
  std::vector<std::unique_ptr<QThread>> threads;
  for (size_t w = 0; w < workers; ++w) {
    threads.emplace_back(QThread::create([&] {
      for (size_t i = next++; i < p_objTargets.size(); i = next++) {
        results[i].target = p_objTargets[i].Name();
        // After a stop request no printer is started; one that was started
        // runs to its end.
        if (cli::StopRequested() != 0) {
          results[i].started = false;
          results[i].error = QStringLiteral("the run was interrupted before this printer");
        } else {
          p_fnJob(p_objTargets[i], results[i]);
        }
        ++done;
      }
    }));
    threads.back()->start();
  }
  size_t shown = SIZE_MAX;
  for (auto& thread : threads) {
    while (!thread->wait(QDeadlineTimer(100))) {
      if (p_bProgress && done.load() != shown) {
        shown = done.load();
        std::fprintf(stderr, "\r%zu/%zu printers done", shown, p_objTargets.size());
      }
    }
  }
  if (p_bProgress) std::fprintf(stderr, "\r%zu/%zu printers done\n", p_objTargets.size(), p_objTargets.size());
  return results;
}
