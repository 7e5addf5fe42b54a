#pragma once
// A command's run on every printer it names: one job a printer on the
// fleet, each with a session of its own, and the report of them all.
#include <functional>

#include "AsyncPrinter.h"
#include "Fleet.h"
#include "Options.h"

namespace cli {

// Runs a job on every target, all on one event loop with at most --jobs
// printers at a time, and reports them all; the highest exit wins. The job
// starts its requests on the printer (which opens its link with the first)
// and calls done once it has finished with it.
using AsyncJob =
    std::function<void(const Target&, AsyncPrinter&, PrinterResult&, const std::function<void()>& p_fnDone)>;
int RunPerPrinterOnLoop(const Options& p_objOptions, const AsyncJob& p_fnJob, bool p_bProgress);
// Reports every printer, in order: its lines, or for one that failed or was
// not started a row saying so; in JSON its entry of "printers" (added to the
// document). The exit status is the worst of the printers' (WorseExit), or
// 128 + the signal of a run that was interrupted.
int Report(const Options& p_objOptions, const std::vector<PrinterResult>& p_objResults,
           QJsonObject p_objDocument = QJsonObject());

// Records whether a step of the job succeeded; a failure without an error of
// its own gets the printer's. Returns p_bOk.
bool Done(AsyncPrinter& p_objPrinter, PrinterResult& p_objResult, bool p_bOk);

}  // namespace cli
