// discover: the LAN printers that answer in an address range.
#include "Commands.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

#include "CommandLine.h"
#include "Fleet.h"
#include "Output.h"
#include "AsyncPrinter.h"
#include "FleetLoop.h"
#include "StopSignal.h"

namespace cli {

int Discover(Options p_objOptions, bool p_bProgress) {
  if (p_objOptions.positional.size() != 1)
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("discover takes one CIDR range"));
  const auto subnet = QHostAddress::parseSubnet(p_objOptions.positional[0]);
  if (subnet.first.protocol() != QAbstractSocket::IPv4Protocol || subnet.second < 16 || subnet.second > 32)
    return Refuse(p_objOptions, kExitUsage,
                  QStringLiteral("discover takes an IPv4 range of at most /16, e.g. 127.0.0.0/24"));
  quint16 port = 8000;
  if (p_objOptions.Has("port")) {
    bool ok = false;
    const uint number = p_objOptions.Value("port").toUInt(&ok);
    if (!ok || number == 0 || number > 65535) return Refuse(p_objOptions, kExitUsage, QStringLiteral("bad --port"));
    port = static_cast<quint16>(number);
  }
  const quint32 count = 1u << (32 - subnet.second);
  const quint32 first = subnet.first.toIPv4Address() & ~(count - 1);
  p_objOptions.targets.clear();
  for (quint32 i = 0; i < count; ++i) {
    Target target;
    target.host = QHostAddress(first + i).toString();
    target.address = target.host;
    target.port = port;
    p_objOptions.targets.push_back(target);
  }
  if (!p_objOptions.jobsGiven) p_objOptions.jobs = 64;
  const double timeout = std::min(p_objOptions.timeout, 0.5);
  const std::vector<PrinterResult> results = RunFleetOnLoop(
      p_objOptions.targets, p_objOptions.jobs, p_bProgress,
      [timeout](const Target& target, PrinterResult& result, std::function<void()> done) {
        auto* printer = new AsyncPrinter(target, timeout);
        printer->Status([printer, &target, &result, done](bool ok, const QString& text, const QString& code) {
          printer->deleteLater();
          if (ok) {
            result.ok = true;
            QJsonObject status;
            status[QStringLiteral("text")] = text;
            status[QStringLiteral("code")] = code;
            result.json[QStringLiteral("status")] = status;
            // HOST:PORT first, so that the output is a hosts file.
            result.lines << QStringLiteral("%1\t%2").arg(target.Name(), text.isEmpty() ? QStringLiteral("-") : text);
          }
          done();
        });
      });
  QJsonArray printers;
  QStringList lines;
  for (const PrinterResult& result : results) {
    if (!result.ok) continue;
    printers.append(PrinterJson(result));
    lines << result.lines;
  }
  QJsonObject document;
  document[QStringLiteral("printers")] = printers;
  return Finish(p_objOptions, StopRequested() != 0 ? StoppedExitStatus() : kExitOk, document, lines);
}

}  // namespace cli
