// "SAVE" and "LOAD" through the real window with real files in a temporary folder.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include "LinkIds.h"
#include "CItemManager.h"
#include "ItemSnapshot.h"
#include "PrinterWindowFixture.h"
#include "SettingsFileStore.h"
#include "operations/SettingsFileOperations.h"
#include "widgets/UCSpinEdit.h"

namespace {

// While it lives, files may grow to the given size only, as on a full disk;
// a larger write fails instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t p_iBytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &m_objPreviousAction);
    getrlimit(RLIMIT_FSIZE, &m_objSaved);
    rlimit small = m_objSaved;
    small.rlim_cur = p_iBytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_objSaved);
    sigaction(SIGXFSZ, &m_objPreviousAction, nullptr);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct sigaction m_objPreviousAction {};
  rlimit m_objSaved{};
};

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}
using dz::test::ItemSnapshot;

const QByteArray kDefaultDt1 =
    "{Z2;1,00210121+0001B0A00000B0000000000100|}\r\n{Z2;2,+000+000+00+000+00+00-00-001014|}\r\n";

class SettingsFilesTest : public PrinterWindowFixture {
 protected:
  QString Path(const QString& name) { return dir.filePath(name); }
  void Answer(const QString& path, int filter = 1) { answers.push_back({true, path, filter}); }
  QStringList Texts() {
    QStringList out;
    for (const dz::test::RecordedMessage& s : messages) out << s.text;
    return out;
  }
  QTemporaryDir dir;
};

}  // namespace

