#include "CommandLine.h"

#include "HelpTexts.h"
#include "OpenFiles.h"
#include "Options.h"
#include "Output.h"
#include "commands/Commands.h"

namespace {

const QStringList& CommandNames() {
  static const QStringList names = {
      QStringLiteral("status"),   QStringLiteral("read"),  QStringLiteral("write"),       QStringLiteral("verify"),
      QStringLiteral("diff"),     QStringLiteral("show"),  QStringLiteral("maintenance"), QStringLiteral("discover"),
      QStringLiteral("set"),      QStringLiteral("apply"), QStringLiteral("restore"),     QStringLiteral("backups"),
      QStringLiteral("captions"), QStringLiteral("check"), QStringLiteral("exporter")};
  return names;
}

}  // namespace

int RunCommandLine(const QStringList& p_objArgs, bool p_bStderrIsTerminal) {
  cli::Options options;
  QStringList args = p_objArgs;
  options.arguments = p_objArgs;
  // --json before "--" asks for a JSON document even for a usage error.
  for (const QString& arg : args) {
    if (arg == QLatin1String("--")) break;
    if (arg == QLatin1String("--json")) options.json = true;
  }
  if (!args.isEmpty() && args.first() == QLatin1String("help")) {
    if (args.size() == 1) {
      cli::Print(stdout, HelpText(QString()));
      return kExitOk;
    }
    if (args.size() > 2 || !CommandNames().contains(args[1]))
      return cli::Refuse(options, kExitUsage, QStringLiteral("help takes one command name"));
    cli::Print(stdout, HelpText(args[1]));
    return kExitOk;
  }
  if (!args.isEmpty() && CommandNames().contains(args.first())) options.command = args.takeFirst();
  QString error;
  const bool parsed = cli::ParseOptions(args, options, error);
  if (options.version && options.command.isEmpty()) {
    cli::Print(stdout, QStringLiteral("dazavu %1\n").arg(QStringLiteral(DZ_VERSION)));
    return kExitOk;
  }
  if (options.help) {
    cli::Print(stdout, HelpText(options.command));
    return kExitOk;
  }
  if (options.command.isEmpty()) {
    if (!args.isEmpty() && !args.first().startsWith(QLatin1Char('-')))
      return cli::Refuse(options, kExitUsage, QStringLiteral("unknown command %1").arg(args.first()));
    if (!parsed) return cli::Refuse(options, kExitUsage, error);
    return cli::Refuse(options, kExitUsage, QStringLiteral("name a command"));
  }
  // check answers as a monitoring plugin: a usage error is UNKNOWN (3).
  if (options.command == QLatin1String("check")) {
    if (!parsed) {
      cli::Print(stdout, QStringLiteral("DAZAVU UNKNOWN - %1\n").arg(error));
      return 3;
    }
    return cli::Check(options);
  }
  if (!parsed) return cli::Refuse(options, kExitUsage, error);
  if (options.version) return cli::Refuse(options, kExitUsage, QStringLiteral("--version goes without a command"));
  if (options.command == QLatin1String("exporter")) return cli::Exporter(options);
  const bool printerCommand = options.command != QLatin1String("diff") && options.command != QLatin1String("show") &&
                              options.command != QLatin1String("discover") &&
                              options.command != QLatin1String("backups") &&
                              options.command != QLatin1String("captions");
  if (printerCommand && options.targets.empty())
    return cli::Refuse(options, kExitUsage, QStringLiteral("name a printer: --lan, --hosts, --com, --serial or --usb"));
  if (!printerCommand && !options.targets.empty())
    return cli::Refuse(options, kExitUsage,
                       QStringLiteral("%1 takes its printers as arguments, not as options").arg(options.command));
  // Host names are resolved once, before the run; a printer named twice
  // runs once.
  ResolveTargets(options.targets);
  // The default is capped quietly to what the open-file limit allows; a
  // --jobs that cannot be had is said once.
  QString note;
  options.jobs = cli::JobsAllowed(options.jobs, note);
  if (!note.isEmpty() && options.jobsGiven) cli::Print(stderr, QStringLiteral("dazavu: %1\n").arg(note));
  if (options.command == QLatin1String("status")) return cli::Status(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("read")) return cli::Read(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("write")) return cli::Write(options, p_bStderrIsTerminal, true);
  if (options.command == QLatin1String("verify")) return cli::Write(options, p_bStderrIsTerminal, false);
  if (options.command == QLatin1String("maintenance")) return cli::Maintenance(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("set")) return cli::Set(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("apply")) return cli::Apply(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("restore")) return cli::Restore(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("backups")) return cli::Backups(options);
  if (options.command == QLatin1String("captions")) return cli::Captions(options);
  if (options.command == QLatin1String("show")) return cli::Show(options);
  if (options.command == QLatin1String("diff")) return cli::Diff(options);
  return cli::Discover(options, p_bStderrIsTerminal);
}
