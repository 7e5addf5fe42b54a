#pragma once
// Runs one job per printer on the calling thread's event loop, at most
// `jobs` printers at a time: a job starts its printer's requests and returns;
// it calls its done callback once, when the printer is finished. No thread
// per printer and no nested waits: a thousand printers share one loop.
#include <functional>
#include <vector>

#include "Fleet.h"

using AsyncPrinterJob = std::function<void(const Target&, PrinterResult&, std::function<void()> p_fnDone)>;

// Results in target order. With p_bProgress a progress line on standard
// error. Once a stop is requested (StopSignal.h) no further printer is
// started; those already started run to their end.
std::vector<PrinterResult> RunFleetOnLoop(const std::vector<Target>& p_objTargets, int p_iJobs, bool p_bProgress,
                                          const AsyncPrinterJob& p_fnJob);