TEST_F(SettingsFilesTest, SaveWritesTheTwoRecordsWithTheExtensionRule) {
  Answer(Path("abc"));
  Click(Parameter().btnSave);
  EXPECT_EQ(ReadFile(Path("abc.dt1")), kDefaultDt1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, QStringLiteral("Normal termination"));
  EXPECT_EQ(messages[0].style, 0);
  EXPECT_EQ(messages[0].title, QStringLiteral("Dazavu Setting Tool"));

  // The dialog is set up as the program's own file type first.
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_TRUE(dialogs[0].save);
  EXPECT_EQ(dialogs[0].record.lpstrTitle, QStringLiteral("Save File"));
  EXPECT_EQ(dialogs[0].record.lpstrFilter, QStringLiteral("dt1 files(*.dt1)") + QChar(0) + "*.dt1" + QChar(0) +
                                               "All files(*.*)" + QChar(0) + "*.*" + QChar(0) + QChar(0));
  EXPECT_EQ(dialogs[0].record.lpstrInitialDir, QCoreApplication::applicationDirPath());

  Answer(Path("abc.DT1"));  // compared case-sensitively
  Click(Parameter().btnSave);
  EXPECT_TRUE(QFile::exists(Path("abc.DT1.dt1")));
  Answer(Path("plain"), 2);  // "All files(*.*)": written as typed
  Click(Parameter().btnSave);
  EXPECT_TRUE(QFile::exists(Path("plain")));
  Answer("  " + Path("spaced.dt1") + "  ");
  Click(Parameter().btnSave);
  EXPECT_TRUE(QFile::exists(Path("spaced.dt1")));

  // Cancel does nothing at all.
  messages.clear();
  answers.push_back({false, QString(), 1});
  Click(Parameter().btnSave);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SettingsFilesTest, OverwriteQuestion) {
  WriteFile(Path("old.dt1"), "old content");
  overwriteAnswer = dz::AnswerNo;
  Answer(Path("old.dt1"));
  Click(Parameter().btnSave);
  EXPECT_EQ(ReadFile(Path("old.dt1")), QByteArray("old content"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, QStringLiteral("The file already exists. Do you overwrite?"));
  EXPECT_EQ(messages[0].style, 4);

  overwriteAnswer = dz::AnswerYes;
  Answer(Path("old.dt1"));
  Click(Parameter().btnSave);
  EXPECT_EQ(ReadFile(Path("old.dt1")), kDefaultDt1);
  EXPECT_EQ(messages.back().text, QStringLiteral("Normal termination"));
}

TEST_F(SettingsFilesTest, SavedFilesLoadBackEveryItem) {
  CItemManager& items = window->m_objItemManager;
  Parameter().cmbFontCode->setCurrentIndex(12);
  Parameter().SeFeedAdj->SetValue(-15);
  Parameter().SeCode2->SetValue(0x7E);
  Parameter().SeThresholdT->SetValue(33);
  Extra().SeIpAddress1->SetValue(10);
  Extra().cmbPort->setCurrentIndex(0);
  Extra().SeSocetPort->SetValue(9100);
  Extra().cmbDhcp->setCurrentIndex(1);
  Extra().txtDhcpName->setText(QStringLiteral("LABELS"));
  Answer(Path("p"));
  Click(Parameter().btnSave);
  Answer(Path("l"));
  Click(Extra().btnLanSave);
  EXPECT_EQ(ReadFile(Path("l.dt2")).split('\n').size(), 6);
  const std::vector<std::string> saved = ItemSnapshot(items);

  // Everything back to the defaults, then load both files.
  CItemManager defaults;
  for (size_t i = 0; i < items.AllItems().size(); ++i) *items.AllItems()[i] = *defaults.AllItems()[i];
  window->RefreshParameterSettingItem(items, false);
  window->RefreshLanSettingItem(items, false);
  Answer(Path("p.dt1"));
  Click(Parameter().btnLoad);
  Answer(Path("l.dt2"));
  Click(Extra().btnLanLoad);
  EXPECT_EQ(Texts(),
            (QStringList{"Normal termination", "Normal termination", "Normal termination", "Normal termination"}));
  EXPECT_EQ(ItemSnapshot(items), saved);
  EXPECT_EQ(Parameter().cmbFontCode->currentText(), QStringLiteral("LATIN9"));
  EXPECT_EQ(Parameter().SeFeedAdj->TextBox()->text(), QStringLiteral("-1.5"));
  EXPECT_EQ(Extra().txtDhcpName->text(), QStringLiteral("LABELS"));
  EXPECT_EQ(Extra().cmbPort->currentIndex(), 0);
  EXPECT_EQ(dialogs.back().record.lpstrTitle, QStringLiteral("Load File"));
  EXPECT_TRUE(dialogs.back().record.lpstrFilter.startsWith(QStringLiteral("dat files(*.dt2)")));
}

TEST_F(SettingsFilesTest, RejectedFilesChangeNothing) {
  CItemManager& items = window->m_objItemManager;
  const std::vector<std::string> before = ItemSnapshot(items);
  const QString fontBefore = Parameter().cmbFontCode->currentText();
  // A good Adjustment line followed by a line of 42 characters.
  WriteFile(Path("bad.dt1"),
            "{Z2;2,-015+100-05+005-02+07-07-151530|}\r\n{Z2;1,00210121+0001B0A00000B000000000010|}\r\n");
  WriteFile(Path("bad.dt2"), "{IP;2,010,001,001,001|}\r\n\r\n");
  WriteFile(Path("huge.dt1"), QByteArray(3 << 20, '{'));
  for (const auto& [name, button] : {std::pair<const char*, QPushButton*>{"bad.dt1", Parameter().btnLoad},
                                     {"bad.dt2", Extra().btnLanLoad},
                                     {"huge.dt1", Parameter().btnLoad},
                                     {"missing.dt1", Parameter().btnLoad}}) {
    messages.clear();
    Answer(Path(name));
    Click(button);
    EXPECT_EQ(Texts(), QStringList{"Abnormal termination"}) << name;
  }
  EXPECT_EQ(ItemSnapshot(items), before);
  EXPECT_EQ(Parameter().cmbFontCode->currentText(), fontBefore);

  // An empty file loads nothing and is a normal end.
  WriteFile(Path("empty.dt2"), "");
  messages.clear();
  Answer(Path("empty.dt2"));
  Click(Extra().btnLanLoad);
  EXPECT_EQ(Texts(), QStringList{"Normal termination"});
}

TEST_F(SettingsFilesTest, ASaveThatRunsOutOfRoomKeepsTheOldFile) {
  WriteFile(Path("keep.dt1"), kDefaultDt1);
  Parameter().cmbFontCode->setCurrentIndex(5);
  {
    // The new file may grow to 40 bytes only, as on a full disk.
    const FileSizeLimit limit(40);
    Answer(Path("keep.dt1"));
    Click(Parameter().btnSave);
  }

  EXPECT_EQ(Texts(), (QStringList{"The file already exists. Do you overwrite?", "Abnormal termination"}));
  EXPECT_EQ(ReadFile(Path("keep.dt1")), kDefaultDt1);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.dt1"});
}

TEST_F(SettingsFilesTest, HostNameWithoutSingleByteCodeIsNeitherSavedNorSent) {
  CItemManager& items = window->m_objItemManager;
  const std::vector<std::string> before = ItemSnapshot(items);
  Extra().SeIpAddress1->SetValue(11);
  Extra().txtDhcpName->setText(QStringLiteral("PR\u20ACN"));  // the euro sign has no Latin-1 code
  Answer(Path("lan"));
  Click(Extra().btnLanSave);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.contains(QStringLiteral("\u20AC")));
  EXPECT_FALSE(QFile::exists(Path("lan.dt2")));
  EXPECT_EQ(ItemSnapshot(items), before);

  UseLink(dz::kLinkLan);
  messages.clear();
  Click(Extra().btnLanSet);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.contains(QStringLiteral("\u20AC")));
  QTest::qWait(100);
  EXPECT_TRUE(Received().empty());
  EXPECT_EQ(ItemSnapshot(items), before);
}

