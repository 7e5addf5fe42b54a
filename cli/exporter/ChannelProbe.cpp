#include "ChannelProbe.h"

#include <QTimer>
#include <memory>

#include "PrinterChannel.h"

namespace exporter {

namespace {

ProbeOutcome OutcomeOf(dz::ReplyError p_eError) {
  switch (p_eError) {
    case dz::ReplyError::None:
      return ProbeOutcome::Success;
    case dz::ReplyError::Timeout:
      return ProbeOutcome::Timeout;
    case dz::ReplyError::Unreadable:
      return ProbeOutcome::BadReply;
    default:
      return ProbeOutcome::Unreachable;
  }
}

// One probe in flight: its channel, its deadline and what has arrived.
// Deletes itself (and so closes the channel) once it has called back.
class PendingProbe : public QObject {
 public:
  PendingProbe(QObject* p_pParent, const ProbeRequest& p_objRequest, ProbeDone p_fnDone)
      : QObject(p_pParent),
        m_objRequest(p_objRequest),
        m_fnDone(std::move(p_fnDone)),
        m_objChannel(dz::PrinterChannel::ForLan(p_objRequest.address.toString(), p_objRequest.port)) {
    // The channel passes over bytes that are no reply; a printer that sent
    // some but never a reply answered wrongly rather than not at all.
    connect(&m_objChannel->Transport(), &dz::ByteTransport::bytesReceived, this,
            [this](const QByteArray& p_byData) { m_bBytesSeen = m_bBytesSeen || !p_byData.isEmpty(); });
    // The deadline holds whatever the channel's own time-outs do.
    m_objDeadline.setSingleShot(true);
    m_objDeadline.setTimerType(Qt::PreciseTimer);
    connect(&m_objDeadline, &QTimer::timeout, this, [this] {
      Finish(m_objResult.answered ? ProbeOutcome::Success
             : m_bBytesSeen       ? ProbeOutcome::BadReply
                                  : ProbeOutcome::Timeout,
             m_objResult.answered ? QStringLiteral("the records did not arrive in time")
                                  : QStringLiteral("no status reply in time"));
    });
  }

  // The channel goes first, while everything its replies may call is there.
  ~PendingProbe() override { m_objChannel.reset(); }

  void Begin() {
    m_objDeadline.start(RemainingMs());
    m_objChannel->SetTimeoutMs(RemainingMs());
    Await(m_objChannel->RequestStatus(), [this](const dz::PrinterReply& reply) {
      if (!reply.IsOk()) {
        if (reply.Error() == dz::ReplyError::Timeout && m_bBytesSeen)
          return Finish(ProbeOutcome::BadReply, QStringLiteral("the printer answered, but not with a status reply"));
        return Finish(OutcomeOf(reply.Error()), reply.ErrorText());
      }
      m_objResult.answered = true;
      m_objResult.code = reply.StatusCode();
      m_objResult.text = reply.StatusText().toLatin1().toStdString();
      if (m_objRequest.readKinds.empty()) return Finish(ProbeOutcome::Success, QString());
      m_objChannel->SetTimeoutMs(RemainingMs());
      Await(m_objChannel->ReadRecords(m_objRequest.readKinds), [this](const dz::PrinterReply& records) {
        if (!records.IsOk()) return Finish(ProbeOutcome::Success, records.ErrorText());
        for (const dz::PrinterRecord& record : records.Records()) m_objResult.records[record.kind] = record.frame;
        m_objResult.recordsRead = true;
        Finish(ProbeOutcome::Success, QString());
      });
    });
  }

 private:
  int RemainingMs() const { return static_cast<int>(std::max<qint64>(1, m_objRequest.deadline.remainingTime())); }

  // Calls p_fnThen with the reply once it has finished, unless the probe
  // has ended before; the reply goes with this probe or after its call.
  template <typename Then>
  void Await(dz::PrinterReply* p_pReply, Then p_fnThen) {
    p_pReply->setParent(this);
    connect(p_pReply, &dz::PrinterReply::finished, this, [this, p_pReply, p_fnThen] {
      p_pReply->deleteLater();
      if (!m_bDone) p_fnThen(*p_pReply);
    });
  }

  void Finish(ProbeOutcome p_eOutcome, const QString& p_sError) {
    if (m_bDone) return;
    m_bDone = true;
    m_objDeadline.stop();
    m_objResult.outcome = p_eOutcome;
    m_objResult.error = p_sError;
    const ProbeDone done = std::move(m_fnDone);
    const ProbeResult result = m_objResult;
    deleteLater();
    done(result);
  }

  ProbeRequest m_objRequest;
  ProbeDone m_fnDone;
  std::unique_ptr<dz::PrinterChannel> m_objChannel;
  QTimer m_objDeadline;
  ProbeResult m_objResult;
  bool m_bDone = false;
  bool m_bBytesSeen = false;
};

}  // namespace

void ChannelProbe::Start(const ProbeRequest& p_objRequest, ProbeDone p_fnDone) {
  (new PendingProbe(this, p_objRequest, std::move(p_fnDone)))->Begin();
}

}  // namespace exporter
