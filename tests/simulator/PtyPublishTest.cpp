// The simulator's pseudo-terminal published as a link where the tool's port
// rule looks: one link per running simulator, a stale one taken over, and
// nothing published into a folder that is not this user's own.
#include "PrinterModel.h"
#include "PtyPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t ModeOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

}  // namespace

TEST(PtyPublishTest, EachSimulatorGetsItsOwnLinkAndTakesItAwayOnClose) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString folder = tmp.filePath(QStringLiteral("sim"));
  dzsim::PrinterModel model;
  dzsim::PtyPrinter first(model);
  dzsim::PtyPrinter second(model);
  EXPECT_FALSE(first.Publish(folder));  // nothing to publish before Open
  ASSERT_TRUE(first.Open());
  ASSERT_TRUE(second.Open());

  ASSERT_TRUE(first.Publish(folder)) << first.ErrorString().toStdString();
  ASSERT_TRUE(second.Publish(folder)) << second.ErrorString().toStdString();
  EXPECT_EQ(ModeOf(folder), mode_t(0700));
  EXPECT_EQ(first.PublishedPath(), folder + QStringLiteral("/ttyDZSIM0"));
  EXPECT_EQ(second.PublishedPath(), folder + QStringLiteral("/ttyDZSIM1"));
  EXPECT_EQ(QFileInfo(first.PublishedPath()).symLinkTarget(), first.SlavePath());
  EXPECT_EQ(QFileInfo(second.PublishedPath()).symLinkTarget(), second.SlavePath());

  first.Close();
  EXPECT_FALSE(QFileInfo(folder + QStringLiteral("/ttyDZSIM0")).isSymLink());
  EXPECT_TRUE(first.PublishedPath().isEmpty());
  EXPECT_TRUE(QFileInfo(second.PublishedPath()).isSymLink());

  // A link left by a simulator that was killed points nowhere: taken over.
  ASSERT_TRUE(QFile::link(tmp.filePath(QStringLiteral("gone")), folder + QStringLiteral("/ttyDZSIM0")));
  ASSERT_TRUE(first.Open());
  ASSERT_TRUE(first.Publish(folder));
  EXPECT_EQ(first.PublishedPath(), folder + QStringLiteral("/ttyDZSIM0"));
  EXPECT_EQ(QFileInfo(first.PublishedPath()).symLinkTarget(), first.SlavePath());
}

TEST(PtyPublishTest, AFolderThatIsALinkOrAFileIsRefused) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  ASSERT_TRUE(QDir().mkpath(tmp.filePath(QStringLiteral("elsewhere"))));
  const QString linked = tmp.filePath(QStringLiteral("linked"));
  ASSERT_TRUE(QFile::link(tmp.filePath(QStringLiteral("elsewhere")), linked));
  QFile file(tmp.filePath(QStringLiteral("file")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();

  dzsim::PrinterModel model;
  dzsim::PtyPrinter pty(model);
  ASSERT_TRUE(pty.Open());
  EXPECT_FALSE(pty.Publish(linked));
  EXPECT_EQ(pty.ErrorString(), QStringLiteral("publish: %1 is not a folder of this user").arg(linked));
  EXPECT_FALSE(pty.Publish(file.fileName()));
  EXPECT_TRUE(pty.PublishedPath().isEmpty());
  EXPECT_TRUE(QDir(tmp.filePath(QStringLiteral("elsewhere"))).isEmpty());
}
