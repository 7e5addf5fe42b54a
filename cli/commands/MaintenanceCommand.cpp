// maintenance: the maintenance actions of the window's buttons on each
// printer.
#include "Commands.h"

#include <QJsonObject>
#include <string>
#include <vector>

#include "ChoiceListData.h"
#include "CommandLine.h"
#include "MaintenanceCommands.h"
#include "PrinterSequences.h"
#include "Output.h"
#include "PerPrinter.h"
#include "SpinSetupData.h"

namespace cli {

namespace {

int ListChoice(const char* p_sList, const QString& p_sEntry) {
  const dz::ChoiceListData* list = dz::FindChoiceList(p_sList);
  return list ? dz::ChoicePosition(*list, p_sEntry.toStdString()) : -1;
}

}  // namespace

int Maintenance(const Options& p_objOptions, bool p_bProgress) {
  if (p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("name a maintenance action"));
  const QString action = p_objOptions.positional[0];
  const bool takesArgument = action == QLatin1String("sensor-adjust") || action == QLatin1String("threshold-calib");
  if (p_objOptions.positional.size() > (takesArgument ? 2 : 1))
    return Refuse(p_objOptions, kExitUsage,
                  QStringLiteral("%1 takes no argument %2").arg(action, p_objOptions.positional.last()));
  const QString argument = p_objOptions.positional.value(1);
  // The operation, as the window's button runs it (PrinterSequences.h).
  PrinterSequence sequence;
  bool headCheck = false;
  const auto bad = [&](const QString& text) { return Refuse(p_objOptions, kExitUsage, text); };
  if (action == QLatin1String("head-check")) {
    headCheck = true;
    sequence = HeadCheckSequence();
  } else if (action == QLatin1String("diag-print")) {
    const int type =
        ListChoice("cmbDiagPrint", p_objOptions.Has("type") ? p_objOptions.Value("type") : QStringLiteral("DIRECT"));
    if (type < 0) return bad(QStringLiteral("--type takes DIRECT or TRANSFR"));
    sequence = DiagPrintSequence(type);
  } else if (action == QLatin1String("test-print")) {
    TestPrintSettings settings;
    const struct {
      const char* option;
      const char* list;
      int* field;
    } lists[] = {{"pattern", "cmbPattern", &settings.pattern},
                 {"sensor", "cmbSensor", &settings.sensor},
                 {"cut", "cmbType", &settings.cutType},
                 {"print-type", "cmbPrtType", &settings.printType}};
    for (const auto& l : lists) {
      if (!p_objOptions.Has(l.option)) continue;
      *l.field = ListChoice(l.list, p_objOptions.Value(l.option));
      if (*l.field < 0) return bad(QStringLiteral("--%1 names no entry of the list").arg(QLatin1String(l.option)));
    }
    if (p_objOptions.Has("speed")) {
      const QString speed = p_objOptions.Value("speed");
      if (speed != QLatin1String("2") && speed != QLatin1String("4"))
        return bad(QStringLiteral("--speed takes 2 or 4"));
      settings.printSpeed = speed == QLatin1String("4") ? 1 : 0;
    }
    const struct {
      const char* option;
      const char* spin;
      int32_t* field;
    } numbers[] = {{"count", "SeIssueCount", &settings.issueCount},
                   {"label-length", "SeLabelLen", &settings.labelLength}};
    for (const auto& n : numbers) {
      if (!p_objOptions.Has(n.option)) continue;
      bool ok = false;
      const int value = p_objOptions.Value(n.option).toInt(&ok);
      const dz::SpinSetupData* spin = dz::FindSpinSetup(n.spin);
      if (!ok || !spin || value < spin->min || value > spin->max)
        return bad(QStringLiteral("--%1 takes %2 to %3")
                       .arg(QLatin1String(n.option))
                       .arg(spin ? spin->min : 0)
                       .arg(spin ? spin->max : 0));
      *n.field = value;
    }
    sequence = TestPrintSequence(settings);
  } else if (action == QLatin1String("ram-clear")) {
    const int mode = ListChoice("cmbRamClear", p_objOptions.Value("mode"));
    if (mode < 0) return bad(QStringLiteral("--mode takes PARAMETER or MANTE.CNT"));
    int destination = -1;
    if (p_objOptions.Has("destination")) {
      destination = ListChoice("cmbDestination", p_objOptions.Value("destination"));
      if (destination < 1) return bad(QStringLiteral("--destination takes JA, CN, QP or QQ"));
    }
    sequence = RamClearSequence(mode, destination);
  } else if (action == QLatin1String("sensor-adjust")) {
    if (argument == QLatin1String("reflect"))
      sequence = ReflectiveAdjustSequence();
    else if (argument == QLatin1String("trans"))
      sequence = TransmissiveAdjustSequence();
    else if (argument == QLatin1String("paper-end"))
      sequence = PaperEndAdjustSequence();
    else
      return bad(QStringLiteral("sensor-adjust takes reflect, trans or paper-end"));
  } else if (action == QLatin1String("threshold-calib")) {
    const int sensor = ListChoice("cmbThresholdCalib", argument);
    if (sensor < 0) return bad(QStringLiteral("threshold-calib takes REFLECT. or TRANS."));
    sequence = ThresholdCalibSequence(sensor);
  } else {
    return bad(QStringLiteral("unknown maintenance action %1").arg(action));
  }
  return RunPerPrinterOnLoop(
      p_objOptions,
      [=](const Target&, AsyncPrinter& printer, PrinterResult& result, const std::function<void()>& done) {
        result.json[QStringLiteral("action")] = action;
        // A failed step ends the operation on this printer and is named.
        printer.Run(sequence, [=, &printer, &result](bool ok, const QString& text) {
          if (Done(printer, result, ok)) {
            if (headCheck) {
              result.json[QStringLiteral("result")] = text;
              result.lines << QStringLiteral("%1\t%2").arg(result.target, text.isEmpty() ? QStringLiteral("-") : text);
            } else {
              result.lines << QStringLiteral("%1\t%2").arg(result.target, action);
            }
          }
          done();
        });
      },
      p_bProgress);
}

}  // namespace cli
