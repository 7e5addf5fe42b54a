#pragma once
// The few threads that write a fleet's settings files: each file is synced
// to the disk before it replaces the old one, and a thousand of those one
// after the other would keep the event loop waiting on the disk. The writes
// of different printers overlap on a fixed number of threads (whatever the
// fleet's size); the result comes back on the event loop's thread.
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace cli {

struct FileToWrite {
  QString path;
  std::vector<std::string> lines;
};

// Writes the files in order, stopping at the first that fails; then calls
// p_fnDone on the calling thread with the number written and the error.
void WriteFilesInBackground(std::vector<FileToWrite> p_objFiles,
                            std::function<void(size_t p_iWritten, const QString& p_sError)> p_fnDone);

}  // namespace cli
