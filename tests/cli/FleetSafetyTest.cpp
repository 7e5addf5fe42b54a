// What dazavu sends a fleet: only whole files, the same bytes to every
// printer, nothing after an interrupt but the rest of a write begun; what it
// writes on disk: never through a planted link.
#include <sys/stat.h>
#include <unistd.h>

#include <QJsonArray>
#include <csignal>

#include "CItemManager.h"
#include "CliFixture.h"
#include "SettingsFile.h"

namespace {

QByteArray FileOf(CItemManager& p_objItems, bool p_bLan) {
  const std::string text = JoinFileLines(p_bLan ? BuildLanFileLines(p_objItems) : BuildParameterFileLines(p_objItems));
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The commands of a printer's log that write settings.
int WriteLines(const QByteArray& p_byLog) {
  int count = 0;
  for (const QByteArray& line : p_byLog.split('\n'))
    if (line.contains("<< {Z2;") || line.contains("<< {IP;") || line.contains("<< {IS;") || line.contains("<< {IH;"))
      ++count;
  return count;
}

}  // namespace

TEST_F(CliTest, FilesThatAreNotWholeSendNothing) {
  ASSERT_TRUE(StartFleet(2));
  CItemManager items;
  items.m_objDhcpSetting.SetValue(int32_t{1});
  const QByteArray dt1 = FileOf(items, false);
  const QByteArray dt2 = FileOf(items, true);
  const QByteArray firstLine = dt1.left(dt1.indexOf('\n') + 1);
  QByteArray frame = dt2;
  frame.replace(dt2.indexOf("{IH;1,") + 6, 9, "|}{Z4;0|}");
  QByteArray letters = dt1;
  letters[8] = 'x';
  const struct {
    const char* name;
    QByteArray content;
    const char* reason;
  } cases[] = {
      {"empty.dt1", "", "holds exactly 2 lines; this one holds 0"},
      {"empty.dt2", "", "holds exactly 5 lines; this one holds 0"},
      {"first-line.dt1", firstLine, "holds exactly 2 lines; this one holds 1"},
      {"frame.dt2", frame, "line 5: "},
      {"letters.dt1", letters, "line 1: field 3"},
      {"lan-as-parameters.dt1", dt2, "line 1: is not the Parameter write record"},
  };
  for (const auto& c : cases) {
    WriteAll(Path(c.name), c.content);
    const CliRun run = Dazavu({"write", "--json", "--lan", Lan(0), "--lan", Lan(1), Path(c.name)});
    EXPECT_EQ(run.exit, 4) << c.name;
    const QString error = run.Json()["error"].toString();
    EXPECT_TRUE(error.startsWith(Path(c.name) + ": not a whole ")) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
    EXPECT_EQ(Dazavu({"verify", "--lan", Lan(0), Path(c.name)}).exit, 4) << c.name;
  }
  // Input that is not a regular file is refused without waiting on it.
  ASSERT_EQ(mkfifo(QFile::encodeName(Path("fifo.dt1")).constData(), 0600), 0);
  const CliRun fifo = Dazavu({"write", "--lan", Lan(0), Path("fifo.dt1")});
  EXPECT_EQ(fifo.exit, 4);
  EXPECT_TRUE(fifo.err.contains("is a FIFO, not a regular file")) << fifo.err.constData();
  EXPECT_EQ(Log(Lan(0)), "");
  EXPECT_EQ(Log(Lan(1)), "");
}

TEST_F(CliTest, OneStaticAddressIsWrittenToOnePrinterOnly) {
  ASSERT_TRUE(StartFleet(2));
  CItemManager items;  // DHCP OFF, 192.168.10.20
  WriteAll(Path("static.dt2"), FileOf(items, true));
  const CliRun two = Dazavu({"write", "--lan", Lan(0), "--lan", Lan(1), Path("static.dt2")});
  EXPECT_EQ(two.exit, 1);
  EXPECT_TRUE(two.err.contains("sets the static address 192.168.10.20 (DHCP OFF)")) << two.err.constData();
  EXPECT_EQ(Log(Lan(0)) + Log(Lan(1)), "");
  EXPECT_EQ(Dazavu({"write", "--lan", Lan(0), Path("static.dt2")}).exit, 0);
}

TEST_F(CliTest, AFileChangedDuringTheRunIsSentAsItWasRead) {
  ASSERT_TRUE(StartFleet(3, {"--mode", "delay", "--param", "150"}));
  CItemManager items;
  items.m_objZeroStyle.SetValue(int32_t{1});
  const QByteArray original = FileOf(items, false);
  WriteAll(Path("f.dt1"), original);
  auto process = StartDazavu(
      {"write", "--no-verify", "--jobs", "1", "--lan", Lan(0), "--lan", Lan(1), "--lan", Lan(2), Path("f.dt1")});
  ASSERT_TRUE(m_objSim->WaitFor("<< {Z2;2,", 1));
  WriteAll(Path("f.dt1"), "");  // emptied while the first printer is written
  const CliRun run = Finished(*process);
  EXPECT_EQ(run.exit, 0) << run.err.constData();
  for (int i = 0; i < 3; ++i) {
    const QByteArray sent = "lan " + Lan(i).toUtf8() + " << ";
    EXPECT_EQ(Log(Lan(i)),
              sent + "{WS|}\n" + sent + QByteArray(original).replace("\r\n", "\n" + sent).chopped(sent.size()))
        << i;
  }
}

// Interrupted at different moments, every printer holds all of its lines or
// none of them, every printer has its row, and the exit status tells the
// signal.
TEST_F(CliTest, AnInterruptedFleetWriteLeavesEveryPrinterWholeOrUntouched) {
  CItemManager items;
  items.m_objDhcpSetting.SetValue(int32_t{1});
  items.m_objKanjiCode.SetValue(int32_t{1});
  WriteAll(Path("i.dt1"), FileOf(items, false));
  WriteAll(Path("i.dt2"), FileOf(items, true));
  constexpr int kPrinters = 6;
  const struct {
    int statusRequests;  // the signal comes once the fleet has seen this many
    int signal;
  } moments[] = {{1, SIGINT}, {2, SIGINT}, {3, SIGTERM}, {4, SIGINT}};
  for (const auto& moment : moments) {
    SCOPED_TRACE(moment.statusRequests);
    ASSERT_TRUE(StartFleet(kPrinters, {"--mode", "delay", "--param", "40"}));
    QStringList args = {"write", "--jobs", "2", Path("i.dt1"), Path("i.dt2")};
    for (int i = 0; i < kPrinters; ++i) args << "--lan" << Lan(i);
    auto process = StartDazavu(args);
    ASSERT_TRUE(m_objSim->WaitFor("<< {WS|}", moment.statusRequests));
    ::kill(static_cast<pid_t>(process->processId()), moment.signal);
    const CliRun run = Finished(*process);
    EXPECT_EQ(run.exit, 128 + moment.signal) << run.err.constData();
    int untouched = 0;
    for (int i = 0; i < kPrinters; ++i) {
      const int lines = WriteLines(Log(Lan(i)));
      EXPECT_TRUE(lines == 0 || lines == 7) << Lan(i).toStdString() << ": " << lines;
      untouched += lines == 0;
      const QStringList rows = run.Lines().filter(QRegularExpression("^" + QRegularExpression::escape(Lan(i)) + "\t"));
      if (lines == 7)
        EXPECT_EQ(rows, QStringList({Lan(i) + "\twritten " + Path("i.dt1"), Lan(i) + "\twritten " + Path("i.dt2")}));
      else
        EXPECT_EQ(rows, QStringList{Lan(i) + "\tnot started\tnot started: the run was interrupted"});
    }
    EXPECT_GT(untouched, 0);
    m_objSim.reset();
  }
}

TEST_F(CliTest, APlantedLinkInTheOutDirIsRefusedAndItsTargetKept) {
  ASSERT_TRUE(StartFleet(1));
  QDir().mkpath(Path("out"));
  QTemporaryDir elsewhere;
  const QString precious = elsewhere.filePath("precious");
  WriteAll(precious, "keep me");
  const QString stem = Lan(0).replace(':', '_');
  ASSERT_EQ(
      symlink(QFile::encodeName(precious).constData(), QFile::encodeName(Path("out/" + stem + ".dt1")).constData()), 0);
  ASSERT_EQ(mkfifo(QFile::encodeName(Path("out/" + stem + ".dt2")).constData(), 0600), 0);
  const CliRun run = Dazavu({"read", "--json", "--lan", Lan(0), "--out-dir", Path("out")});
  EXPECT_EQ(run.exit, 2);
  const QString error = run.Json()["printers"][0]["error"].toString();
  EXPECT_EQ(error, "cannot write " + Path("out/" + stem + ".dt1") + ": is a symbolic link; it was left as it is");
  EXPECT_EQ(ReadAll(precious), "keep me");
  EXPECT_TRUE(QFileInfo(Path("out/" + stem + ".dt1")).isSymLink());

  const CliRun lan = Dazavu({"read", "--json", "--lan", Lan(0), "--lan-settings", Path("out/" + stem + ".dt2")});
  EXPECT_EQ(lan.exit, 2);
  EXPECT_TRUE(lan.Json()["printers"][0]["error"].toString().endsWith("is a FIFO; it was left as it is"));
}

// Printers whose every setting differs from the tool's defaults: a file read
// from one verifies against it and writes to another, and KB I/F (read,
// never written) and STOP BIT (written, never read) are never compared.
TEST_F(CliTest, PrintersThatStartFromOtherValuesReadVerifyAndWriteBack) {
  ASSERT_TRUE(StartFleet(2, {"--scramble", "11"}));
  const CliRun read = Dazavu({"read", "--lan", Lan(0), "--params", Path("s.dt1"), "--lan-settings", Path("s.dt2")});
  ASSERT_EQ(read.exit, 0) << read.err.constData();
  const CliRun same = Dazavu({"verify", "--lan", Lan(0), Path("s.dt1"), Path("s.dt2")});
  EXPECT_EQ(same.exit, 0) << same.out.constData();
  EXPECT_EQ(same.out, (Lan(0) + "\tsame\n").toUtf8());
  EXPECT_EQ(Dazavu({"diff", "lan:" + Lan(0), Path("s.dt1")}).exit, 0);

  const CliRun differs = Dazavu({"verify", "--lan", Lan(1), Path("s.dt1")});
  EXPECT_EQ(differs.exit, 3);
  EXPECT_FALSE(differs.out.contains("KB I/F")) << differs.out.constData();
  EXPECT_FALSE(differs.out.contains("STOP BIT")) << differs.out.constData();
  const CliRun write = Dazavu({"write", "--lan", Lan(1), Path("s.dt1"), Path("s.dt2")});
  EXPECT_EQ(write.exit, 0) << write.out.constData();
  EXPECT_EQ(write.Lines(), QStringList({Lan(1) + "\twritten " + Path("s.dt1"), Lan(1) + "\twritten " + Path("s.dt2")}));
  EXPECT_EQ(Dazavu({"verify", "--lan", Lan(1), Path("s.dt1"), Path("s.dt2")}).exit, 0);
}

TEST_F(CliTest, ExitStatusTellsTheWorstAndEveryPrinterHasARow) {
  ASSERT_TRUE(StartFleet(2, {"--scramble", "3"}));
  CItemManager items;
  WriteAll(Path("d.dt1"), FileOf(items, false));
  const QString down = QStringLiteral("127.0.0.1:%1").arg(m_iBasePort + 9);
  // A difference and a printer down: the one down decides.
  const CliRun run = Dazavu({"verify", "--lan", Lan(0), "--lan", down, "--lan", Lan(1), Path("d.dt1")});
  EXPECT_EQ(run.exit, 2);
  EXPECT_EQ(run.Lines().filter(QRegularExpression("^" + QRegularExpression::escape(down) + "\tfailed\t")).size(), 1);
  EXPECT_FALSE(run.Lines().filter(Lan(0) + "\t").isEmpty());
  EXPECT_FALSE(run.Lines().filter(Lan(1) + "\t").isEmpty());
  // A printer's text reaches the terminal with its control characters escaped.
  WriteAll(Path("state"), "DhcpClientHost=ab\\x1b[2J\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\n");
  m_objSim.reset();
  ASSERT_TRUE(StartFleet(1, {"--state", Path("state")}));
  const CliRun show = Dazavu({"show", "lan:" + Lan(0)});
  EXPECT_EQ(show.exit, 2);
  EXPECT_FALSE(show.err.contains('\x1b'));
  EXPECT_TRUE(show.err.contains("\\x1b[2J")) << show.err.constData();
}
