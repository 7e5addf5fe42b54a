#pragma once
// The commands of dazavu: options, outputs and exit statuses.
#include <QStringList>

// Exit statuses.
enum ExitStatus { kExitOk = 0, kExitUsage = 1, kExitNoAnswer = 2, kExitDifferent = 3, kExitRejected = 4 };

// Runs one command line (without the program name); returns the exit status.
int RunCommandLine(const QStringList& p_objArgs, bool p_bStderrIsTerminal);
