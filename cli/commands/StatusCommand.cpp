// status: each printer's status text and code.
#include "Commands.h"

#include <QJsonObject>

#include "CommandLine.h"
#include "Output.h"
#include "PerPrinter.h"

namespace cli {

int Status(const Options& p_objOptions, bool p_bProgress) {
  if (!p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage,
                  QStringLiteral("status takes no argument %1").arg(p_objOptions.positional[0]));
  return RunPerPrinterOnLoop(
      p_objOptions,
      [](const Target&, AsyncPrinter& printer, PrinterResult& result, const std::function<void()>& done) {
        printer.Status([&printer, &result, done](bool ok, const QString& text, const QString& code) {
          if (Done(printer, result, ok)) {
            QJsonObject status;
            status[QStringLiteral("text")] = text;
            status[QStringLiteral("code")] = code;
            result.json[QStringLiteral("status")] = status;
            result.lines
                << QStringLiteral("%1\t%2\t%3").arg(result.target, text.isEmpty() ? QStringLiteral("-") : text, code);
          }
          done();
        });
      },
      p_bProgress);
}

}  // namespace cli
