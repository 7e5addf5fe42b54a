#include "PerPrinter.h"

#include <QJsonArray>
#include <algorithm>

#include "CommandLine.h"
#include "Output.h"
#include "StopSignal.h"

namespace cli {

namespace {

// Opens the session; on failure fills the result and returns false.
bool OpenSession(PrinterSession& p_objSession, PrinterResult& p_objResult) {
  if (p_objSession.Open()) return true;
  p_objResult.error = p_objSession.Error();
  return false;
}

// Runs a job on every target and reports them all; the highest exit wins.
int RunPerPrinter(const Options& p_objOptions, const PrinterJob& p_fnJob, bool p_bProgress) {
  const std::vector<PrinterResult> results =
      RunFleet(p_objOptions.targets, p_objOptions.jobs, p_bProgress && p_objOptions.targets.size() > 1, p_fnJob);
  return Report(p_objOptions, results);
}

}  // namespace

int Report(const Options& p_objOptions, const std::vector<PrinterResult>& p_objResults, QJsonObject p_objDocument) {
  int exit = kExitOk;
  QJsonArray printers;
  QStringList lines;
  for (const PrinterResult& result : p_objResults) {
    exit = WorseExit(exit, result.ok ? result.exit : WorseExit(result.exit, kExitNoAnswer));
    QJsonObject printer = PrinterJson(result);
    if (!result.started) printer[QStringLiteral("started")] = false;
    printers.append(printer);
    lines << result.lines;
    if (!result.ok) lines << FailedLine(result);
  }
  if (StopRequested() != 0) {
    exit = StoppedExitStatus();
    p_objDocument[QStringLiteral("interrupted")] = true;
  }
  p_objDocument[QStringLiteral("printers")] = printers;
  return Finish(p_objOptions, exit, p_objDocument, lines);
}

int RunPerSession(const Options& p_objOptions, const SessionJob& p_fnJob, bool p_bProgress) {
  const double timeout = p_objOptions.timeout;
  return RunPerPrinter(
      p_objOptions,
      [timeout, p_fnJob](const Target& target, PrinterResult& result) {
        PrinterSession session(target, timeout);
        if (OpenSession(session, result)) p_fnJob(target, session, result);
      },
      p_bProgress);
}

bool Done(PrinterSession& p_objSession, PrinterResult& p_objResult, bool p_bOk) {
  p_objResult.ok = p_bOk;
  if (!p_bOk && p_objResult.error.isEmpty()) p_objResult.error = p_objSession.Error();
  return p_bOk;
}

}  // namespace cli
