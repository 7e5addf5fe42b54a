#include "FileWriters.h"

#include <QCoreApplication>
#include <QThread>
#include <memory>

#include "SettingsFileStore.h"

namespace cli {

namespace {
constexpr int kWriterThreads = 8;

// The writer threads, all started at the first write, so that a fleet of ten
// and one of a thousand run with the same threads.
class Writers {
 public:
  Writers() {
    for (int i = 0; i < kWriterThreads; ++i) {
      auto thread = std::make_unique<QThread>();
      thread->setObjectName(QStringLiteral("writer %1").arg(i));
      auto* worker = new QObject;
      worker->moveToThread(thread.get());
      thread->start();
      m_objWorkers.push_back(worker);
      m_objThreads.push_back(std::move(thread));
    }
  }
  ~Writers() {
    for (auto& thread : m_objThreads) {
      thread->quit();
      thread->wait();
    }
    // Their threads have ended: nothing runs their events any more.
    for (QObject* worker : m_objWorkers) delete worker;
  }
  // The next thread in turn.
  QObject* Next() { return m_objWorkers[m_iNext++ % m_objWorkers.size()]; }

 private:
  std::vector<std::unique_ptr<QThread>> m_objThreads;
  std::vector<QObject*> m_objWorkers;
  size_t m_iNext = 0;
};

Writers& TheWriters() {
  static Writers writers;
  return writers;
}
}  // namespace

void StartFileWriters() { TheWriters(); }

void WriteFilesInBackground(std::vector<FileToWrite> p_objFiles,
                            std::function<void(size_t p_iWritten, const QString& p_sError)> p_fnDone) {
  QObject* home = QCoreApplication::instance();
  QMetaObject::invokeMethod(
      TheWriters().Next(),
      [files = std::move(p_objFiles), done = std::move(p_fnDone), home] {
        size_t written = 0;
        QString error;
        for (const FileToWrite& file : files) {
          QString reason;
          if (!dz::WriteSettingsFile(file.path, file.lines, &reason)) {
            error = QStringLiteral("cannot write %1: %2").arg(file.path, reason);
            break;
          }
          ++written;
        }
        QMetaObject::invokeMethod(
            home, [done, written, error] { done(written, error); }, Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

}  // namespace cli
