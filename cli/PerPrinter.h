#pragma once
// A command's run on every printer it names: one job a printer on the
// fleet, each with a session of its own, and the report of them all.
#include <functional>

#include "Fleet.h"
#include "Options.h"
#include "PrinterSession.h"

namespace cli {

using SessionJob = std::function<void(const Target&, PrinterSession&, PrinterResult&)>;
// Runs a job on every target, each with a session of its own opened with the
// options' time-out, and reports them all; the highest exit wins. A target
// whose session does not open fails with the session's error and runs no job.
int RunPerSession(const Options& p_objOptions, const SessionJob& p_fnJob, bool p_bProgress);

// Reports every printer, in order: its lines, or for one that failed or was
// not started a row saying so; in JSON its entry of "printers" (added to the
// document). The exit status is the worst of the printers' (WorseExit), or
// 128 + the signal of a run that was interrupted.
int Report(const Options& p_objOptions, const std::vector<PrinterResult>& p_objResults,
           QJsonObject p_objDocument = QJsonObject());

// Records whether a step of the job succeeded; a failure without an error of
// its own gets the session's. Returns p_bOk.
bool Done(PrinterSession& p_objSession, PrinterResult& p_objResult, bool p_bOk);

}  // namespace cli
