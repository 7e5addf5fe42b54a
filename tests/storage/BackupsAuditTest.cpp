#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimeZone>
#include <thread>
#include <vector>

#include "AuditLog.h"
#include "Backups.h"

namespace {

QByteArray ReadAll(const QString& p_sPath) {
  QFile file(p_sPath);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

dz::BackupManifest Manifest(const char* p_sCommand) {
  dz::BackupManifest manifest;
  manifest.time = QDateTime(QDate(2026, 12, 9), QTime(1, 37, 21), Qt::UTC);
  manifest.user = QStringLiteral("ops");
  manifest.machine = QStringLiteral("control");
  manifest.command = QString::fromLatin1(p_sCommand);
  manifest.targets = {QStringLiteral("127.0.0.1:9000"), QStringLiteral("127.0.0.1:9001")};
  return manifest;
}

TEST(BackupsTest, RunsGetAFolderEachWithManifestAndFilesAndAreListedOldestFirst) {
  QTemporaryDir dir;
  const QString base = QDir(dir.path()).filePath(QStringLiteral("state/backups"));  // made when missing
  dz::BackupRun first, second;
  QString error;
  ASSERT_TRUE(first.Create(base, Manifest("set"), error)) << error.toStdString();
  ASSERT_TRUE(second.Create(base, Manifest("apply"), error)) << error.toStdString();
  EXPECT_EQ(QFileInfo(first.Folder()).fileName(), QStringLiteral("2026-12-09T013721Z"));
  EXPECT_EQ(QFileInfo(second.Folder()).fileName(), QStringLiteral("2026-12-09T013721Z-2"));

  const QJsonObject manifest = QJsonDocument::fromJson(ReadAll(first.Folder() + "/manifest.json")).object();
  EXPECT_EQ(manifest["time"].toString(), "2026-12-09T01:37:21Z");
  EXPECT_EQ(manifest["user"].toString(), "ops");
  EXPECT_EQ(manifest["command"].toString(), "set");
  EXPECT_EQ(manifest["targets"].toArray().size(), 2);

  ASSERT_TRUE(first.Save(QStringLiteral("127.0.0.1_9000"), {"{Z2;1,A|}", "{Z2;2,B|}"}, {"{IS;1,08000|}"}, error));
  EXPECT_EQ(ReadAll(first.Folder() + "/127.0.0.1_9000.dt1"), "{Z2;1,A|}\r\n{Z2;2,B|}\r\n");
  EXPECT_EQ(ReadAll(first.Folder() + "/127.0.0.1_9000.dt2"), "{IS;1,08000|}\r\n");

  QDir(base).mkdir(QStringLiteral("not-a-run"));  // no manifest: not listed
  dz::BackupRun older;
  dz::BackupManifest early = Manifest("write");
  early.time = early.time.addDays(-1);
  ASSERT_TRUE(older.Create(base, early, error));
  const std::vector<dz::BackupListing> runs = dz::ListBackups(base);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].manifest.command, "write");
  EXPECT_EQ(runs[1].manifest.command, "set");
  EXPECT_EQ(runs[1].saved, QStringList{"127.0.0.1_9000"});
  EXPECT_EQ(runs[1].manifest.targets, Manifest("").targets);
  EXPECT_EQ(runs[2].manifest.command, "apply");
  EXPECT_TRUE(dz::ListBackups(QDir(dir.path()).filePath("none")).empty());

  // A backup folder that cannot be made is an error, not a silent skip.
  QFile blocker(QDir(dir.path()).filePath("file"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  dz::BackupRun blocked;
  EXPECT_FALSE(blocked.Create(blocker.fileName() + "/backups", Manifest("set"), error));
  EXPECT_TRUE(error.contains("cannot create the backup folder")) << error.toStdString();
}

TEST(BackupsTest, StateFolderFollowsXdgStateHomeWhenAbsolute) {
  const QByteArray saved = qgetenv("XDG_STATE_HOME");
  qputenv("XDG_STATE_HOME", "/srv/state");
  EXPECT_EQ(dz::DefaultBackupFolder(), "/srv/state/dazavu/backups");
  EXPECT_EQ(dz::DefaultAuditLog(), "/srv/state/dazavu/audit.jsonl");
  qputenv("XDG_STATE_HOME", "relative/state");
  EXPECT_EQ(dz::DefaultBackupFolder(), QDir::homePath() + "/.local/state/dazavu/backups");
  qunsetenv("XDG_STATE_HOME");
  EXPECT_EQ(dz::StateFolder(), QDir::homePath() + "/.local/state/dazavu");
  if (!saved.isNull()) qputenv("XDG_STATE_HOME", saved);
}

TEST(AuditLogTest, LinesAppendedSideBySideStayWhole) {
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath(QStringLiteral("logs/audit.jsonl"));
  constexpr int kThreads = 8, kLines = 200;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t)
    writers.emplace_back([&, t] {
      for (int i = 0; i < kLines; ++i) {
        QString error;
        // Long enough that a split write would show.
        const QByteArray line = QByteArray::number(t) + ":" + QByteArray::number(i) + ":" + QByteArray(4000, 'a' + t);
        EXPECT_TRUE(dz::AppendAuditLine(path, line, error)) << error.toStdString();
      }
    });
  for (std::thread& writer : writers) writer.join();
  const QList<QByteArray> lines = ReadAll(path).split('\n');
  ASSERT_EQ(lines.size(), kThreads * kLines + 1);
  EXPECT_TRUE(lines.last().isEmpty());
  std::vector<int> next(kThreads, 0);
  for (int n = 0; n < kThreads * kLines; ++n) {
    const QList<QByteArray> parts = lines[n].split(':');
    ASSERT_EQ(parts.size(), 3);
    const int t = parts[0].toInt();
    EXPECT_EQ(parts[1].toInt(), next[static_cast<size_t>(t)]++);  // each writer's lines in its order
    EXPECT_EQ(parts[2], QByteArray(4000, 'a' + t));
  }

  QString error;
  EXPECT_FALSE(dz::AppendAuditLine(path, "two\nlines", error));
  EXPECT_FALSE(dz::AppendAuditLine(dir.path(), "{}", error));  // a folder
  EXPECT_TRUE(error.contains(dir.path())) << error.toStdString();
  // Not through a link planted in its place.
  const QString planted = QDir(dir.path()).filePath(QStringLiteral("planted.jsonl"));
  ASSERT_TRUE(QFile::link(path, planted));
  EXPECT_FALSE(dz::AppendAuditLine(planted, "{}", error));
  EXPECT_EQ(ReadAll(path).count('\n'), kThreads * kLines);
}

}  // namespace
