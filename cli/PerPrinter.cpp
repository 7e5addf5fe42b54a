#include "PerPrinter.h"

#include <QJsonArray>
#include <algorithm>

#include "CommandLine.h"
#include "Output.h"

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
  int exit = kExitOk;
  QJsonArray printers;
  QStringList lines;
  for (const PrinterResult& result : results) {
    exit = std::max(exit, result.ok ? result.exit : std::max(result.exit, int{kExitNoAnswer}));
    printers.append(PrinterJson(result));
    lines << result.lines;
    if (!result.ok) Print(stderr, QStringLiteral("dazavu: %1: %2\n").arg(result.target, result.error));
  }
  QJsonObject document;
  document[QStringLiteral("printers")] = printers;
  return Finish(p_objOptions, exit, document, lines);
}

}  // namespace

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
