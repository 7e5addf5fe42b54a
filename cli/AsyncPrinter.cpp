#include "AsyncPrinter.h"

#include "FieldChecks.h"
#include "SerialOpenError.h"
#include "SerialPortMap.h"

namespace {

// The channel of a target: LAN to its resolved address, the serial device
// (or the one behind COMn), or USB through the library.
std::unique_ptr<dz::PrinterChannel> ChannelFor(const Target& p_objTarget) {
  switch (p_objTarget.kind) {
    case Target::Lan:
      return dz::PrinterChannel::ForLan(p_objTarget.address, p_objTarget.port);
    case Target::Com: {
      // No device behind the entry: the channel is never opened (Resolved()).
      const std::optional<SerialPortInfo> port = ResolveComPort(p_objTarget.com);
      return dz::PrinterChannel::ForSerial(port ? port->m_sDevice : QString(), p_objTarget.serialSettings);
    }
    case Target::Serial:
      return dz::PrinterChannel::ForSerial(p_objTarget.device, p_objTarget.serialSettings);
    case Target::Usb:
      break;
  }
  return dz::PrinterChannel::ForUsb(p_objTarget.usbLibrary);
}

}  // namespace

AsyncPrinter::AsyncPrinter(const Target& p_objTarget, double p_dTimeoutSeconds, QObject* p_objParent)
    : QObject(p_objParent), m_objTarget(p_objTarget), m_objChannel(ChannelFor(p_objTarget)) {
  m_objChannel->SetTimeoutMs(static_cast<int>(p_dTimeoutSeconds * 1000));
}

bool AsyncPrinter::Fail(const QString& p_sWhat) {
  m_sError = p_sWhat;
  return false;
}

bool AsyncPrinter::Resolved() {
  if (m_objTarget.kind == Target::Lan && m_objTarget.address.isEmpty()) return Fail(m_objTarget.resolveError);
  // COMn is the window's COMn: without a device there, say so as the window does.
  if (m_objTarget.kind == Target::Com && !ResolveComPort(m_objTarget.com))
    return Fail(QStringLiteral("cannot open serial port %1 (%2)")
                    .arg(m_objTarget.Name(), NoDeviceText(m_objTarget.com).section(QLatin1Char('\n'), 0, 0)));
  return true;
}

bool AsyncPrinter::Fail(const dz::PrinterReply& p_objReply, bool p_bNameStep) {
  const QString why = p_objReply.ErrorText();
  if (p_objReply.Error() != dz::ReplyError::OpenFailed) {
    if (!p_bNameStep || p_objReply.FailedStep().empty()) return Fail(why);
    return Fail(QStringLiteral("%1: %2").arg(QString::fromStdString(p_objReply.FailedStep()), why));
  }
  // What the window would have shown follows what happened.
  switch (m_objTarget.kind) {
    case Target::Lan:
      return Fail(QStringLiteral("%1 ('LAN' Open Error !!)").arg(why));
    case Target::Com:
    case Target::Serial:
      return Fail(QStringLiteral("cannot open serial port %1 (%2)").arg(m_objTarget.Name(), why));
    case Target::Usb:
      break;
  }
  return Fail(QStringLiteral("cannot open the USB printer (%1)").arg(why));
}

void AsyncPrinter::Status(std::function<void(bool, const QString&, const QString&)> p_fnDone) {
  if (!Resolved()) {
    p_fnDone(false, QString(), QString());
    return;
  }
  dz::PrinterReply* reply = m_objChannel->RequestStatus();
  connect(reply, &dz::PrinterReply::finished, this, [this, reply, p_fnDone] {
    reply->deleteLater();
    if (!reply->IsOk()) {
      Fail(*reply);
      p_fnDone(false, QString(), QString());
      return;
    }
    const QString problem = QString::fromLatin1(CheckStatusReply(reply->StatusReply()).c_str());
    if (!problem.isEmpty()) {
      Fail(problem.startsWith(QLatin1String("unknown status code"))
               ? problem
               : QStringLiteral("unreadable reply: %1").arg(problem));
      p_fnDone(false, QString(), QString());
      return;
    }
    const std::string code = reply->StatusCode();
    p_fnDone(true, reply->StatusText(), QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size())));
  });
}

void AsyncPrinter::ReadRecords(const std::vector<int>& p_objKinds, Done p_fnDone) {
  if (!Resolved()) {
    p_fnDone(false);
    return;
  }
  dz::PrinterReply* reply = m_objChannel->ReadRecords(p_objKinds);
  connect(reply, &dz::PrinterReply::finished, this, [this, reply, p_fnDone] {
    reply->deleteLater();
    if (!reply->IsOk()) {
      p_fnDone(Fail(*reply));
      return;
    }
    // A record whose fields are no values of their items fails the printer,
    // so nothing of it is used.
    for (const dz::PrinterRecord& record : reply->Records()) {
      const std::string problem = CheckRecordReply(record.kind, record.frame);
      if (!problem.empty()) {
        p_fnDone(Fail(QStringLiteral("unreadable reply to %1: %2")
                          .arg(QString::fromLatin1(BuildReadRecordCommand(record.kind).c_str()),
                               QString::fromLatin1(problem.c_str()))));
        return;
      }
    }
    p_fnDone(dz::StoreRecords(*reply, m_objItems) || Fail(QStringLiteral("no record arrived")));
  });
}

void AsyncPrinter::Send(const std::vector<std::string>& p_objLines, Done p_fnDone) {
  Run(WriteSequence(p_objLines), [p_fnDone](bool p_bOk, const QString&) { p_fnDone(p_bOk); });
}

void AsyncPrinter::Run(const PrinterSequence& p_objSequence, std::function<void(bool, const QString&)> p_fnDone) {
  if (!Resolved()) {
    p_fnDone(false, QString());
    return;
  }
  dz::PrinterReply* reply = m_objChannel->RunSequence(p_objSequence);
  const bool several = p_objSequence.steps.size() > 1;
  connect(reply, &dz::PrinterReply::finished, this, [this, reply, several, p_fnDone] {
    reply->deleteLater();
    if (!reply->IsOk()) {
      p_fnDone(Fail(*reply, several), QString());
      return;
    }
    p_fnDone(true, reply->StatusText());
  });
}
