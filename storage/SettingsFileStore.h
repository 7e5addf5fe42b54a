#pragma once
// Settings files on disk. A file is read whole, up to a bound far above any
// real settings file, and written so that it is either replaced whole or,
// where that is impossible, written in place; a failed write reports false.
#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace dz {

// A settings file holds a few hundred bytes; anything far larger is not one.
inline constexpr qint64 kLargestSettingsFile = 1 << 20;

// The whole file; false when it cannot be read or is larger than the bound.
bool ReadSettingsFile(const QString& p_sPath, std::string& p_sContent);

// Writes the content to a temporary file beside the target and renames it
// over the target. A folder where the user may write the file but not create
// new ones (a writable file in a read-only folder) has no room for the
// temporary file: there the file is written in place.
bool WriteFileAtomically(const QString& p_sPath, const QByteArray& p_byContent);

// The file's lines as the settings file holds them (see SettingsFile.h),
// written as WriteFileAtomically does.
bool WriteSettingsFile(const QString& p_sPath, const std::vector<std::string>& p_objLines);

}  // namespace dz
