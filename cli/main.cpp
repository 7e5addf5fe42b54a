// dazavu: the command-line tool for a fleet of printers. It talks to the
// printers through the same link, command, reply and settings-file code as
// the window, without a display.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <unistd.h>

#include "CommandLine.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return RunCommandLine(args, isatty(STDERR_FILENO) != 0);
}
