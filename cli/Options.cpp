#include "Options.h"

#include <cmath>

namespace cli {

namespace {

const QStringList kValueOptions = {QStringLiteral("lan"),
                                   QStringLiteral("hosts"),
                                   QStringLiteral("com"),
                                   QStringLiteral("serial"),
                                   QStringLiteral("serial-settings"),
                                   QStringLiteral("timeout"),
                                   QStringLiteral("jobs"),
                                   QStringLiteral("params"),
                                   QStringLiteral("lan-settings"),
                                   QStringLiteral("out-dir"),
                                   QStringLiteral("type"),
                                   QStringLiteral("pattern"),
                                   QStringLiteral("count"),
                                   QStringLiteral("speed"),
                                   QStringLiteral("sensor"),
                                   QStringLiteral("cut"),
                                   QStringLiteral("print-type"),
                                   QStringLiteral("label-length"),
                                   QStringLiteral("mode"),
                                   QStringLiteral("destination"),
                                   QStringLiteral("port"),
                                   QStringLiteral("usb-library"),
                                   QStringLiteral("backup-dir"),
                                   QStringLiteral("audit-log"),
                                   QStringLiteral("from"),
                                   QStringLiteral("listen"),
                                   QStringLiteral("allow"),
                                   QStringLiteral("profile"),
                                   QStringLiteral("warning"),
                                   QStringLiteral("critical")};
// Switches kept among the values, with an empty value.
const QStringList kFlagOptions = {QStringLiteral("no-backup"), QStringLiteral("per-unit"), QStringLiteral("dry-run"),
                                  QStringLiteral("profile")};

// --profile is a switch of show (print what a profile may carry) but names a
// file for check and exporter.
bool IsSwitch(const QString& p_sName, const QString& p_sCommand) {
  if (p_sName == QLatin1String("profile") &&
      (p_sCommand == QLatin1String("check") || p_sCommand == QLatin1String("exporter")))
    return false;
  return kFlagOptions.contains(p_sName);
}

}  // namespace

bool ParseOptions(const QStringList& p_objArgs, Options& p_objOptions, QString& p_sError) {
  QString serialSettings = QStringLiteral("9600,E,8,1");
  QString usbLibrary;
  bool usb = false;
  bool optionsEnded = false;
  for (int i = 0; i < p_objArgs.size(); ++i) {
    const QString& arg = p_objArgs[i];
    if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
      p_objOptions.positional << arg;
    } else if (arg == QLatin1String("--")) {
      optionsEnded = true;
    } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      p_objOptions.help = true;
    } else if (arg == QLatin1String("--version")) {
      p_objOptions.version = true;
    } else if (arg == QLatin1String("--json")) {
      p_objOptions.json = true;
    } else if (arg == QLatin1String("--verify")) {
      p_objOptions.verify = true;
    } else if (arg == QLatin1String("--no-verify")) {
      p_objOptions.noVerify = true;
    } else if (arg == QLatin1String("--usb")) {
      usb = true;
    } else if (arg.startsWith(QLatin1String("--")) && IsSwitch(arg.mid(2), p_objOptions.command)) {
      p_objOptions.values[arg.mid(2)] = QString();
    } else if (arg.startsWith(QLatin1String("--"))) {
      QString name = arg.mid(2);
      QString value;
      const qsizetype equals = name.indexOf(QLatin1Char('='));
      if (equals >= 0) {
        value = name.mid(equals + 1);
        name.truncate(equals);
      }
      if (!kValueOptions.contains(name)) {
        p_sError = QStringLiteral("unknown option --%1").arg(name);
        return false;
      }
      if (IsSwitch(name, p_objOptions.command)) {
        p_sError = QStringLiteral("option --%1 takes no value").arg(name);
        return false;
      }
      if (equals < 0) {
        if (i + 1 >= p_objArgs.size()) {
          p_sError = QStringLiteral("option --%1 needs a value").arg(name);
          return false;
        }
        value = p_objArgs[++i];
      }
      if (name == QLatin1String("lan")) {
        Target target;
        if (!ParseLanTarget(value, target, p_sError)) return false;
        p_objOptions.targets.push_back(target);
      } else if (name == QLatin1String("hosts")) {
        if (!ReadHostsFile(value, p_objOptions.targets, p_sError)) return false;
      } else if (name == QLatin1String("com")) {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < 1 || n > 9) {
          p_sError = QStringLiteral("--com takes 1 to 9");
          return false;
        }
        Target target;
        target.kind = Target::Com;
        target.com = n;
        p_objOptions.targets.push_back(target);
      } else if (name == QLatin1String("serial")) {
        Target target;
        target.kind = Target::Serial;
        target.device = value;
        p_objOptions.targets.push_back(target);
      } else if (name == QLatin1String("serial-settings")) {
        if (!CheckSerialSettings(value)) {
          p_sError = QStringLiteral("--serial-settings takes speed,parity,data bits,stop bits (9600,E,8,1)");
          return false;
        }
        serialSettings = value;
      } else if (name == QLatin1String("usb-library")) {
        usbLibrary = value;
      } else if (name == QLatin1String("timeout")) {
        bool ok = false;
        p_objOptions.timeout = value.toDouble(&ok);
        p_objOptions.timeoutGiven = true;
        if (!ok || !std::isfinite(p_objOptions.timeout) || p_objOptions.timeout <= 0 || p_objOptions.timeout > 3600) {
          p_sError = QStringLiteral("--timeout takes a number of seconds above 0 and at most 3600");
          return false;
        }
      } else if (name == QLatin1String("jobs")) {
        bool ok = false;
        p_objOptions.jobs = value.toInt(&ok);
        p_objOptions.jobsGiven = true;
        if (!ok || p_objOptions.jobs < 1 || p_objOptions.jobs > 1024) {
          p_sError = QStringLiteral("--jobs takes 1 to 1024");
          return false;
        }
      } else {
        p_objOptions.values[name] = value;
        p_objOptions.lists[name] << value;
      }
    } else {
      p_sError = QStringLiteral("unknown option %1").arg(arg);
      return false;
    }
  }
  if (usb) {
    Target target;
    target.kind = Target::Usb;
    p_objOptions.targets.push_back(target);
  }
  for (Target& target : p_objOptions.targets) {
    target.serialSettings = serialSettings;
    target.usbLibrary = usbLibrary;
  }
  return true;
}

}  // namespace cli
