#pragma once
// The stop request of an interrupted run. The first SIGINT or SIGTERM sets a
// flag and writes a byte to a self-pipe (for a QSocketNotifier of an event
// loop); whoever starts printers asks Requested() before each one, and a
// printer already started runs to its end. A second signal ends the process
// at once, by that signal.
namespace cli {

// Installs the handlers for SIGINT and SIGTERM. Call once, early.
void InstallStopSignal();
// 0 while no stop was asked for; otherwise the signal (SIGINT, SIGTERM).
int StopRequested();
// The read end of the self-pipe: readable once a stop was asked for; -1
// before InstallStopSignal.
int StopSignalFd();
// The exit status of a run that was stopped by the signal: 128 + signal.
int StoppedExitStatus();

}  // namespace cli