// No line may carry a second command: a field holding "{", "|" or "}" is a
// format error for LOAD, and the host name box does not take them.
TEST_F(SettingsFilesTest, FrameCharactersInFieldsAreRefused) {
  CItemManager& items = window->m_objItemManager;
  const std::vector<std::string> before = ItemSnapshot(items);
  const QByteArray fill(14, '\xFF');
  WriteFile(Path("id.dt2"), "{IH;0,|}{Z4;0|}FFFFFFFFFFFFFFFFFFFFFFF,AB" + fill + "|}\r\n");
  WriteFile(Path("host.dt2"), "{IH;0,FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF,A}" + fill + "|}\r\n");
  WriteFile(Path("zero.dt1"), "{Z2;1,0{210121+0001B0A00000B0000000000100|}\r\n");
  for (const auto& [name, button] : {std::pair<const char*, QPushButton*>{"id.dt2", Extra().btnLanLoad},
                                     {"host.dt2", Extra().btnLanLoad},
                                     {"zero.dt1", Parameter().btnLoad}}) {
    messages.clear();
    Answer(Path(name));
    Click(button);
    EXPECT_EQ(Texts(), QStringList{"Abnormal termination"}) << name;
  }
  EXPECT_EQ(ItemSnapshot(items), before);

  Extra().txtDhcpName->clear();
  QTest::keyClicks(Extra().txtDhcpName, QStringLiteral("a{b|c}d"));
  EXPECT_EQ(Extra().txtDhcpName->text(), QStringLiteral("abcd"));
  // A name that reached the box another way is neither sent nor saved.
  Extra().txtDhcpName->setText(QStringLiteral("x|}"));
  UseLink(dz::kLinkLan);
  messages.clear();
  Click(Extra().btnLanSet);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.contains(QStringLiteral("\"|\"")));
  QTest::qWait(100);
  EXPECT_TRUE(Received().empty());

  // A client id that came from a printer with a frame character in it is
  // neither sent nor saved either.
  Extra().txtDhcpName->setText(QStringLiteral("ok"));
  window->m_objItemManager.m_objDhcpClientId.SetValue(std::string("|}{Z4;0|}") + std::string(23, 'F'));
  messages.clear();
  Click(Extra().btnLanSet);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("The DHCP client id contains")))
      << messages[0].text.toStdString();
  messages.clear();
  Answer(Path("client"));
  Click(Extra().btnLanSave);
  ASSERT_EQ(messages.size(), 1u) << Texts().join(" / ").toStdString();
  EXPECT_TRUE(messages[0].text.endsWith(QStringLiteral("Nothing was saved.")));
  EXPECT_FALSE(QFile::exists(Path("client.dt2")));
  QTest::qWait(100);
  EXPECT_TRUE(Received().empty());
}

