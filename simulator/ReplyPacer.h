// Sends reply chunks (see PlanReply) over a transport in order, honouring the
// pause before each chunk with a single-shot timer. Used by the TCP and the
// pseudo-terminal printers.
#pragma once

#include "PrinterModel.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace dzsim {

class ReplyPacer : public QObject {
  Q_OBJECT
 public:
  using Writer = std::function<void(const QByteArray&)>;
  using Dropper = std::function<void()>;

  ReplyPacer(Writer writer, Dropper dropper, QObject* parent = nullptr);

  void Queue(const std::vector<ReplyChunk>& chunks);
  void Clear();
  bool IsIdle() const { return m_queue.empty(); }

 private:
  void Pump();

  Writer m_writer;
  Dropper m_dropper;
  std::deque<ReplyChunk> m_queue;
  QTimer m_timer;
  bool m_waited = false;  // the pause of the front chunk has passed
};

}  // namespace dzsim
