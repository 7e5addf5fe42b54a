// The printers dazavu is given and the words of its command line.
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>

#include "CItemManager.h"
#include "CliFixture.h"
#include "Options.h"
#include "SettingsFile.h"
#include "Target.h"

TEST(TargetTest, HostNamesAndAddressesOfBothFamilies) {
  const struct {
    const char* text;
    const char* name;  // nullptr: refused
  } cases[] = {
      {"192.168.10.20", "192.168.10.20:8000"},
      {"192.168.10.21:9100", "192.168.10.21:9100"},
      {"printer-7.site.example", "printer-7.site.example:8000"},
      {"vm:9001", "vm:9001"},
      {"[::1]:8000", "[::1]:8000"},
      {"[fe80::1]", "[fe80::1]:8000"},
      {"::1", "[::1]:8000"},
      {"999.1.1.1", nullptr},
      {"1.2.3", nullptr},
      {"-x", nullptr},
      {"host:0", nullptr},
      {"host:65536", nullptr},
      {"[::1]x", nullptr},
      {"[127.0.0.1]:80", nullptr},
      {"under_score", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    Target target;
    QString error;
    const bool parsed = ParseLanTarget(QString::fromLatin1(c.text), target, error);
    EXPECT_EQ(parsed, c.name != nullptr) << c.text << " " << error.toStdString();
    if (parsed) {
      EXPECT_EQ(target.Name(), QString::fromLatin1(c.name));
    }
  }
}

TEST_F(CliTest, HostsFilesTakeCommentsLongLinesStandardInputAndNameEachPrinterOnce) {
  ASSERT_TRUE(StartFleet(3));
  const QByteArray hosts = "# site A\n" + Lan(0).toUtf8() + "   # office, first floor " + QByteArray(5000, 'x') +
                           "\n\n  " + Lan(1).toUtf8() + "\tON LINE\n" + Lan(0).toUtf8() + "\n" +
                           "localhost:" + QByteArray::number(m_iBasePort + 2) + "\n";
  WriteAll(Path("hosts"), hosts);
  const CliRun run = Dazavu({"status", "--hosts", Path("hosts"), "--lan", Lan(1)});
  EXPECT_EQ(run.exit, 0) << run.err.constData();
  EXPECT_EQ(run.Lines(), QStringList({Lan(0) + "\tON LINE\t00", Lan(1) + "\tON LINE\t00",
                                      QStringLiteral("localhost:%1\tON LINE\t00").arg(m_iBasePort + 2)}));
  // Each printer was asked once.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Log(Lan(i)).count("{WS|}"), 1) << i;

  const CliRun stdinHosts = Dazavu({"status", "--hosts", "-"}, Lan(2).toUtf8() + "\n");
  EXPECT_EQ(stdinHosts.Lines(), QStringList{Lan(2) + "\tON LINE\t00"});

  // discover's output is a hosts file.
  m_objSim.reset();
  ASSERT_TRUE(StartFleet(2, {"--addresses"}));
  const CliRun found = Dazavu({"discover", "127.0.0.0/29", "--port", QString::number(m_iBasePort)});
  ASSERT_EQ(found.Lines().size(), 2);
  const CliRun again = Dazavu({"status", "--hosts", "-"}, found.out);
  EXPECT_EQ(again.exit, 0);
  EXPECT_EQ(again.Lines().size(), 2);
  EXPECT_TRUE(again.Lines()[0].startsWith(found.Lines()[0].section('\t', 0, 0) + "\t"));

  WriteAll(Path("bad-hosts"), "127.0.0.1\nnot a host!\n");
  const CliRun bad = Dazavu({"status", "--hosts", Path("bad-hosts")});
  EXPECT_EQ(bad.exit, 1);
  EXPECT_TRUE(bad.err.contains("bad-hosts line 2")) << bad.err.constData();
}

TEST_F(CliTest, UnknownOptionsStrayWordsAndTheirJsonAreUsageErrors) {
  const QStringList wrong[] = {
      {"status", "-x", "--lan", "127.0.0.1"},
      {"status", "-q", "--lan", "127.0.0.1"},
      {"status", "--lan", "127.0.0.1", "stray"},
      {"status", "--frobnicate", "--lan", "127.0.0.1"},
      {"read", "--lan", "127.0.0.1", "--out-dir", "x", "extra"},
      {"status", "--lan", "127.0.0.1", "--timeout", "nan"},
      {"status", "--lan", "127.0.0.1", "--timeout", "inf"},
      {"status", "--lan", "127.0.0.1", "--timeout", "0"},
      {"status", "--lan", "127.0.0.1", "--timeout", "-1"},
      {"show", "a.dt1", "b.dt1"},
      {"show", "a.dt1", "--profile=x"},  // a switch of show, a file only for check and exporter
      {"maintenance", "--lan", "127.0.0.1", "head-check", "now"},
      {"help", "frobnicate"},
  };
  for (const QStringList& args : wrong) {
    const CliRun run = Dazavu(args);
    EXPECT_EQ(run.exit, 1) << args.join(' ').toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << args.join(' ').toStdString();
    const CliRun json = Dazavu(args + QStringList{"--json"});
    EXPECT_EQ(json.exit, 1);
    EXPECT_EQ(json.Json()["exit"].toInt(), 1) << args.join(' ').toStdString() << json.out.constData();
    EXPECT_FALSE(json.Json()["error"].toString().isEmpty());
  }
  const CliRun inCommand = Dazavu({"write", "-x"});
  EXPECT_TRUE(inCommand.err.endsWith("Try 'dazavu write --help'.\n")) << inCommand.err.constData();

  const CliRun version = Dazavu({"--version"});
  EXPECT_EQ(version.exit, 0);
  EXPECT_TRUE(version.out.startsWith("dazavu 2.")) << version.out.constData();
  const CliRun help = Dazavu({"help", "write"});
  EXPECT_EQ(help.exit, 0);
  EXPECT_EQ(help.out, Dazavu({"write", "--help"}).out);

  // "--" ends the options: a file may be named like one.
  CItemManager items;
  WriteAll(Path("-odd.dt1"), QByteArray::fromStdString(JoinFileLines(BuildParameterFileLines(items))));
  QDir::setCurrent(m_objDir.path());
  const CliRun odd = Dazavu({"show", "--", "-odd.dt1"});
  EXPECT_EQ(odd.exit, 0) << odd.err.constData();
  EXPECT_TRUE(odd.out.contains("FONT CODE: PC-850"));
  // An IPv6 printer is a printer: the rejected file is the error here.
  EXPECT_EQ(Dazavu({"verify", "--lan", "[::1]:9", Path("missing.dt1")}).exit, 4);
}

TEST_F(CliTest, JobsAreCappedToTheOpenFileLimit) {
  ASSERT_TRUE(StartFleet(3));
  QProcess shell;
  shell.start("sh", {"-c",
                     QStringLiteral("ulimit -n 200 && exec \"$0\" status --jobs 600 --lan %1 --lan %2 --lan %3")
                         .arg(Lan(0), Lan(1), Lan(2)),
                     QStringLiteral(DAZAVU_BIN)});
  const CliRun run = Finished(shell);
  EXPECT_EQ(run.exit, 0) << run.err.constData();
  EXPECT_EQ(run.Lines().size(), 3);
  EXPECT_EQ(run.err.count("open-file limit"), 1) << run.err.constData();
}

TEST_F(CliTest, ComNIsTheWindowsComN) {
  // No serial port is attached at COM9 here: the error names that entry.
  const CliRun run = Dazavu({"status", "--com", "9", "--json"});
  EXPECT_EQ(run.exit, 2);
  EXPECT_TRUE(run.Json()["printers"][0]["error"].toString().contains("COM9")) << run.out.constData();
}

namespace {

// The long options a text names ("--name", or "\-\-name" in a man page).
QSet<QString> OptionsIn(const QString& p_sText) {
  QSet<QString> names;
  static const QRegularExpression option(QStringLiteral(R"((?:\\-\\-|--)([a-z][a-z0-9]*(?:(?:\\-|-)[a-z0-9]+)*))"));
  for (auto it = option.globalMatch(p_sText); it.hasNext();) names << it.next().captured(1).replace("\\-", "-");
  return names;
}

QString ManPage(const char* p_sName) {
  QFile file(QStringLiteral(DZ_MAN_DIR "/%1.1").arg(QLatin1String(p_sName)));
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

TEST_F(CliTest, TheManPagesNameTheOptionsThatExist) {
  QString help = QString::fromUtf8(Dazavu({"--help"}).out);
  for (const char* command : {"status", "read", "write", "verify", "diff", "show", "maintenance", "discover", "set",
                              "apply", "restore", "backups", "captions", "check", "exporter"})
    help += QString::fromUtf8(Dazavu({"help", command}).out);
  const QString page = ManPage("dazavu");
  ASSERT_FALSE(page.isEmpty());
  EXPECT_EQ(OptionsIn(page), OptionsIn(help));
  for (const QString& name : OptionsIn(page)) {
    const CliRun run = Dazavu({"status", "--" + name});
    EXPECT_FALSE(run.err.contains("unknown option")) << name.toStdString();
  }
  EXPECT_TRUE(page.contains(".SH EXAMPLES"));
  EXPECT_TRUE(page.contains("threshold-calib \\fRREFLECT.|TRANS."));

  QProcess simulator;
  simulator.start(QStringLiteral(DZ_SIM_BIN), {"--help"});
  ASSERT_TRUE(simulator.waitForFinished(10000));
  QSet<QString> simulatorOptions = OptionsIn(QString::fromUtf8(simulator.readAllStandardOutput()));
  simulatorOptions.remove("help");
  simulatorOptions.remove("help-all");
  const QString simulatorPage = ManPage("dazavu-printer-sim");
  EXPECT_EQ(OptionsIn(simulatorPage), simulatorOptions);
  EXPECT_TRUE(simulatorPage.contains(".SH EXAMPLES"));
}
