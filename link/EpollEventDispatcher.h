#pragma once
// An event dispatcher on Linux's epoll: the cost of waiting does not grow
// with the number of sockets. Qt's own dispatchers hand every socket to
// poll() on every pass of the event loop, so a process with thousands of
// connections (a fleet run, the simulator of a fleet) spends its time
// asking the kernel about sockets that have nothing to say. Install it for
// a thread before that thread's event loop starts:
//   QCoreApplication::setEventDispatcher(new EpollEventDispatcher);
#include <QAbstractEventDispatcher>
#include <atomic>
#include <chrono>
#include <map>
#include <unordered_map>

class QSocketNotifier;

class EpollEventDispatcher : public QAbstractEventDispatcher {
  Q_OBJECT
 public:
  explicit EpollEventDispatcher(QObject* p_objParent = nullptr);
  ~EpollEventDispatcher() override;

  bool processEvents(QEventLoop::ProcessEventsFlags p_eFlags) override;

  void registerSocketNotifier(QSocketNotifier* p_objNotifier) override;
  void unregisterSocketNotifier(QSocketNotifier* p_objNotifier) override;

  void registerTimer(int p_iTimerId, qint64 p_iInterval, Qt::TimerType p_eType, QObject* p_objObject) override;
  bool unregisterTimer(int p_iTimerId) override;
  bool unregisterTimers(QObject* p_objObject) override;
  QList<TimerInfo> registeredTimers(QObject* p_objObject) const override;
  int remainingTime(int p_iTimerId) override;

  // Safe from any thread.
  void wakeUp() override;
  void interrupt() override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Watch {
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
    QSocketNotifier* exception = nullptr;
    uint32_t events = 0;  // what epoll watches for
  };
  struct Timer {
    qint64 interval = 0;
    Qt::TimerType type = Qt::CoarseTimer;
    QObject* object = nullptr;
    Clock::time_point due;
  };

  void UpdateWatch(int p_iFd);
  // Milliseconds until the next timer is due (0: one is due, -1: none).
  int NextTimeout() const;
  // Sends the due timers their events; returns how many.
  int FireTimers();
  void Schedule(int p_iTimerId, Clock::time_point p_objDue);
  void Unschedule(int p_iTimerId, Clock::time_point p_objDue);

  int m_iEpoll = -1;
  int m_iWake = -1;  // eventfd that wakeUp() writes
  std::atomic<bool> m_bInterrupt{false};
  std::unordered_map<int, Watch> m_objWatches;
  std::unordered_map<int, Timer> m_objTimers;
  std::multimap<Clock::time_point, int> m_objDue;  // due time -> timer id
};
