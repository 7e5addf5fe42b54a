#pragma once
// Settings files on disk. A file is read whole, up to a bound far above any
// real settings file, and only when it is a regular file (a FIFO or a device
// never blocks the reader). A file is written so that it is either replaced
// whole or, where that is impossible, written in place; never through a
// symbolic link and never onto a FIFO, a device or a folder. A failed write
// reports false and the reason.
#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace dz {

// A settings file holds a few hundred bytes; anything far larger is not one.
inline constexpr qint64 kLargestSettingsFile = 1 << 20;

// The whole file; false (and the reason, when asked for) when it cannot be
// read, is not a regular file or is larger than the bound.
bool ReadSettingsFile(const QString& p_sPath, std::string& p_sContent, QString* p_pReason = nullptr);

// Writes the content to a new temporary file beside the target and renames
// it over the target, which replaces the folder entry (a link planted there
// after the check is replaced, its target is untouched). A target that is a
// symbolic link or not a regular file is refused. A folder where the user may
// write the file but not create new ones (a writable file in a read-only
// folder) has no room for the temporary file: there the file is written in
// place, keeping its old content until the new content is written whole, and
// putting the old content back when writing fails.
bool WriteFileAtomically(const QString& p_sPath, const QByteArray& p_byContent, QString* p_pReason = nullptr);

// The file's lines as the settings file holds them (see SettingsFile.h),
// written as WriteFileAtomically does.
bool WriteSettingsFile(const QString& p_sPath, const std::vector<std::string>& p_objLines,
                       QString* p_pReason = nullptr);

}  // namespace dz
