#pragma once
// The open-file limit and how many printers it lets run at a time: every
// printer at work holds a connection (and a file while it is saved).
#include <QString>

namespace cli {

// Raises the soft open-file limit to the hard limit (once, at start).
void RaiseOpenFileLimit();
// The number of printers that may run at a time for the wanted number:
// the wanted number, or fewer when the open-file limit does not allow it
// (then p_sNote says so).
int JobsAllowed(int p_iWanted, QString& p_sNote);

}  // namespace cli
