#include "LanStatusProbe.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include "MaintenanceCommands.h"
#include "Replies.h"

namespace exporter {

namespace {

// One probe in flight: its socket, its deadline and what has arrived.
class PendingProbe : public QObject {
 public:
  PendingProbe(QObject* p_pParent, const ProbeRequest& p_objRequest, ProbeDone p_fnDone)
      : QObject(p_pParent), m_objRequest(p_objRequest), m_fnDone(std::move(p_fnDone)), m_objSocket(this) {
    m_objTimer.setSingleShot(true);
    m_objTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_objTimer, &QTimer::timeout, this, [this] {
      Finish(m_objResult.answered ? ProbeOutcome::Success : ProbeOutcome::Timeout,
             m_objResult.answered ? QStringLiteral("record %1 did not arrive in time").arg(CurrentKind())
                                  : QStringLiteral("no status reply in time"));
    });
    connect(&m_objSocket, &QTcpSocket::connected, this, [this] { Send(BuildStatusCommand()); });
    connect(&m_objSocket, &QTcpSocket::readyRead, this, [this] { OnData(); });
    connect(&m_objSocket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
      Finish(m_objResult.answered ? ProbeOutcome::Success : ProbeOutcome::Unreachable, m_objSocket.errorString());
    });
  }

  void Begin() {
    m_objTimer.start(static_cast<int>(std::max<qint64>(0, m_objRequest.deadline.remainingTime())));
    m_objSocket.connectToHost(m_objRequest.address, m_objRequest.port);
  }

 private:
  int CurrentKind() const { return m_iStep < m_objRequest.readKinds.size() ? m_objRequest.readKinds[m_iStep] : -1; }

  void Send(const std::string& p_sCommand) {
    m_objBuffer.clear();
    m_objSocket.write(p_sCommand.data(), static_cast<qint64>(p_sCommand.size()));
  }

  void OnData() {
    const QByteArray data = m_objSocket.readAll();
    m_objBuffer.insert(m_objBuffer.end(), data.begin(), data.end());
    if (m_bDone || m_objBuffer.empty()) return;
    if (!m_objResult.answered) {
      if (m_objBuffer[0] != kSoh) return Finish(ProbeOutcome::BadReply, QStringLiteral("not a status reply"));
      if (m_objBuffer.size() < static_cast<size_t>(kStatusReplyLength)) return;
      m_objResult.answered = true;
      m_objResult.code = StatusCodeOf(m_objBuffer);
      int received = 0;
      GetStatusMessage(m_objResult.code, m_objResult.text, received);
      return Next();
    }
    if (m_objBuffer[0] != kRecordStart)
      return Finish(ProbeOutcome::Success, QStringLiteral("record %1: not a record reply").arg(CurrentKind()));
    const size_t length = static_cast<size_t>(GetRecordWidth(CurrentKind()) + 4);
    if (m_objBuffer.size() < length) return;
    m_objBuffer.resize(length);
    m_objResult.records[CurrentKind()] = m_objBuffer;
    ++m_iStep;
    Next();
  }

  // The next record to read, or the end.
  void Next() {
    if (m_iStep >= m_objRequest.readKinds.size()) {
      m_objResult.recordsRead = !m_objRequest.readKinds.empty();
      return Finish(ProbeOutcome::Success, QString());
    }
    Send(BuildReadRecordCommand(CurrentKind()));
  }

  void Finish(ProbeOutcome p_eOutcome, const QString& p_sError) {
    if (m_bDone) return;
    m_bDone = true;
    m_objTimer.stop();
    m_objSocket.abort();
    m_objResult.outcome = p_eOutcome;
    m_objResult.error = p_sError;
    const ProbeDone done = std::move(m_fnDone);
    const ProbeResult result = m_objResult;
    deleteLater();
    done(result);
  }

  ProbeRequest m_objRequest;
  ProbeDone m_fnDone;
  QTcpSocket m_objSocket;
  QTimer m_objTimer;
  Bytes m_objBuffer;
  ProbeResult m_objResult;
  size_t m_iStep = 0;
  bool m_bDone = false;
};

}  // namespace

void LanStatusProbe::Start(const ProbeRequest& p_objRequest, ProbeDone p_fnDone) {
  (new PendingProbe(this, p_objRequest, std::move(p_fnDone)))->Begin();
}

}  // namespace exporter
