#pragma once
// The command line of dazavu: its exit statuses and the run of one command
// line, which picks the command (commands/) and hands it the options.
#include <QStringList>

// Exit statuses.
enum ExitStatus { kExitOk = 0, kExitUsage = 1, kExitNoAnswer = 2, kExitDifferent = 3, kExitRejected = 4 };

// Runs one command line (without the program name); returns the exit status.
int RunCommandLine(const QStringList& p_objArgs, bool p_bStderrIsTerminal);
