#include "EpollEventDispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <vector>

namespace {
constexpr int kMaxEvents = 256;
}  // namespace

EpollEventDispatcher::EpollEventDispatcher(QObject* p_objParent) : QAbstractEventDispatcher(p_objParent) {
  m_iEpoll = ::epoll_create1(EPOLL_CLOEXEC);
  m_iWake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = m_iWake;
  ::epoll_ctl(m_iEpoll, EPOLL_CTL_ADD, m_iWake, &event);
}

EpollEventDispatcher::~EpollEventDispatcher() {
  ::close(m_iWake);
  ::close(m_iEpoll);
}

void EpollEventDispatcher::wakeUp() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(m_iWake, &one, sizeof one);
}

void EpollEventDispatcher::interrupt() {
  m_bInterrupt.store(true);
  wakeUp();
}

void EpollEventDispatcher::registerSocketNotifier(QSocketNotifier* p_objNotifier) {
  const int fd = static_cast<int>(p_objNotifier->socket());
  Watch& watch = m_objWatches[fd];
  switch (p_objNotifier->type()) {
    case QSocketNotifier::Read:
      watch.read = p_objNotifier;
      break;
    case QSocketNotifier::Write:
      watch.write = p_objNotifier;
      break;
    case QSocketNotifier::Exception:
      watch.exception = p_objNotifier;
      break;
  }
  UpdateWatch(fd);
}

void EpollEventDispatcher::unregisterSocketNotifier(QSocketNotifier* p_objNotifier) {
  const int fd = static_cast<int>(p_objNotifier->socket());
  auto it = m_objWatches.find(fd);
  if (it == m_objWatches.end()) return;
  Watch& watch = it->second;
  if (watch.read == p_objNotifier) watch.read = nullptr;
  if (watch.write == p_objNotifier) watch.write = nullptr;
  if (watch.exception == p_objNotifier) watch.exception = nullptr;
  UpdateWatch(fd);
}

void EpollEventDispatcher::UpdateWatch(int p_iFd) {
  auto it = m_objWatches.find(p_iFd);
  if (it == m_objWatches.end()) return;
  Watch& watch = it->second;
  const uint32_t wanted =
      (watch.read ? EPOLLIN : 0u) | (watch.write ? EPOLLOUT : 0u) | (watch.exception ? EPOLLPRI : 0u);
  epoll_event event{};
  event.events = wanted;
  event.data.fd = p_iFd;
  if (wanted == 0) {
    // The descriptor may be closed already; then the kernel dropped it.
    if (watch.events != 0) ::epoll_ctl(m_iEpoll, EPOLL_CTL_DEL, p_iFd, nullptr);
    m_objWatches.erase(it);
    return;
  }
  if (watch.events == 0) {
    if (::epoll_ctl(m_iEpoll, EPOLL_CTL_ADD, p_iFd, &event) != 0 && errno == EEXIST)
      ::epoll_ctl(m_iEpoll, EPOLL_CTL_MOD, p_iFd, &event);
  } else if (watch.events != wanted) {
    if (::epoll_ctl(m_iEpoll, EPOLL_CTL_MOD, p_iFd, &event) != 0 && errno == ENOENT)
      ::epoll_ctl(m_iEpoll, EPOLL_CTL_ADD, p_iFd, &event);
  }
  watch.events = wanted;
}

void EpollEventDispatcher::Schedule(int p_iTimerId, Clock::time_point p_objDue) {
  Timer& timer = m_objTimers[p_iTimerId];
  timer.due = p_objDue;
  m_objDue.emplace(p_objDue, p_iTimerId);
}

void EpollEventDispatcher::registerTimer(int p_iTimerId, qint64 p_iInterval, Qt::TimerType p_eType,
                                         QObject* p_objObject) {
  if (auto old = m_objTimers.find(p_iTimerId); old != m_objTimers.end()) Unschedule(p_iTimerId, old->second.due);
  Timer& timer = m_objTimers[p_iTimerId];
  timer.interval = p_iInterval;
  timer.type = p_eType;
  timer.object = p_objObject;
  Schedule(p_iTimerId, Clock::now() + std::chrono::milliseconds(p_iInterval));
}

void EpollEventDispatcher::Unschedule(int p_iTimerId, Clock::time_point p_objDue) {
  const auto [first, last] = m_objDue.equal_range(p_objDue);
  for (auto it = first; it != last; ++it) {
    if (it->second == p_iTimerId) {
      m_objDue.erase(it);
      return;
    }
  }
}

bool EpollEventDispatcher::unregisterTimer(int p_iTimerId) {
  auto it = m_objTimers.find(p_iTimerId);
  if (it == m_objTimers.end()) return false;
  Unschedule(p_iTimerId, it->second.due);
  m_objTimers.erase(it);
  return true;
}

