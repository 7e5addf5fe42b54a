// check: one printer in the monitoring-plugins convention (Nagios, Icinga,
// Naemon, Checkmk): one line "DAZAVU STATE - target text | perfdata", the
// differing settings of a profile as long output, exit 0 OK, 1 WARNING,
// 2 CRITICAL, 3 UNKNOWN.
#include "Commands.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <memory>
#include <set>

#include "DriftProfile.h"
#include "Output.h"
#include "PrinterChannel.h"
#include "SerialOpenError.h"
#include "SerialPortMap.h"
#include "StatusConditions.h"

namespace cli {

namespace {

enum CheckState { kOk = 0, kWarning = 1, kCritical = 2, kUnknown = 3 };
const char* const kStateNames[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};

int Say(CheckState p_eState, const QString& p_sText, const QString& p_sPerfData = QString(),
        const QStringList& p_objLongOutput = {}) {
  // One line, and no "|" before the performance data.
  QString text = p_sText.simplified();
  text.replace(QLatin1Char('|'), QLatin1Char('/'));
  QString line = QStringLiteral("DAZAVU %1 - %2").arg(QLatin1String(kStateNames[p_eState]), text);
  if (!p_sPerfData.isEmpty()) line += QStringLiteral(" | ") + p_sPerfData;
  Print(stdout, line + QLatin1Char('\n'));
  for (const QString& extra : p_objLongOutput) Print(stdout, extra + QLatin1Char('\n'));
  return p_eState;
}

// "04,05": the codes of a --warning or --critical list.
bool ParseCodes(const QString& p_sText, std::set<std::string>& p_objCodes) {
  p_objCodes.clear();
  if (p_sText.trimmed().isEmpty()) return true;  // an empty list: no code
  for (const QString& part : p_sText.split(QLatin1Char(','))) {
    const QString code = part.trimmed();
    if (code.size() != 2 || code[0].unicode() < 0x21 || code[0].unicode() > 0x7E || code[1].unicode() < 0x21 ||
        code[1].unicode() > 0x7E)
      return false;
    p_objCodes.insert(code.toStdString());
  }
  return true;
}

// The channel to the printer of the target; nullptr and the reason when a
// COM entry has no port behind it.
std::unique_ptr<dz::PrinterChannel> ChannelTo(const Target& p_objTarget, QString& p_sError) {
  switch (p_objTarget.kind) {
    case Target::Lan:
      if (p_objTarget.address.isEmpty()) {
        p_sError = p_objTarget.resolveError;
        return nullptr;
      }
      return dz::PrinterChannel::ForLan(p_objTarget.address, p_objTarget.port);
    case Target::Serial:
      return dz::PrinterChannel::ForSerial(p_objTarget.device, p_objTarget.serialSettings);
    case Target::Com: {
      const std::optional<SerialPortInfo> port = ResolveComPort(p_objTarget.com);
      if (!port) {
        p_sError =
            QStringLiteral("cannot open serial port %1 (%2)").arg(p_objTarget.Name(), NoDeviceText(p_objTarget.com));
        return nullptr;
      }
      return dz::PrinterChannel::ForSerial(port->m_sDevice, p_objTarget.serialSettings);
    }
    case Target::Usb:
      return dz::PrinterChannel::ForUsb(p_objTarget.usbLibrary);
  }
  return nullptr;
}

// Sleeps in the event loop until the reply has finished; the channel's own
// time-out ends it at the latest.
void Await(dz::PrinterReply& p_objReply) {
  if (p_objReply.IsFinished()) return;
  QEventLoop loop;
  QObject::connect(&p_objReply, &dz::PrinterReply::finished, &loop, &QEventLoop::quit);
  loop.exec();
}

QString PerfTime(double p_dSeconds) { return QStringLiteral("time=%1s;;;0").arg(p_dSeconds, 0, 'f', 6); }

}  // namespace

int Check(const Options& p_objOptions) {
  if (p_objOptions.targets.size() != 1 || !p_objOptions.positional.isEmpty())
    return Say(kUnknown,
               QStringLiteral("name exactly one printer: --lan HOST[:PORT], --com N, --serial DEVICE or --usb"));
  std::set<std::string> warning, critical;
  for (const dz::StatusCondition& row : dz::StatusConditions()) {
    if (row.severity == dz::Severity::Warning) warning.insert(row.code);
    if (row.severity == dz::Severity::Critical) critical.insert(row.code);
  }
  if (p_objOptions.Has("warning") && !ParseCodes(p_objOptions.Value("warning"), warning))
    return Say(kUnknown, QStringLiteral("--warning takes status codes such as 04,05"));
  if (p_objOptions.Has("critical") && !ParseCodes(p_objOptions.Value("critical"), critical))
    return Say(kUnknown, QStringLiteral("--critical takes status codes such as 11,13"));
  std::unique_ptr<DriftProfile> profile;
  if (p_objOptions.Has("profile")) {
    QString error;
    profile = DriftProfile::Load(p_objOptions.Value("profile"), error);
    if (!profile) return Say(kUnknown, error);
  }

  QElapsedTimer clock;
  clock.start();
  std::vector<Target> targets = p_objOptions.targets;
  ResolveTargets(targets);  // a host name, once
  const Target& target = targets.front();
  QString error;
  std::unique_ptr<dz::PrinterChannel> channel = ChannelTo(target, error);
  if (!channel)
    return Say(kCritical, QStringLiteral("%1 does not answer: %2").arg(target.Name(), error),
               PerfTime(static_cast<double>(clock.nsecsElapsed()) / 1e9));
  channel->SetTimeoutMs(static_cast<int>(p_objOptions.timeout * 1000));
  const std::unique_ptr<dz::PrinterReply> status(channel->RequestStatus());
  Await(*status);
  if (!status->IsOk())
    return Say(kCritical, QStringLiteral("%1 does not answer: %2").arg(target.Name(), status->ErrorText()),
               PerfTime(static_cast<double>(clock.nsecsElapsed()) / 1e9));
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  const std::string code = status->StatusCode();
  const QString text = status->StatusText().trimmed();
  CheckState state = critical.count(code)                       ? kCritical
                     : warning.count(code)                      ? kWarning
                     : dz::FindStatusCondition(code) != nullptr ? kOk
                                                                : kUnknown;
  const QString codeText = QString::fromStdString(dz::PrintableCode(code));
  QString summary = QStringLiteral("%1 %2").arg(target.Name(),
                                                text.isEmpty() ? QStringLiteral("status code %1").arg(codeText) : text);
  if (state == kUnknown) summary += QStringLiteral(" (unknown status code %1)").arg(codeText);
  QString perfData = PerfTime(seconds);
  QStringList longOutput;
  if (profile) {
    const std::unique_ptr<dz::PrinterReply> records(channel->ReadRecords(profile->ReadKinds()));
    Await(*records);
    CItemManager printer;
    if (!records->IsOk() || !dz::StoreRecords(*records, printer)) {
      state = std::max(state, kWarning);
      summary += QStringLiteral(", settings not read: %1").arg(records->ErrorText());
    } else {
      const std::vector<Difference> differences = profile->Compare(printer);
      if (!differences.empty()) {
        state = state == kUnknown ? kUnknown : std::max(state, kWarning);
        summary += QStringLiteral(", %1 setting(s) differ from %2").arg(differences.size()).arg(profile->Path());
      }
      for (const Difference& difference : differences) longOutput << DifferenceLine(difference);
      perfData += QStringLiteral(" differences=%1;1;;0").arg(differences.size());
    }
  }
  return Say(state, summary, perfData, longOutput);
}

}  // namespace cli
