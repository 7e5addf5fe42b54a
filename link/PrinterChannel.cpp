#include "PrinterChannel.h"

#include "CItemManager.h"
#include "LanPipe.h"
#include "MaintenanceCommands.h"
#include "Replies.h"
#include "SerialPipe.h"
#include "UsbPipe.h"

namespace dz {

namespace {

Bytes ToBytes(const std::string& p_sText) {
  Bytes bytes;
  TextToBytes(p_sText, bytes);
  return bytes;
}

QString Seconds(int p_iMs) { return QString::number(p_iMs / 1000.0, 'g', 3) + QStringLiteral(" s"); }

// The field widths of every read kind, taken once from a catalogue.
const CItemManager& FieldLayouts() {
  static const CItemManager items;
  return items;
}

}  // namespace

std::vector<std::string> DecodeRecordFields(int p_iKind, const Bytes& p_byFrame) {
  std::vector<std::string> fields;
  std::vector<CItem*> group;
  if (!const_cast<CItemManager&>(FieldLayouts()).GetItem_ReadKind(p_iKind, group)) return fields;
  size_t position = 2;
  for (const CItem* item : group) {
    const size_t width = item->m_iLength > 0 ? static_cast<size_t>(item->m_iLength) : 0;
    if (position + width > p_byFrame.size()) break;
    fields.push_back(ExtractItemText(*item, p_byFrame, position));
    position += width;
  }
  return fields;
}

bool StoreRecords(const PrinterReply& p_objReply, CItemManager& p_objItems) {
  bool stored = !p_objReply.Records().empty();
  for (const PrinterRecord& record : p_objReply.Records()) {
    bool expected = true;
    stored = StoreRecordReply(p_objItems, record.kind, record.frame, expected) && stored;
  }
  return stored;
}

PrinterChannel::PrinterChannel(std::unique_ptr<ByteTransport> p_objTransport, QObject* p_objParent)
    : QObject(p_objParent), m_objTransport(std::move(p_objTransport)), m_objFramer(m_objTransport->Rule()) {
  m_objTransport->setParent(nullptr);
  m_objTimer.setSingleShot(true);
  connect(&m_objTimer, &QTimer::timeout, this, &PrinterChannel::OnTimeout);
  ByteTransport* transport = m_objTransport.get();
  connect(transport, &ByteTransport::opened, this, &PrinterChannel::OnOpened);
  connect(transport, &ByteTransport::closed, this, [this] {
    FailAll(ReplyError::ConnectionClosed, QStringLiteral("%1 closed the connection").arg(m_objTransport->PeerName()));
    emit closed();
  });
  connect(transport, &ByteTransport::bytesReceived, this, &PrinterChannel::OnBytes);
  connect(transport, &ByteTransport::bytesWritten, this, &PrinterChannel::OnWritten);
  connect(transport, &ByteTransport::transferEnded, this, &PrinterChannel::OnTransferEnded);
  connect(transport, &ByteTransport::errorOccurred, this, &PrinterChannel::OnTransportError);
}

PrinterChannel::~PrinterChannel() {
  m_objTransport->disconnect(this);
  m_objTimer.stop();
  FailAll(ReplyError::Cancelled, QStringLiteral("the channel was closed"));
}

std::unique_ptr<PrinterChannel> PrinterChannel::ForLan(const QString& p_sHost, quint16 p_iPort, QObject* p_objParent) {
  return std::make_unique<PrinterChannel>(std::make_unique<LanPipe>(p_sHost, p_iPort), p_objParent);
}

std::unique_ptr<PrinterChannel> PrinterChannel::ForSerial(const QString& p_sDevice, const QString& p_sSettings,
                                                          QObject* p_objParent) {
  return std::make_unique<PrinterChannel>(std::make_unique<SerialPipe>(p_sDevice, p_sSettings), p_objParent);
}

std::unique_ptr<PrinterChannel> PrinterChannel::ForUsb(const QString& p_sLibraryPath, QObject* p_objParent) {
  return std::make_unique<PrinterChannel>(std::make_unique<UsbPipe>(p_sLibraryPath), p_objParent);
}

void PrinterChannel::Open() {
  if (m_objTransport->IsOpen() || m_bOpening) return;
  m_bOpening = true;
  m_objTimer.start(m_iTimeoutMs);
  m_objTransport->Open();
}

void PrinterChannel::Close() {
  m_objTimer.stop();
  m_bOpening = false;
  FailAll(ReplyError::Cancelled, QStringLiteral("the channel was closed"));
  m_objTransport->Close();
}

PrinterReply* PrinterChannel::RequestStatus() {
  return Enqueue(PrinterReply::Type::Status, {{ToBytes(BuildStatusCommand()), kStatusReplyLength, -1, true}});
}

PrinterReply* PrinterChannel::RequestHeadCheck() {
  return Enqueue(PrinterReply::Type::Status, {{ToBytes(BuildHeadCheckCommand()), kStatusReplyLength, -1, true}});
}

PrinterReply* PrinterChannel::ReadRecords(const std::vector<int>& p_objKinds) {
  std::vector<Step> steps;
  for (int kind : p_objKinds) {
    const std::string text = BuildReadRecordCommand(kind);
    if (text.empty()) continue;
    steps.push_back({ToBytes(text), GetReplyLength(kind), kind, true});
  }
  return Enqueue(PrinterReply::Type::Records, std::move(steps));
}

PrinterReply* PrinterChannel::SendCommand(const std::string& p_sText) { return SendCommand(ToBytes(p_sText)); }

PrinterReply* PrinterChannel::SendCommand(const Bytes& p_byCommand) {
  return Enqueue(PrinterReply::Type::Command, {{p_byCommand, 0, -1, false}});
}

PrinterReply* PrinterChannel::Enqueue(PrinterReply::Type p_eType, std::vector<Step> p_objSteps) {
  auto* reply = new PrinterReply(p_eType);
  if (p_objSteps.empty()) {
    // Nothing to ask: finished as soon as the caller can listen.
    QMetaObject::invokeMethod(
        reply, [reply] { reply->Finish(); }, Qt::QueuedConnection);
    return reply;
  }
  Request request;
  request.reply = reply;
  request.steps = std::move(p_objSteps);
  m_objQueue.push_back(std::move(request));
  // Started from the event loop, so the caller connects to the reply first
  // even when the link fails at once.
  QMetaObject::invokeMethod(this, &PrinterChannel::Pump, Qt::QueuedConnection);
  return reply;
}

void PrinterChannel::Pump() {
  while (!m_objQueue.empty() && !m_objQueue.front().reply) m_objQueue.pop_front();  // owner dropped it
  if (m_objQueue.empty() || m_bInFlight) return;
  if (!m_objTransport->IsOpen()) {
    Open();
    return;
  }
  SendStep();
}

void PrinterChannel::SendStep() {
  Request& request = m_objQueue.front();
  const Step& step = request.steps[request.next];
  m_objFramer.Reset();
  m_objFramer.SetReadKind(step.readKind);
  if (!request.clock.isValid()) request.clock.start();
  m_bInFlight = true;
  m_objTimer.start(m_iTimeoutMs);
  if (!m_objTransport->Write(step.command, step.replySize))
    FinishHead(ReplyError::SendFailed, QStringLiteral("%1 did not take the command").arg(m_objTransport->PeerName()));
}

void PrinterChannel::OnOpened() {
  m_bOpening = false;
  m_objTimer.stop();
  emit opened();
  Pump();
}

void PrinterChannel::OnWritten() {
  if (!m_bInFlight || m_objQueue.empty()) return;
  const Request& request = m_objQueue.front();
  if (!request.steps[request.next].expectsReply) StepDone();
}

void PrinterChannel::OnBytes(const QByteArray& p_byData) {
  // Bytes nobody asked for are dropped: they cannot be the next reply.
  if (!m_bInFlight || m_objQueue.empty()) return;
  const Request& request = m_objQueue.front();
  if (!request.steps[request.next].expectsReply) return;
  std::vector<ReplyFrame> frames;
  m_objFramer.Feed(reinterpret_cast<const uint8_t*>(p_byData.constData()), static_cast<size_t>(p_byData.size()),
                   frames);
  if (!frames.empty()) HandleFrame(frames.front());
}

void PrinterChannel::OnTransferEnded() {
  if (!m_bInFlight || m_objQueue.empty()) return;
  const Request& request = m_objQueue.front();
  if (!request.steps[request.next].expectsReply) {
    StepDone();
    return;
  }
  if (std::optional<ReplyFrame> frame = m_objFramer.Settle()) {
    HandleFrame(*frame);
    return;
  }
  FinishHead(ReplyError::Timeout, QStringLiteral("no answer from %1").arg(m_objTransport->PeerName()));
}

void PrinterChannel::HandleFrame(const ReplyFrame& p_objFrame) {
  Request& request = m_objQueue.front();
  const Step& step = request.steps[request.next];
  if (step.readKind < 0) {
    if (p_objFrame.type != FrameType::Status) {
      FinishHead(ReplyError::Unreadable,
                 QStringLiteral("unreadable reply from %1 (not a status reply)").arg(m_objTransport->PeerName()));
      return;
    }
    request.reply->SetStatus(p_objFrame.bytes);
  } else {
    if (p_objFrame.type != FrameType::Record || !ReplyFramer::HoldsAllFields(p_objFrame.bytes, step.readKind)) {
      FinishHead(
          ReplyError::Unreadable,
          QStringLiteral("unreadable reply from %1 (record %2)").arg(m_objTransport->PeerName()).arg(step.readKind));
      return;
    }
    request.reply->AddRecord({step.readKind, p_objFrame.bytes, DecodeRecordFields(step.readKind, p_objFrame.bytes)});
  }
  StepDone();
}

void PrinterChannel::StepDone() {
  Request& request = m_objQueue.front();
  m_objTimer.stop();
  m_bInFlight = false;
  if (++request.next < request.steps.size() && request.reply) {
    SendStep();
    return;
  }
  FinishHead(ReplyError::None, QString());
}

void PrinterChannel::OnTimeout() {
  if (m_bOpening) {
    m_bOpening = false;
    m_objTransport->Close();
    FailAll(ReplyError::OpenFailed,
            QStringLiteral("no connection to %1 within %2").arg(m_objTransport->PeerName(), Seconds(m_iTimeoutMs)));
    return;
  }
  if (!m_bInFlight || m_objQueue.empty()) return;
  // A reply that stopped short of its last framing bytes still counts when
  // it carries every field.
  if (std::optional<ReplyFrame> frame = m_objFramer.Settle()) {
    HandleFrame(*frame);
    return;
  }
  FinishHead(ReplyError::Timeout,
             QStringLiteral("no answer from %1 within %2").arg(m_objTransport->PeerName(), Seconds(m_iTimeoutMs)));
}

void PrinterChannel::OnTransportError(TransportError p_eError, const QString& p_sReason) {
  const QString peer = m_objTransport->PeerName();
  switch (p_eError) {
    case TransportError::OpenFailed:
      m_bOpening = false;
      m_objTimer.stop();
      FailAll(ReplyError::OpenFailed, QStringLiteral("cannot open %1: %2").arg(peer, p_sReason));
      emit errorOccurred(ReplyError::OpenFailed, p_sReason);
      break;
    case TransportError::WriteFailed:
      if (m_bInFlight) FinishHead(ReplyError::SendFailed, QStringLiteral("cannot send to %1: %2").arg(peer, p_sReason));
      emit errorOccurred(ReplyError::SendFailed, p_sReason);
      break;
    case TransportError::Lost:
      FailAll(ReplyError::ConnectionClosed, QStringLiteral("connection to %1 lost: %2").arg(peer, p_sReason));
      m_objTransport->Close();
      emit errorOccurred(ReplyError::ConnectionClosed, p_sReason);
      break;
  }
}

void PrinterChannel::FinishHead(ReplyError p_eError, const QString& p_sText) {
  if (m_objQueue.empty()) return;
  m_objTimer.stop();
  m_bInFlight = false;
  Request request = std::move(m_objQueue.front());
  m_objQueue.pop_front();
  if (request.reply) {
    request.reply->SetElapsedMs(request.clock.isValid() ? request.clock.elapsed() : 0);
    request.reply->Finish(p_eError, p_sText);
  }
  // The next request goes out from the event loop, after the reply's owner
  // has seen it finish.
  if (!m_objQueue.empty()) QMetaObject::invokeMethod(this, &PrinterChannel::Pump, Qt::QueuedConnection);
}

void PrinterChannel::FailAll(ReplyError p_eError, const QString& p_sText) {
  m_objTimer.stop();
  m_bInFlight = false;
  std::deque<Request> pending;
  pending.swap(m_objQueue);
  for (Request& request : pending)
    if (request.reply) {
      request.reply->SetElapsedMs(request.clock.isValid() ? request.clock.elapsed() : 0);
      request.reply->Finish(p_eError, p_sText);
    }
}

}  // namespace dz