bool EpollEventDispatcher::unregisterTimers(QObject* p_objObject) {
  bool any = false;
  for (auto it = m_objTimers.begin(); it != m_objTimers.end();) {
    if (it->second.object == p_objObject) {
      Unschedule(it->first, it->second.due);
      it = m_objTimers.erase(it);
      any = true;
    } else {
      ++it;
    }
  }
  return any;
}

QList<QAbstractEventDispatcher::TimerInfo> EpollEventDispatcher::registeredTimers(QObject* p_objObject) const {
  QList<TimerInfo> list;
  for (const auto& [id, timer] : m_objTimers)
    if (timer.object == p_objObject) list.append(TimerInfo(id, static_cast<int>(timer.interval), timer.type));
  return list;
}

int EpollEventDispatcher::remainingTime(int p_iTimerId) {
  auto it = m_objTimers.find(p_iTimerId);
  if (it == m_objTimers.end()) return -1;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(it->second.due - Clock::now()).count();
  return static_cast<int>(std::max<qint64>(0, left));
}

int EpollEventDispatcher::NextTimeout() const {
  for (const auto& [due, id] : m_objDue) {
    auto it = m_objTimers.find(id);
    if (it == m_objTimers.end() || it->second.due != due) continue;  // unregistered or moved
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(due - Clock::now()).count();
    if (left <= 0) return 0;
    return static_cast<int>((left + 999) / 1000);  // never wake before it is due
  }
  return -1;
}

int EpollEventDispatcher::FireTimers() {
  // Only the timers due now: one that a handler starts anew waits for the next pass.
  const Clock::time_point now = Clock::now();
  std::vector<int> due;
  while (!m_objDue.empty() && m_objDue.begin()->first <= now) {
    const auto [when, id] = *m_objDue.begin();
    m_objDue.erase(m_objDue.begin());
    auto it = m_objTimers.find(id);
    if (it == m_objTimers.end() || it->second.due != when) continue;
    // The next time it is due: a timer that fell behind does not catch up.
    Clock::time_point next = when + std::chrono::milliseconds(it->second.interval);
    if (next <= now) next = now + std::chrono::milliseconds(it->second.interval);
    Schedule(id, next);
    due.push_back(id);
  }
  int fired = 0;
  for (int id : due) {
    auto it = m_objTimers.find(id);
    if (it == m_objTimers.end()) continue;  // stopped by an earlier handler
    QTimerEvent event(id);
    QCoreApplication::sendEvent(it->second.object, &event);
    ++fired;
  }
  return fired;
}

bool EpollEventDispatcher::processEvents(QEventLoop::ProcessEventsFlags p_eFlags) {
  m_bInterrupt.store(false);
  emit awake();
  QCoreApplication::sendPostedEvents();

  const bool canWait = (p_eFlags & QEventLoop::WaitForMoreEvents) && !m_bInterrupt.load();
  int timeout = canWait ? NextTimeout() : 0;
  if (timeout != 0) emit aboutToBlock();
  epoll_event events[kMaxEvents];
  int count = ::epoll_wait(m_iEpoll, events, kMaxEvents, timeout);
  if (timeout != 0) emit awake();
  if (count < 0) count = 0;  // EINTR: a signal; the loop comes round again

  int handled = 0;
  const bool sockets = !(p_eFlags & QEventLoop::ExcludeSocketNotifiers);
  for (int i = 0; i < count; ++i) {
    const int fd = events[i].data.fd;
    if (fd == m_iWake) {
      uint64_t value = 0;
      [[maybe_unused]] const ssize_t n = ::read(m_iWake, &value, sizeof value);
      continue;
    }
    if (!sockets) continue;
    const uint32_t what = events[i].events;
    // A handler may have dropped a notifier of this or another descriptor:
    // each is looked up again before it is told.
    const auto tell = [&](QSocketNotifier* Watch::*which, uint32_t mask) {
      auto it = m_objWatches.find(fd);
      if (it == m_objWatches.end() || !(what & mask)) return;
      QSocketNotifier* notifier = it->second.*which;
      if (!notifier) return;
      QEvent event(QEvent::SockAct);
      QCoreApplication::sendEvent(notifier, &event);
      ++handled;
    };
    tell(&Watch::exception, EPOLLPRI);
    tell(&Watch::read, EPOLLIN | EPOLLHUP | EPOLLERR);
    tell(&Watch::write, EPOLLOUT | EPOLLERR);
  }
  if (!(p_eFlags & QEventLoop::X11ExcludeTimers)) handled += FireTimers();
  return handled > 0;
}
