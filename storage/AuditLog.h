#pragma once
// The audit log: one line for every printer written, appended to a file that
// several runs of the tool, and several printers of one run, write at once.
#include <QByteArray>
#include <QString>

namespace dz {

// StateFolder()/audit.jsonl.
QString DefaultAuditLog();

// Appends the line and a line end with one write to a file opened for
// appending (made, with its folder, when missing), so lines written side by
// side never mix; never through a symbolic link. False and the reason when it
// cannot be written whole.
bool AppendAuditLine(const QString& p_sPath, const QByteArray& p_byLine, QString& p_sError);

}  // namespace dz
