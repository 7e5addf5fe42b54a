// dazavu: the command-line tool for a fleet of printers. It talks to the
// printers through the same link, command, reply and settings-file code as
// the window, without a display.
#include <QCoreApplication>
#include <unistd.h>

#include "CommandLine.h"
#include "EpollEventDispatcher.h"
#include "OpenFiles.h"
#include "StopSignal.h"

int main(int argc, char* argv[]) {
  cli::InstallStopSignal();
  cli::RaiseOpenFileLimit();
  // A fleet is hundreds of connections on this one thread's event loop: its
  // waiting must not grow with their number.
  // (DZ_EVENT_DISPATCHER=qt keeps Qt's own, to compare the two.)
  if (qgetenv("DZ_EVENT_DISPATCHER") != "qt") QCoreApplication::setEventDispatcher(new EpollEventDispatcher);
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return RunCommandLine(args, isatty(STDERR_FILENO) != 0);
}
