// exporter: serves the Prometheus exporter until SIGINT or SIGTERM.
#include <QCoreApplication>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <csignal>
#include <unistd.h>

#include "CommandLine.h"
#include "Exporter.h"
#include "ChannelProbe.h"
#include "Output.h"
#include "StopSignal.h"
#include "commands/Commands.h"

namespace cli {

namespace {

bool Configure(const Options& p_objOptions, exporter::ExporterConfig& p_objConfig, QString& p_sError) {
  if (!p_objOptions.positional.isEmpty()) {
    p_sError = QStringLiteral("exporter takes no arguments");
    return false;
  }
  if (!p_objOptions.targets.empty()) {
    p_sError = QStringLiteral("exporter is told its printers by each scrape's target, not by --lan and the like");
    return false;
  }
  if (p_objOptions.Has("listen") &&
      !exporter::ParseListenAddress(p_objOptions.Value("listen"), p_objConfig.listenAddress, p_objConfig.listenPort,
                                    p_sError))
    return false;
  if (p_objOptions.timeoutGiven) p_objConfig.timeoutSeconds = p_objOptions.timeout;
  for (const QString& text : p_objOptions.Values("allow")) {
    exporter::Subnet subnet;
    if (!exporter::ParseSubnet(text, subnet, p_sError)) return false;
    p_objConfig.allowed.push_back(subnet);
  }
  for (const QString& text : p_objOptions.Values("profile")) {
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    const QString name = text.left(equals);
    if (equals <= 0 || name.contains(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")))) {
      p_sError = QStringLiteral("--profile takes NAME=FILE (NAME of letters, digits, _ . -), not \"%1\"").arg(text);
      return false;
    }
    if (p_objConfig.profiles.count(name)) {
      p_sError = QStringLiteral("profile %1 given twice").arg(name);
      return false;
    }
    std::shared_ptr<const DriftProfile> profile = DriftProfile::Load(text.mid(equals + 1), p_sError);
    if (!profile) return false;
    p_objConfig.profiles[name] = profile;
  }
  return true;
}

}  // namespace

int Exporter(const Options& p_objOptions) {
  exporter::ExporterConfig config;
  QString error;
  if (!Configure(p_objOptions, config, error)) return Refuse(p_objOptions, kExitUsage, error);
  QCoreApplication::setApplicationVersion(QStringLiteral(DZ_VERSION));
  exporter::ChannelProbe probe;
  exporter::Exporter server(config, probe);
  if (!server.Start(error)) {
    Print(stderr, QStringLiteral("dazavu: exporter: cannot listen on %1: %2\n")
                      .arg(p_objOptions.Has("listen") ? p_objOptions.Value("listen") : QStringLiteral("127.0.0.1:9878"),
                           error));
    return kExitNoAnswer;
  }
  const QHostAddress address = server.Server().Address();
  const QString where = address.protocol() == QAbstractSocket::IPv6Protocol
                            ? QStringLiteral("[%1]:%2").arg(address.toString()).arg(server.Server().Port())
                            : QStringLiteral("%1:%2").arg(address.toString()).arg(server.Server().Port());
  Print(stderr, QStringLiteral("dazavu exporter: listening on %1\n").arg(where));
  std::fflush(stderr);

  // SIGINT and SIGTERM (the stop request every command has) end the event
  // loop, and the exporter with exit 0. The open-file limit was raised at start.
  if (StopSignalFd() < 0) return kExitNoAnswer;
  QSocketNotifier notifier(StopSignalFd(), QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
  ::signal(SIGPIPE, SIG_IGN);
  const int rc = QCoreApplication::exec();
  Print(stderr, QStringLiteral("dazavu exporter: stopped\n"));
  return rc;
}

}  // namespace cli
