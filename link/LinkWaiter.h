#pragma once
// Waiting while the printer answers: every wait sleeps in a nested event
// loop that wakes at its deadline or when a link flag changes, so that the
// window keeps working and no core is burnt. After Shutdown every wait
// returns at once.
#include <QDeadlineTimer>
#include <QObject>
#include <functional>

class LinkWaiter : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // Processes events, sleeping in the event loop, until the condition
  // holds, the deadline passes (never for QDeadlineTimer::Forever) or the
  // link shuts down. Returns the condition.
  bool WaitUntil(const std::function<bool()>& p_fnCondition, QDeadlineTimer p_objDeadline);
  // Returns after the time has passed, processing events meanwhile.
  void WaitSeconds(double p_dSeconds);
  // Runs pending events once.
  void ProcessEvents();

  // A link flag changed: a wait watching it looks at it at once.
  void NotifyStateChanged() { emit stateChanged(); }

  void Shutdown();
  bool IsShuttingDown() const { return m_bShuttingDown; }

 signals:
  void stateChanged();

 private:
  bool m_bShuttingDown = false;
};
