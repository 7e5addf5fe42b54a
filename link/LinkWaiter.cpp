#include "LinkWaiter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

bool LinkWaiter::WaitUntil(const std::function<bool()>& p_fnCondition, QDeadlineTimer p_objDeadline) {
  while (!p_fnCondition() && !p_objDeadline.hasExpired() && !m_bShuttingDown) {
    QEventLoop loop;
    connect(this, &LinkWaiter::stateChanged, &loop, &QEventLoop::quit);
    // An unbounded deadline has no timer at all: only a state change wakes
    // the loop (a timer started with the -1 "remaining" of such a deadline
    // would fire at once, again and again).
    QTimer timer;
    if (!p_objDeadline.isForever()) {
      timer.setSingleShot(true);
      timer.setTimerType(Qt::PreciseTimer);
      connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
      timer.start(static_cast<int>(std::max<qint64>(0, p_objDeadline.remainingTime())));
    }
    loop.exec();
  }
  return p_fnCondition();
}

void LinkWaiter::WaitSeconds(double p_dSeconds) {
  WaitUntil([] { return false; }, QDeadlineTimer(static_cast<qint64>(p_dSeconds * 1000)));
}

void LinkWaiter::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void LinkWaiter::Shutdown() {
  m_bShuttingDown = true;
  NotifyStateChanged();
}
