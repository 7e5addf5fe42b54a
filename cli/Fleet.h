#pragma once
// Runs one job per printer on a pool of worker threads, each with its own
// event loop, at most `jobs` printers at a time. The link's waits are nested
// event loops: on one thread, many printers' waits would nest and could only
// end last-in first-out, so every printer gets its turn on a worker of its
// own and the waits of different printers never nest.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "Target.h"

struct PrinterResult {
  QString target;
  bool ok = false;
  bool started = true;  // false: the run was interrupted before this printer
  int exit = 0;         // 0, 2 (no answer) or 3 (difference found)
  QString error;
  QJsonObject json;   // the command's result keys
  QStringList lines;  // the command's text lines
};

using PrinterJob = std::function<void(const Target&, PrinterResult&)>;

// Results in target order. With p_bProgress a progress line on standard error.
// Once a stop is requested (StopSignal.h) no further printer is started: its
// result says so and has started false.
std::vector<PrinterResult> RunFleet(const std::vector<Target>& p_objTargets, int p_iJobs, bool p_bProgress,
                                    const PrinterJob& p_fnJob);
