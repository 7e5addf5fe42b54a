#pragma once
// What a request to a printer comes back as: a reply object that finishes
// exactly once (its own time-out included), then says how it went and what
// the printer answered. Whoever sent the request owns the reply; delete it
// (deleteLater) once finished, or earlier to drop interest in it.
#include <QObject>
#include <QString>
#include <string>
#include <vector>

#include "Commands.h"

namespace dz {

// Why a request failed.
enum class ReplyError {
  None,              // it went well
  OpenFailed,        // the link could not be opened (refused, no device, no library)
  SendFailed,        // the link did not take the command
  Timeout,           // no (complete) answer within the request's time
  ConnectionClosed,  // the link closed or failed while the request was pending
  Unreadable,        // the reply holds what cannot be used (the caller's checks)
  Cancelled,         // the channel was closed or destroyed by its owner
};

// A short name of the error kind ("timeout", "connection closed", ...).
QString ReplyErrorName(ReplyError p_eError);

// One parameter record as the printer sent it: the read kind, the frame
// (fields from byte 2) and the texts of its fields in item-group order.
struct PrinterRecord {
  int kind = -1;
  Bytes frame;
  std::vector<std::string> fields;
};

class PrinterReply : public QObject {
  Q_OBJECT
 public:
  enum class Type {
    Command,  // a command without a reply: finished once the link took it
    Status,   // a status request or head check: a status reply
    Records,  // a read of one or more records
  };

  explicit PrinterReply(Type p_eType, QObject* p_objParent = nullptr) : QObject(p_objParent), m_eType(p_eType) {}

  Type GetType() const { return m_eType; }
  bool IsFinished() const { return m_bFinished; }
  // Finished without an error.
  bool IsOk() const { return m_bFinished && m_eError == ReplyError::None; }
  ReplyError Error() const { return m_eError; }
  // What went wrong, in the link's or the operating system's words.
  QString ErrorText() const { return m_sErrorText; }

  // Status replies: the 13 bytes, the two-character code and its text from
  // the status table (empty for "40" and for codes absent from the table).
  const Bytes& StatusReply() const { return m_byStatus; }
  std::string StatusCode() const { return m_sStatusCode; }
  QString StatusText() const { return m_sStatusText; }
  // The code is in the status table (the reply-received mark).
  bool IsKnownStatus() const { return m_bKnownStatus; }

  // Record reads: the records received, in the order asked for.
  const std::vector<PrinterRecord>& Records() const { return m_objRecords; }

  // The step of a sequence that failed (empty when none did).
  std::string FailedStep() const { return m_sFailedStep; }
  void SetFailedStep(const std::string& p_sStep) { m_sFailedStep = p_sStep; }

  // Milliseconds from the request being sent to the reply finishing.
  qint64 ElapsedMs() const { return m_iElapsedMs; }

  // Filled in by the channel.
  void SetStatus(const Bytes& p_byReply);
  void AddRecord(PrinterRecord p_objRecord) { m_objRecords.push_back(std::move(p_objRecord)); }
  void SetElapsedMs(qint64 p_iMs) { m_iElapsedMs = p_iMs; }
  // Finishes the reply (once; later calls are ignored) and emits finished.
  void Finish(ReplyError p_eError = ReplyError::None, const QString& p_sText = QString());

 signals:
  // Emitted exactly once.
  void finished();

 private:
  Type m_eType;
  bool m_bFinished = false;
  ReplyError m_eError = ReplyError::None;
  QString m_sErrorText;
  Bytes m_byStatus;
  std::string m_sStatusCode;
  QString m_sStatusText;
  bool m_bKnownStatus = false;
  std::vector<PrinterRecord> m_objRecords;
  qint64 m_iElapsedMs = 0;
  std::string m_sFailedStep;
};

}  // namespace dz