// A writable file in a folder where the user may not create files is written
// in place; in a writable folder the file is still replaced whole (a new
// inode). Root ignores permissions, so the save runs as an unprivileged user
// in a forked child.
TEST(SettingsFileWriteTest, WritableFileInReadOnlyFolderIsWrittenInPlace) {
  constexpr uid_t kNobody = 65534;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("keep.dt2");
  WriteFile(path, "old content that is longer than the new one\r\n");
  const QByteArray path8 = QFile::encodeName(path);
  const QByteArray dir8 = QFile::encodeName(dir.path());
  ASSERT_EQ(chmod(path8.constData(), 0644), 0);
  if (geteuid() != 0 || chown(path8.constData(), kNobody, kNobody) != 0)
    GTEST_SKIP() << "needs root to hand the file to an unprivileged user";
  ASSERT_EQ(chmod(dir8.constData(), 0755), 0);  // the folder stays root's: no new files for the child

  const auto saveAsNobody = [&](const QByteArray& content) {
    const pid_t child = fork();
    if (child == 0) {
      const bool dropped = setresgid(kNobody, kNobody, kNobody) == 0 && setresuid(kNobody, kNobody, kNobody) == 0;
      _exit(!dropped ? 2 : dz::WriteFileAtomically(path, content) ? 0 : 1);
    }
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  };
  const int result = saveAsNobody("new\r\n");
  if (result == 2) GTEST_SKIP() << "cannot become an unprivileged user";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(path), "new\r\n");

  // A new content that cannot be written whole (here: a file size limit
  // below it) leaves the old content in place.
  {
    int failed = 0;
    {
      const FileSizeLimit limit(20);
      failed = saveAsNobody(QByteArray(100, 'x'));
    }
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(ReadFile(path), "new\r\n");
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.dt2"});

  // Once the folder is the user's too, the file is replaced, not rewritten.
  ASSERT_EQ(chown(dir8.constData(), kNobody, kNobody), 0);
  struct stat before {};
  ASSERT_EQ(stat(path8.constData(), &before), 0);
  EXPECT_EQ(saveAsNobody("newer\r\n"), 0);
  struct stat after {};
  ASSERT_EQ(stat(path8.constData(), &after), 0);
  EXPECT_EQ(ReadFile(path), "newer\r\n");
  EXPECT_NE(before.st_ino, after.st_ino);
}

// A settings file is never written through a symbolic link or onto a FIFO,
// a device or a folder, and nothing but a regular file is read; the window's
// SAVE and LOAD and dazavu share these rules.
TEST(SettingsFileWriteTest, LinksFifosAndFoldersAreRefusedAndLeftAsTheyAre) {
  QTemporaryDir dir, elsewhere;
  ASSERT_TRUE(dir.isValid() && elsewhere.isValid());
  const QString target = elsewhere.filePath("precious");
  WriteFile(target, "keep me");
  const QString link = dir.filePath("link.dt1");
  const QString fifo = dir.filePath("fifo.dt1");
  ASSERT_EQ(symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.dt1"));
  for (const auto& [path, kind] : {std::pair<QString, QString>{link, "a symbolic link"},
                                   {fifo, "a FIFO"},
                                   {dir.filePath("folder.dt1"), "a folder"},
                                   {QStringLiteral("/dev/null"), "a device"}}) {
    QString reason;
    EXPECT_FALSE(dz::WriteFileAtomically(path, "new", &reason)) << path.toStdString();
    EXPECT_EQ(reason, "is " + kind + "; it was left as it is");
  }
  EXPECT_EQ(ReadFile(target), "keep me");
  EXPECT_TRUE(QFileInfo(link).isSymLink());

  std::string content;
  QString reason;
  EXPECT_FALSE(dz::ReadSettingsFile(fifo, content, &reason));  // returns at once, no writer needed
  EXPECT_EQ(reason, "is a FIFO, not a regular file");
  EXPECT_TRUE(dz::ReadSettingsFile(link, content, &reason));  // a link to a regular file is read
  EXPECT_EQ(content, "keep me");

  // A new file is created with the usual permissions, and no temporary file is left.
  const QString fresh = dir.filePath("fresh.dt1");
  ASSERT_TRUE(dz::WriteFileAtomically(fresh, "new"));
  EXPECT_EQ(ReadFile(fresh), "new");
  const mode_t mask = umask(0);
  umask(mask);
  struct stat info {};
  ASSERT_EQ(stat(QFile::encodeName(fresh).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
  EXPECT_EQ(QDir(dir.path()).entryList({"fresh*"}, QDir::Files | QDir::Hidden), QStringList{"fresh.dt1"});
}
