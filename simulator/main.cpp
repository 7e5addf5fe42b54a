// dazavu-printer-sim: a simulated printer for trying the tool without one.
// Serves the LAN interface on 127.0.0.1 and, on request, the serial interface
// on a pseudo-terminal; logs every command it receives.
#include "EpollEventDispatcher.h"
#include "PrinterModel.h"
#include "StartState.h"
#include "PtyPrinter.h"
#include "SerialPortMap.h"
#include "TcpPrinter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};
constexpr int kMaxPrinters = 10000;

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

void Say(const QString& line) {
  std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  // A fleet of printers is thousands of sockets in this one process: waiting
  // for them must not cost more with each (the simulator would become the
  // bottleneck of the fleet it simulates).
  // (DZ_EVENT_DISPATCHER=qt keeps Qt's own, to compare the two.)
  if (qgetenv("DZ_EVENT_DISPATCHER") != "qt") QCoreApplication::setEventDispatcher(new EpollEventDispatcher);
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("dazavu-printer-sim"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Simulated thermal label printer for the Dazavu Setting Tool."));
  parser.addHelpOption();
  const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("TCP port on 127.0.0.1 (default 8000)."),
                                      QStringLiteral("port"), QStringLiteral("8000"));
  const QCommandLineOption ptyOption(QStringLiteral("pty"), QStringLiteral("Also serve a pseudo-terminal (serial), "
                                                                           "published as a COM entry of the tool."));
  const QCommandLineOption statusOption(QStringLiteral("status"),
                                        QStringLiteral("Two-character status code (default 00); with --printers a "
                                                       "comma-separated list, one code a printer, the last "
                                                       "repeated."),
                                        QStringLiteral("code"), QStringLiteral("00"));
  const QCommandLineOption modeOption(
      QStringLiteral("mode"),
      QStringLiteral("Misbehaviour: normal, silence, garbage, split, short, huge, drop, delay, "
                     "never-read, dribble."),
      QStringLiteral("mode"), QStringLiteral("normal"));
  const QCommandLineOption paramOption(
      QStringLiteral("param"),
      QStringLiteral("Mode parameter: split pause ms, short length, huge size, delay ms or "
                     "dribble interval ms."),
      QStringLiteral("n"));
  const QCommandLineOption printersOption(
      QStringLiteral("printers"),
      QStringLiteral("Serve this many printers, each with its own state, on consecutive ports "
                     "from --port (default 1)."),
      QStringLiteral("n"), QStringLiteral("1"));
  const QCommandLineOption addressesOption(
      QStringLiteral("addresses"),
      QStringLiteral("With --printers: serve them on 127.0.0.1 to 127.0.0.N, all on --port."));
  const QCommandLineOption logDirOption(QStringLiteral("log-dir"),
                                        QStringLiteral("Also log each printer's commands to DIR/HOST_PORT.log."),
                                        QStringLiteral("dir"));
  const QCommandLineOption scrambleOption(
      QStringLiteral("scramble"),
      QStringLiteral("Start from settings that differ from the factory values in every field, drawn from SEED "
                     "(printer n of a fleet from SEED + n)."),
      QStringLiteral("seed"));
  const QCommandLineOption stateOption(
      QStringLiteral("state"),
      QStringLiteral("Start from the fields FILE names, one Name=value a line (\\xNN for a byte), after "
                     "--scramble."),
      QStringLiteral("file"));
  parser.addOptions({portOption, ptyOption, statusOption, modeOption, paramOption, printersOption, addressesOption,
                     logDirOption, scrambleOption, stateOption});
  parser.process(app);

  // One code for every printer, or a list: printer i reports the i-th code,
  // the printers past the end of the list the last one.
  const QString statusText = parser.value(statusOption);
  const QStringList statusCodes = statusText.size() == 2 ? QStringList{statusText} : statusText.split(QLatin1Char(','));
  dzsim::PrinterModel model;
  for (const QString& code : statusCodes) {
    if (!model.SetStatusCode(code.toStdString())) {
      Say(QStringLiteral("error: a status code must be two characters"));
      return 2;
    }
  }
  model.SetStatusCode(statusCodes.first().toStdString());
  dzsim::Behaviour behaviour;
  if (!dzsim::MisbehaviourFromName(parser.value(modeOption).toStdString(), behaviour.mode)) {
    Say(QStringLiteral("error: unknown mode %1").arg(parser.value(modeOption)));
    return 2;
  }
  if (parser.isSet(paramOption)) {
    bool ok = false;
    const int n = parser.value(paramOption).toInt(&ok);
    if (!ok || n < 0) {
      Say(QStringLiteral("error: --param takes a number"));
      return 2;
    }
    behaviour.splitPauseMs = behaviour.delayMs = behaviour.dribbleIntervalMs = n;
    behaviour.shortLength = static_cast<std::size_t>(n);
    if (n > 0) behaviour.hugeSize = static_cast<std::size_t>(n);
  }
  model.SetBehaviour(behaviour);

  // The starting settings of printer n: scrambled from SEED + n, then the
  // state file's fields.
  std::uint32_t seed = 0;
  if (parser.isSet(scrambleOption)) {
    bool ok = false;
    seed = parser.value(scrambleOption).toUInt(&ok);
    if (!ok) {
      Say(QStringLiteral("error: --scramble takes a number"));
      return 2;
    }
  }
  std::string stateText;
  if (parser.isSet(stateOption)) {
    QFile file(parser.value(stateOption));
    if (!file.open(QIODevice::ReadOnly)) {
      Say(QStringLiteral("error: cannot read %1").arg(file.fileName()));
      return 2;
    }
    stateText = file.readAll().toStdString();
  }
  const auto startState = [&](dzsim::PrinterModel& printer, int index) {
    if (parser.isSet(scrambleOption)) dzsim::ScrambleFields(printer, seed + static_cast<std::uint32_t>(index));
    std::string error;
    if (parser.isSet(stateOption) && !dzsim::LoadStateText(printer, stateText, error)) {
      Say(QStringLiteral("error: %1: %2").arg(parser.value(stateOption), QString::fromStdString(error)));
      return false;
    }
    return true;
  };
  if (!startState(model, 0)) return 2;

  bool countOk = false;
  const int printers = parser.value(printersOption).toInt(&countOk);
  if (!countOk || printers < 1 || printers > kMaxPrinters) {
    Say(QStringLiteral("error: --printers takes 1 to %1").arg(kMaxPrinters));
    return 2;
  }
  const bool byAddress = parser.isSet(addressesOption);

  bool portOk = false;
  const uint port = parser.value(portOption).toUInt(&portOk);
  if (!portOk || port > 65535 || (!byAddress && printers > 1 && (port == 0 || port + printers - 1 > 65535))) {
    Say(QStringLiteral("error: bad port %1").arg(parser.value(portOption)));
    return 2;
  }

  // SIGINT and SIGTERM end the event loop through a socket pair.
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
    Say(QStringLiteral("error: socketpair failed"));
    return 1;
  }
  QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
    QCoreApplication::quit();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);

  const auto logCommand = [](const char* link, const QByteArray& command) {
    const dzsim::Bytes bytes(command.begin(), command.end());
    Say(QStringLiteral("%1 << %2").arg(QLatin1String(link), QString::fromStdString(dzsim::Printable(bytes))));
  };

  // The first printer is the one the serial and USB links share. Every
  // further printer gets a copy of its starting state.
  std::vector<std::unique_ptr<dzsim::PrinterModel>> models;
  std::vector<std::unique_ptr<dzsim::TcpPrinter>> servers;
  std::vector<std::unique_ptr<QFile>> logs;
  for (int i = 0; i < printers; ++i) {
    auto* printerModel = &model;
    if (i > 0) {
      models.push_back(std::make_unique<dzsim::PrinterModel>(model));
      printerModel = models.back().get();
      printerModel->SetStatusCode(statusCodes[std::min<qsizetype>(i, statusCodes.size() - 1)].toStdString());
      if (!startState(*printerModel, i)) return 2;
    }
    auto server = std::make_unique<dzsim::TcpPrinter>(*printerModel);
    const QHostAddress address(byAddress ? QHostAddress(0x7F000001u + static_cast<quint32>(i))
                                         : QHostAddress(QHostAddress::LocalHost));
    const quint16 printerPort = static_cast<quint16>(byAddress ? port : port + static_cast<uint>(i));
    if (!server->Listen(printerPort, address)) {
      Say(QStringLiteral("error: cannot listen on %1:%2: %3")
              .arg(address.toString())
              .arg(printerPort)
              .arg(server->ErrorString()));
      return 1;
    }
    const QString where = QStringLiteral("%1:%2").arg(server->Address().toString()).arg(server->Port());
    QFile* log = nullptr;
    if (parser.isSet(logDirOption)) {
      logs.push_back(std::make_unique<QFile>(
          QDir(parser.value(logDirOption))
              .filePath(QString(where).replace(QLatin1Char(':'), QLatin1Char('_')) + QStringLiteral(".log"))));
      log = logs.back().get();
      if (!log->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        Say(QStringLiteral("error: cannot write %1").arg(log->fileName()));
        return 1;
      }
    }
    // One printer logs as it always did; a fleet names the printer.
    const QString link = printers == 1 ? QStringLiteral("lan") : QStringLiteral("lan ") + where;
    QObject::connect(server.get(), &dzsim::TcpPrinter::commandReceived, [link, log](const QByteArray& c) {
      const dzsim::Bytes bytes(c.begin(), c.end());
      const QString line = QStringLiteral("%1 << %2").arg(link, QString::fromStdString(dzsim::Printable(bytes)));
      // The printer's log first: whoever saw the line on standard output finds it there.
      if (log) log->write((line + QLatin1Char('\n')).toLocal8Bit());
      Say(line);
    });
    Say(QStringLiteral("lan: %1").arg(where));
    servers.push_back(std::move(server));
  }

  dzsim::PtyPrinter pty(model);
  if (parser.isSet(ptyOption)) {
    if (!pty.Open()) {
      Say(QStringLiteral("error: %1").arg(pty.ErrorString()));
      return 1;
    }
    QObject::connect(&pty, &dzsim::PtyPrinter::commandReceived, [&](const QByteArray& c) { logCommand("serial", c); });
    Say(QStringLiteral("serial: %1").arg(pty.SlavePath()));
    // Published under the tool's port rule: say which COM entry it became.
    if (!pty.Publish(SimulatorPortFolder())) {
      Say(QStringLiteral("error: %1").arg(pty.ErrorString()));
      return 1;
    }
    const std::vector<SerialPortInfo> ports = ListComPorts();
    int entry = 0;
    for (size_t i = 0; i < ports.size(); ++i)
      if (ports[i].m_sDevice == pty.SlavePath()) entry = static_cast<int>(i) + 1;
    if (entry >= 1 && entry <= 9)
      Say(QStringLiteral("com: COM%1 (%2)").arg(entry).arg(pty.PublishedPath()));
    else
      Say(QStringLiteral("com: none, COM1 to COM9 are taken by other ports (%1)").arg(pty.PublishedPath()));
  }
  Say(QStringLiteral("status: %1, mode: %2")
          .arg(QString::fromStdString(model.StatusCode()), QLatin1String(dzsim::MisbehaviourName(behaviour.mode))));

  const int rc = app.exec();
  pty.Close();
  for (auto& server : servers) server->Close();
  Say(QStringLiteral("stopped"));
  return rc;
}
