#include "PerPrinter.h"

#include <QJsonArray>
#include <algorithm>

#include "CommandLine.h"
#include "FleetLoop.h"
#include "Output.h"
#include "StopSignal.h"

namespace cli {

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

int RunPerPrinterOnLoop(const Options& p_objOptions, const AsyncJob& p_fnJob, bool p_bProgress) {
  const double timeout = p_objOptions.timeout;
  const std::vector<PrinterResult> results =
      RunFleetOnLoop(p_objOptions.targets, p_objOptions.jobs, p_bProgress && p_objOptions.targets.size() > 1,
                     [timeout, p_fnJob](const Target& target, PrinterResult& result, std::function<void()> done) {
                       // The printer lives until its job is done; its channel closes with it.
                       auto* printer = new AsyncPrinter(target, timeout);
                       p_fnJob(target, *printer, result, [printer, done] {
                         printer->deleteLater();
                         done();
                       });
                     });
  return Report(p_objOptions, results);
}

bool Done(AsyncPrinter& p_objPrinter, PrinterResult& p_objResult, bool p_bOk) {
  p_objResult.ok = p_bOk;
  if (!p_bOk && p_objResult.error.isEmpty()) p_objResult.error = p_objPrinter.Error();
  return p_bOk;
}

}  // namespace cli
