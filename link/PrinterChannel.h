#pragma once
// One printer's channel: it owns one transport and a queue of requests, sends
// them one at a time and hands each answer back as a reply object. Every
// request has its own time-out; every pending reply fails when the link
// closes or fails. Many channels share one event loop: nothing here waits.
//
//   auto channel = dz::PrinterChannel::ForLan("127.0.0.1", 8000);
//   dz::PrinterReply* reply = channel->RequestStatus();
//   QObject::connect(reply, &dz::PrinterReply::finished, [reply] {
//     if (reply->IsOk()) use(reply->StatusCode(), reply->StatusText());
//     else report(reply->Error(), reply->ErrorText());
//     reply->deleteLater();
//   });
//
// A request on a closed channel opens it first; requests queued meanwhile
// fail with OpenFailed when the link cannot be opened.
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ByteTransport.h"
#include "Commands.h"
#include "PrinterReply.h"
#include "PrinterSequences.h"
#include "ReplyFramer.h"

class CItemManager;

namespace dz {

class PrinterChannel : public QObject {
  Q_OBJECT
 public:
  // A channel over a transport it owns.
  explicit PrinterChannel(std::unique_ptr<ByteTransport> p_objTransport, QObject* p_objParent = nullptr);
  // Pending replies fail with Cancelled.
  ~PrinterChannel() override;

  // The printer's LAN interface at HOST:PORT (an address or a name).
  static std::unique_ptr<PrinterChannel> ForLan(const QString& p_sHost, quint16 p_iPort,
                                                QObject* p_objParent = nullptr);
  // A serial device with a settings text such as "9600,E,8,1".
  static std::unique_ptr<PrinterChannel> ForSerial(const QString& p_sDevice, const QString& p_sSettings,
                                                   QObject* p_objParent = nullptr);
  // USB through the transfer library (empty path: beside the executable,
  // then the system's library path).
  static std::unique_ptr<PrinterChannel> ForUsb(const QString& p_sLibraryPath, QObject* p_objParent = nullptr);

  // The time each request may take from being sent to its whole reply (also
  // the bound of opening the link). Default 2000 ms. Only the reply a request
  // expects counts; anything else the printer sends meanwhile is passed over.
  void SetTimeoutMs(int p_iMs);
  int TimeoutMs() const { return m_iTimeoutMs; }

  void Open();
  // Closes the link; pending replies fail with Cancelled.
  void Close();
  bool IsOpen() const { return m_objTransport->IsOpen(); }
  ByteTransport& Transport() { return *m_objTransport; }

  // "{WS|}": a status reply.
  PrinterReply* RequestStatus();
  // "{HD001,A|}": the head check, answered with a status reply.
  PrinterReply* RequestHeadCheck();
  // "{Z5;" k "|}" for each kind in turn: the reply finishes once every record
  // has arrived whole (or at the first that does not).
  PrinterReply* ReadRecords(const std::vector<int>& p_objKinds);
  PrinterReply* ReadRecord(int p_iKind) { return ReadRecords({p_iKind}); }
  // A command that expects no reply: finished once the link took it.
  PrinterReply* SendCommand(const std::string& p_sText);
  PrinterReply* SendCommand(const Bytes& p_byCommand);
  // A whole printer operation (PrinterSequences.h) as one request: its steps
  // for this link in turn, each with its reply and the pause after it. It
  // stops at the first step that fails; the reply names it (FailedStep) and
  // holds every status reply and record that came before.
  PrinterReply* RunSequence(const PrinterSequence& p_objSequence);

  // Requests queued or in flight.
  size_t PendingCount() const { return m_objQueue.size(); }

 signals:
  void opened();
  void closed();
  // The link failed (open, write, lost) with the operating system's reason.
  void errorOccurred(dz::ReplyError p_eError, const QString& p_sReason);

 private:
  struct Step {
    Bytes command;
    int32_t replySize = 0;
    int readKind = -1;  // record steps: the kind; status steps -1
    bool expectsReply = false;
    int pauseAfterMs = 0;
    std::string name;
  };
  struct Request {
    QPointer<PrinterReply> reply;
    std::vector<Step> steps;
    size_t next = 0;  // the step in flight or to send
    QElapsedTimer clock;
  };

  PrinterReply* Enqueue(PrinterReply::Type p_eType, std::vector<Step> p_objSteps);
  void Pump();
  void SendStep();
  void OnOpened();
  void OnBytes(const QByteArray& p_byData);
  void OnWritten();
  void OnTransferEnded();
  void OnTransportError(TransportError p_eError, const QString& p_sReason);
  void OnTimeout();
  void HandleFrame(const ReplyFrame& p_objFrame);
  void StepDone();
  void NextStep();
  void FinishHead(ReplyError p_eError, const QString& p_sText);
  void FailAll(ReplyError p_eError, const QString& p_sText);

  std::unique_ptr<ByteTransport> m_objTransport;
  ReplyFramer m_objFramer;
  std::deque<Request> m_objQueue;
  QTimer m_objTimer;  // the time-out of the step in flight, or of opening
  QTimer m_objPause;  // the printer's time to act after a step
  int m_iTimeoutMs = 2000;
  bool m_bOpening = false;
  bool m_bInFlight = false;  // the head request's current step has been written
};

// The field texts of a record frame of a read kind, in item-group order (as
// many whole fields as the frame holds).
std::vector<std::string> DecodeRecordFields(int p_iKind, const Bytes& p_byFrame);
// Stores the records of a finished read into a catalogue, as the window's
// receive path does (the Parameter record's font code converted).
bool StoreRecords(const PrinterReply& p_objReply, CItemManager& p_objItems);

}  // namespace dz
