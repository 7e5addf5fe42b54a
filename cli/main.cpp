// dazavu: the command-line tool for a fleet of printers. It talks to the
// printers through the same link, command, reply and settings-file code as
// the window, without a display.
#include <QCoreApplication>
#include <unistd.h>

#include "CommandLine.h"
#include "OpenFiles.h"
#include "StopSignal.h"

int main(int argc, char* argv[]) {
  cli::InstallStopSignal();
  cli::RaiseOpenFileLimit();
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return RunCommandLine(args, isatty(STDERR_FILENO) != 0);
}
