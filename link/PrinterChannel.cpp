#include "PrinterChannel.h"

#include "CItemManager.h"
#include "LanPipe.h"
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
  m_objPause.setSingleShot(true);
  connect(&m_objPause, &QTimer::timeout, this, &PrinterChannel::NextStep);
  ByteTransport* transport = m_objTransport.get();
  connect(transport, &ByteTransport::opened, this, &PrinterChannel::OnOpened);
  connect(transport, &ByteTransport::closed, this, [this] {
    FailAll(ReplyError::ConnectionClosed, QStringLiteral("the printer closed the connection"));
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

void PrinterChannel::SetTimeoutMs(int p_iMs) {
  m_iTimeoutMs = p_iMs > 0 ? p_iMs : 1;
  // The USB read passes end with the request's time.
  if (auto* usb = qobject_cast<UsbPipe*>(m_objTransport.get())) usb->SetReplyWaitMs(m_iTimeoutMs);
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

PrinterReply* PrinterChannel::RequestStatus() { return RunSequence(StatusSequence()); }

PrinterReply* PrinterChannel::RequestHeadCheck() {
  PrinterSequence check = HeadCheckSequence();
  // Only the check itself: the USB re-ask belongs to the whole operation.
  check.steps.resize(1);
  return RunSequence(check);
}

PrinterReply* PrinterChannel::ReadRecords(const std::vector<int>& p_objKinds) {
  return RunSequence(ReadSequence(p_objKinds));
}

PrinterReply* PrinterChannel::SendCommand(const std::string& p_sText) { return SendCommand(ToBytes(p_sText)); }

PrinterReply* PrinterChannel::SendCommand(const Bytes& p_byCommand) {
  return Enqueue(PrinterReply::Type::Command, {{p_byCommand, 0, -1, false, 0, "command"}});
}

PrinterReply* PrinterChannel::RunSequence(const PrinterSequence& p_objSequence) {
  std::vector<Step> steps;
  PrinterReply::Type type = PrinterReply::Type::Command;
  for (const SequenceStep& step : StepsForLink(p_objSequence, m_objTransport->Rule() == FramingRule::Usb)) {
    Step out{ToBytes(step.command), 0, -1, step.reply != StepReply::None, step.pauseAfterMs, step.name};
    if (step.reply == StepReply::Status) {
      out.replySize = kStatusReplyLength;
      if (type == PrinterReply::Type::Command) type = PrinterReply::Type::Status;
    } else if (step.reply == StepReply::Record) {
      out.replySize = GetReplyLength(step.readKind);
      out.readKind = step.readKind;
      type = PrinterReply::Type::Records;
    }
    steps.push_back(std::move(out));
  }
  return Enqueue(type, std::move(steps));
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
    FinishHead(ReplyError::SendFailed, QStringLiteral("the link did not take the command"));
}

void PrinterChannel::OnOpened() {
  m_bOpening = false;
  m_objTimer.stop();
  emit opened();
  Pump();
}

void PrinterChannel::OnWritten() {
  if (!m_bInFlight || m_objQueue.empty() || m_objPause.isActive()) return;
  const Request& request = m_objQueue.front();
  if (!request.steps[request.next].expectsReply) StepDone();
}

void PrinterChannel::OnBytes(const QByteArray& p_byData) {
  // Bytes nobody asked for are dropped: they cannot be the next reply.
  if (!m_bInFlight || m_objQueue.empty() || m_objPause.isActive()) return;
  const Request& request = m_objQueue.front();
  if (!request.steps[request.next].expectsReply) return;
  std::vector<ReplyFrame> frames;
  m_objFramer.Feed(reinterpret_cast<const uint8_t*>(p_byData.constData()), static_cast<size_t>(p_byData.size()),
                   frames);
  for (const ReplyFrame& frame : frames) {
    if (!m_bInFlight) break;
    HandleFrame(frame);
  }
}

void PrinterChannel::OnTransferEnded() {
  if (!m_bInFlight || m_objQueue.empty() || m_objPause.isActive()) return;
  const Request& request = m_objQueue.front();
  if (!request.steps[request.next].expectsReply) {
    StepDone();
    return;
  }
  // The read passes are over: no more bytes come for this command.
  FinishHead(ReplyError::Timeout, QStringLiteral("no answer"));
}

void PrinterChannel::HandleFrame(const ReplyFrame& p_objFrame) {
  Request& request = m_objQueue.front();
  const Step& step = request.steps[request.next];
  // Only the reply the step expects counts: anything else (an echo, noise,
  // a record where a status reply is due) is passed over, and the step
  // ends in its time-out unless the right reply still comes.
  if (step.readKind < 0) {
    if (p_objFrame.type != FrameType::Status) return;
    request.reply->SetStatus(p_objFrame.bytes);
  } else {
    if (p_objFrame.type != FrameType::Record || !ReplyFramer::HoldsAllFields(p_objFrame.bytes, step.readKind)) return;
    request.reply->AddRecord({step.readKind, p_objFrame.bytes, DecodeRecordFields(step.readKind, p_objFrame.bytes)});
  }
  StepDone();
}

void PrinterChannel::StepDone() {
  Request& request = m_objQueue.front();
  m_objTimer.stop();
  const int pause = request.steps[request.next].pauseAfterMs;
  if (pause > 0 && request.reply) {
    // The printer's time to act; nothing it sends meanwhile is a reply.
    m_objPause.start(pause);
    return;
  }
  NextStep();
}

void PrinterChannel::NextStep() {
  if (m_objQueue.empty()) return;
  Request& request = m_objQueue.front();
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
    FailAll(ReplyError::OpenFailed, QStringLiteral("no connection within %1").arg(Seconds(m_iTimeoutMs)));
    return;
  }
  if (!m_bInFlight || m_objQueue.empty()) return;
  // Only a whole reply counts: one that stopped short is no answer.
  FinishHead(ReplyError::Timeout, QStringLiteral("no answer within %1").arg(Seconds(m_iTimeoutMs)));
}

void PrinterChannel::OnTransportError(TransportError p_eError, const QString& p_sReason) {
  switch (p_eError) {
    case TransportError::OpenFailed:
      m_bOpening = false;
      m_objTimer.stop();
      FailAll(ReplyError::OpenFailed, p_sReason);
      emit errorOccurred(ReplyError::OpenFailed, p_sReason);
      break;
    case TransportError::WriteFailed:
      if (m_bInFlight) FinishHead(ReplyError::SendFailed, p_sReason);
      emit errorOccurred(ReplyError::SendFailed, p_sReason);
      break;
    case TransportError::Lost:
      FailAll(ReplyError::ConnectionClosed, p_sReason);
      m_objTransport->Close();
      emit errorOccurred(ReplyError::ConnectionClosed, p_sReason);
      break;
  }
}

void PrinterChannel::FinishHead(ReplyError p_eError, const QString& p_sText) {
  if (m_objQueue.empty()) return;
  m_objTimer.stop();
  m_objPause.stop();
  m_bInFlight = false;
  Request request = std::move(m_objQueue.front());
  m_objQueue.pop_front();
  if (request.reply) {
    if (p_eError != ReplyError::None && request.next < request.steps.size())
      request.reply->SetFailedStep(request.steps[request.next].name);
    request.reply->SetElapsedMs(request.clock.isValid() ? request.clock.elapsed() : 0);
    request.reply->Finish(p_eError, p_sText);
  }
  // The next request goes out from the event loop, after the reply's owner
  // has seen it finish.
  if (!m_objQueue.empty()) QMetaObject::invokeMethod(this, &PrinterChannel::Pump, Qt::QueuedConnection);
}

void PrinterChannel::FailAll(ReplyError p_eError, const QString& p_sText) {
  m_objTimer.stop();
  m_objPause.stop();
  m_bInFlight = false;
  std::deque<Request> pending;
  pending.swap(m_objQueue);
  for (Request& request : pending)
    if (request.reply) {
      if (request.next < request.steps.size()) request.reply->SetFailedStep(request.steps[request.next].name);
      request.reply->SetElapsedMs(request.clock.isValid() ? request.clock.elapsed() : 0);
      request.reply->Finish(p_eError, p_sText);
    }
}

}  // namespace dz
