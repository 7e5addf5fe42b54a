// maintenance: the maintenance actions of the window's buttons on each
// printer.
#include "Commands.h"

#include <QJsonObject>
#include <string>
#include <vector>

#include "ChoiceListData.h"
#include "CommandLine.h"
#include "MaintenanceCommands.h"
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
  std::vector<std::string> commands;
  bool headCheck = false;
  double settle = 0;  // the second the window gives the printer after an adjustment
  const auto bad = [&](const QString& text) { return Refuse(p_objOptions, kExitUsage, text); };
  if (action == QLatin1String("head-check")) {
    headCheck = true;
  } else if (action == QLatin1String("diag-print")) {
    const int type =
        ListChoice("cmbDiagPrint", p_objOptions.Has("type") ? p_objOptions.Value("type") : QStringLiteral("DIRECT"));
    if (type < 0) return bad(QStringLiteral("--type takes DIRECT or TRANSFR"));
    commands.push_back(BuildDiagPrintCommand(type));
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
    commands.push_back(BuildTestPrintCommand(settings));
  } else if (action == QLatin1String("ram-clear")) {
    const int mode = ListChoice("cmbRamClear", p_objOptions.Value("mode"));
    if (mode < 0) return bad(QStringLiteral("--mode takes PARAMETER or MANTE.CNT"));
    int destination = -1;
    if (p_objOptions.Has("destination")) {
      destination = ListChoice("cmbDestination", p_objOptions.Value("destination"));
      if (destination < 1) return bad(QStringLiteral("--destination takes JA, CN, QP or QQ"));
    }
    commands.push_back(BuildRamClearCommand(mode, destination));
  } else if (action == QLatin1String("sensor-adjust")) {
    settle = 1;
    if (argument == QLatin1String("reflect"))
      commands.push_back(BuildReflectiveAdjustCommand());
    else if (argument == QLatin1String("trans"))
      commands.push_back(BuildTransmissiveAdjustCommand());
    else if (argument == QLatin1String("paper-end"))
      commands = {BuildPaperEndAdjustCommand(0), BuildPaperEndAdjustCommand(1)};
    else
      return bad(QStringLiteral("sensor-adjust takes reflect, trans or paper-end"));
  } else if (action == QLatin1String("threshold-calib")) {
    const int sensor = ListChoice("cmbThresholdCalib", argument);
    if (sensor < 0) return bad(QStringLiteral("threshold-calib takes REFLECT. or TRANS."));
    commands.push_back(BuildThresholdCalibCommand(sensor));
  } else {
    return bad(QStringLiteral("unknown maintenance action %1").arg(action));
  }
  return RunPerSession(
      p_objOptions,
      [=](const Target&, PrinterSession& session, PrinterResult& result) {
        result.json[QStringLiteral("action")] = action;
        if (headCheck) {
          QString text;
          if (!Done(session, result, session.HeadCheck(text))) return;
          result.json[QStringLiteral("result")] = text;
          result.lines << QStringLiteral("%1\t%2").arg(result.target, text.isEmpty() ? QStringLiteral("-") : text);
          return;
        }
        for (const std::string& command : commands)
          if (!Done(session, result, session.Send(command))) return;
        if (settle > 0) session.Wait(settle);
        result.lines << QStringLiteral("%1\t%2").arg(result.target, action);
      },
      p_bProgress);
}

}  // namespace cli
