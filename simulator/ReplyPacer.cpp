#include "ReplyPacer.h"

namespace dzsim {

ReplyPacer::ReplyPacer(Writer writer, Dropper dropper, QObject* parent)
    : QObject(parent), m_writer(std::move(writer)), m_dropper(std::move(dropper)) {
  m_timer.setSingleShot(true);
  connect(&m_timer, &QTimer::timeout, this, [this] {
    m_waited = true;
    Pump();
  });
}

void ReplyPacer::Queue(const std::vector<ReplyChunk>& chunks) {
  m_queue.insert(m_queue.end(), chunks.begin(), chunks.end());
  if (!m_timer.isActive()) Pump();
}

void ReplyPacer::Clear() {
  m_queue.clear();
  m_timer.stop();
  m_waited = false;
}

void ReplyPacer::Pump() {
  while (!m_queue.empty()) {
    ReplyChunk& front = m_queue.front();
    if (front.pauseBeforeMs > 0 && !m_waited) {
      m_timer.start(front.pauseBeforeMs);
      return;
    }
    m_waited = false;
    const ReplyChunk chunk = std::move(front);
    m_queue.pop_front();
    if (!chunk.bytes.empty())
      m_writer(
          QByteArray(reinterpret_cast<const char*>(chunk.bytes.data()), static_cast<qsizetype>(chunk.bytes.size())));
    if (chunk.dropAfter) {
      Clear();
      if (m_dropper) m_dropper();
      return;
    }
  }
}

}  // namespace dzsim
