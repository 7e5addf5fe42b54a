// The printer's serial interface on a pseudo-terminal pair. The simulator
// holds the master side; the tool opens the slave device (SlavePath()) as its
// serial port. The line is raw: every byte passes unchanged both ways.
//
// A pseudo-terminal has no real line settings: the kernel refuses parity and
// 7 data bits on it, so a serial port opened on the slave must use no parity
// and 8 data bits.
#pragma once

#include "PrinterModel.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

namespace dzsim {

class ReplyPacer;

class PtyPrinter : public QObject {
  Q_OBJECT
 public:
  // The model is shared, not owned: it must outlive the printer.
  explicit PtyPrinter(PrinterModel& model, QObject* parent = nullptr);
  ~PtyPrinter() override;

  bool Open();
  void Close();
  bool IsOpen() const { return m_master >= 0; }
  // e.g. "/dev/pts/5"; empty while closed.
  QString SlavePath() const { return m_slavePath; }
  QString ErrorString() const { return m_error; }

  // Makes the slave reachable as a link ttyDZSIM<n> (the first free n) in
  // the folder, which is created with mode 0700 if needed, so that the
  // tool's COM entries include it. The link goes away on Close. Returns
  // false (ErrorString()) when the folder is not this user's own or no
  // link can be made.
  bool Publish(const QString& folder);
  // The link made by Publish; empty when there is none.
  QString PublishedPath() const { return m_published; }

  PrinterModel& Model() { return m_model; }

 signals:
  void commandReceived(const QByteArray& command);
  void replyQueued(const QByteArray& reply);

 private:
  void OnReadable();
  void OnWritable();
  void Write(const QByteArray& bytes);
  void Flush();
  void PauseReading();

  PrinterModel& m_model;
  int m_master = -1;
  int m_slave = -1;
  QString m_slavePath;
  QString m_error;
  QString m_published;
  QSocketNotifier* m_readNotifier = nullptr;
  QSocketNotifier* m_writeNotifier = nullptr;
  ReplyPacer* m_pacer = nullptr;
  QTimer m_resume;
  QByteArray m_out;
  CommandFramer m_framer;
};

}  // namespace dzsim
