#include "CommandLine.h"

#include "HelpTexts.h"
#include "Options.h"
#include "Output.h"
#include "commands/Commands.h"

int RunCommandLine(const QStringList& p_objArgs, bool p_bStderrIsTerminal) {
  cli::Options options;
  QStringList args = p_objArgs;
  const QStringList commands = {QStringLiteral("status"),      QStringLiteral("read"),     QStringLiteral("write"),
                                QStringLiteral("verify"),      QStringLiteral("diff"),     QStringLiteral("show"),
                                QStringLiteral("maintenance"), QStringLiteral("discover"), QStringLiteral("check"),
                                QStringLiteral("exporter")};
  if (!args.isEmpty() && commands.contains(args.first())) options.command = args.takeFirst();
  QString error;
  const bool parsed = cli::ParseOptions(args, options, error);
  if (options.help) {
    cli::Print(stdout, HelpText(options.command));
    return kExitOk;
  }
  if (options.command.isEmpty()) {
    if (!args.isEmpty() && !args.first().startsWith(QLatin1String("--")))
      return cli::Refuse(options, kExitUsage, QStringLiteral("unknown command %1").arg(args.first()));
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
  if (options.command == QLatin1String("exporter")) return cli::Exporter(options);
  const bool printerCommand = options.command != QLatin1String("diff") && options.command != QLatin1String("show") &&
                              options.command != QLatin1String("discover");
  if (printerCommand && options.targets.empty())
    return cli::Refuse(options, kExitUsage, QStringLiteral("name a printer: --lan, --hosts, --com, --serial or --usb"));
  if (options.command == QLatin1String("status")) return cli::Status(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("read")) return cli::Read(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("write")) return cli::Write(options, p_bStderrIsTerminal, true);
  if (options.command == QLatin1String("verify")) return cli::Write(options, p_bStderrIsTerminal, false);
  if (options.command == QLatin1String("maintenance")) return cli::Maintenance(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("show")) return cli::Show(options);
  if (options.command == QLatin1String("diff")) return cli::Diff(options);
  return cli::Discover(options, p_bStderrIsTerminal);
}
