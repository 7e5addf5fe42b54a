// dazavu check as a monitoring plugin: one line, perfdata, exit 0 to 3.
#include <QRegularExpression>

#include "CItemManager.h"
#include "CliFixture.h"
#include "SettingsFile.h"

namespace {

// "DAZAVU STATE - TEXT | time=S;;;0" and nothing else.
void ExpectLine(const CliRun& p_objRun, int p_iExit, const QString& p_sState, const QString& p_sText) {
  EXPECT_EQ(p_objRun.exit, p_iExit) << p_objRun.out.constData() << p_objRun.err.constData();
  const QRegularExpression line(QStringLiteral("^DAZAVU %1 - %2 \\| time=\\d+\\.\\d{6}s;;;0\\n$")
                                    .arg(p_sState, QRegularExpression::escape(p_sText)));
  EXPECT_TRUE(line.match(QString::fromUtf8(p_objRun.out)).hasMatch()) << p_objRun.out.constData();
}

}  // namespace

TEST_F(CliTest, CheckGivesEachStatusItsStateAndTheListsMoveCodes) {
  ASSERT_TRUE(StartFleet(6, {"--status", "00,13,04,55,03,05"}));
  ExpectLine(Dazavu({"check", "--lan", Lan(0)}), 0, "OK", Lan(0) + " ON LINE");
  ExpectLine(Dazavu({"check", "--lan", Lan(1)}), 2, "CRITICAL", Lan(1) + " Paper Error");
  ExpectLine(Dazavu({"check", "--lan", Lan(2)}), 1, "WARNING", Lan(2) + " PAUSE");
  ExpectLine(Dazavu({"check", "--lan", Lan(3)}), 0, "OK", Lan(3) + " Save Mode");
  ExpectLine(Dazavu({"check", "--lan", Lan(4)}), 3, "UNKNOWN", Lan(4) + " status code 03 (unknown status code 03)");
  ExpectLine(Dazavu({"check", "--lan", Lan(5)}), 1, "WARNING", Lan(5) + " Peel off waiting");
  // The lists replace the defaults; a code in both is critical.
  ExpectLine(Dazavu({"check", "--lan", Lan(2), "--critical", "04,13"}), 2, "CRITICAL", Lan(2) + " PAUSE");
  ExpectLine(Dazavu({"check", "--lan", Lan(1), "--critical", "", "--warning", "13"}), 1, "WARNING",
             Lan(1) + " Paper Error");
  ExpectLine(Dazavu({"check", "--lan", Lan(5), "--warning", "04"}), 0, "OK", Lan(5) + " Peel off waiting");
  ExpectLine(Dazavu({"check", "--lan", Lan(0), "--warning", "00", "--critical", "00"}), 2, "CRITICAL",
             Lan(0) + " ON LINE");
}

TEST_F(CliTest, CheckOfAPrinterThatDoesNotAnswerIsCritical) {
  ASSERT_TRUE(StartFleet(1, {"--mode", "silence"}));
  const QString down = QStringLiteral("127.0.0.1:%1").arg(m_iBasePort + 9);
  const CliRun refused = Dazavu({"check", "--lan", down, "--timeout", "1"});
  EXPECT_EQ(refused.exit, 2);
  EXPECT_TRUE(refused.out.startsWith("DAZAVU CRITICAL - " + down.toUtf8() + " does not answer: "))
      << refused.out.constData();
  const CliRun silent = Dazavu({"check", "--lan", Lan(0), "--timeout", "0.5"});
  EXPECT_EQ(silent.exit, 2);
  EXPECT_TRUE(silent.out.startsWith("DAZAVU CRITICAL - " + Lan(0).toUtf8() + " does not answer: "))
      << silent.out.constData();
  EXPECT_TRUE(silent.out.contains(" | time=")) << silent.out.constData();
  EXPECT_EQ(silent.out.count('\n'), 1);
}

TEST_F(CliTest, CheckUsageErrorsAreUnknown) {
  WriteAll(Path("bad.dt1"), "nothing\r\n");
  WriteAll(Path("unknown.txt"), "NO SUCH SETTING: 1\n");
  WriteAll(Path("empty.txt"), "# nothing the printer reports\n");
  const std::vector<std::pair<QStringList, QString>> cases = {
      {{"check"}, "name exactly one printer"},
      {{"check", "--lan", "127.0.0.1", "--lan", "127.0.0.2"}, "name exactly one printer"},
      {{"check", "--lan", "127.0.0.1", "extra"}, "name exactly one printer"},
      {{"check", "--lan", "nowhere:x"}, "bad port"},
      {{"check", "--bogus"}, "unknown option --bogus"},
      {{"check", "--lan", "127.0.0.1", "--warning", "4"}, "--warning takes status codes"},
      {{"check", "--lan", "127.0.0.1", "--critical", "11,123"}, "--critical takes status codes"},
      {{"check", "--lan", "127.0.0.1", "--profile", Path("bad.dt1")}, "bad.dt1"},
      {{"check", "--lan", "127.0.0.1", "--profile", Path("missing.dt1")}, "missing.dt1"},
      {{"check", "--lan", "127.0.0.1", "--profile", Path("unknown.txt")}, "NO SUCH SETTING"},
      {{"check", "--lan", "127.0.0.1", "--profile", Path("empty.txt")}, "names no setting a printer reports"},
      {{"check", "--profile", Path("empty.txt")}, "name exactly one printer"},
      {{"check", "--lan", "127.0.0.1", "--warning", "a|b"}, "--warning takes status codes"},
  };
  for (const auto& [args, reason] : cases) {
    const CliRun run = Dazavu(args);
    EXPECT_EQ(run.exit, 3) << args.join(' ').toStdString();
    EXPECT_TRUE(run.out.startsWith("DAZAVU UNKNOWN - ")) << run.out.constData();
    EXPECT_TRUE(run.out.contains(reason.toUtf8())) << run.out.constData();
    EXPECT_EQ(run.out.count('\n'), 1) << run.out.constData();
  }
}

TEST_F(CliTest, CheckWithAProfileWarnsOfTheSettingsThatDiffer) {
  ASSERT_TRUE(StartFleet(2, {"--status", "00,13"}));
  CItemManager factory, site;
  WriteAll(Path("factory.dt1"), QByteArray::fromStdString(JoinFileLines(BuildParameterFileLines(factory))));
  site.m_objFeedDirection.SetValue(std::string("-"));
  site.m_objFeedAdjustment.SetValue(int32_t{-15});
  WriteAll(Path("site.dt1"), QByteArray::fromStdString(JoinFileLines(BuildParameterFileLines(site))));

  const CliRun same = Dazavu({"check", "--lan", Lan(0), "--profile", Path("factory.dt1")});
  EXPECT_EQ(same.exit, 0);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^DAZAVU OK - %1 ON LINE \\| time=[0-9.]+s;;;0 differences=0;1;;0\\n$")
                                     .arg(QRegularExpression::escape(Lan(0))))
                  .match(QString::fromUtf8(same.out))
                  .hasMatch())
      << same.out.constData();

  const CliRun drift = Dazavu({"check", "--lan", Lan(0), "--profile", Path("site.dt1")});
  EXPECT_EQ(drift.exit, 1);
  const QStringList lines = drift.Lines();
  ASSERT_EQ(lines.size(), 2) << drift.out.constData();
  EXPECT_TRUE(lines[0].startsWith("DAZAVU WARNING - " + Lan(0) + " ON LINE, 1 setting(s) differ from " +
                                  Path("site.dt1") + " | time="))
      << lines[0].toStdString();
  EXPECT_TRUE(lines[0].endsWith(" differences=1;1;;0"));
  EXPECT_EQ(lines[1], "FEED ADJ.: 0.0 -> -1.5");
  // A critical status stays critical with drift.
  EXPECT_EQ(Dazavu({"check", "--lan", Lan(1), "--profile", Path("site.dt1")}).exit, 2);

  // Profiles as apply reads them: only the settings they name are compared.
  WriteAll(Path("same.txt"), "# what the printers hold\nFEED ADJ.: 0.0\nSPEED: 9600bps\n");
  const CliRun sameProfile = Dazavu({"check", "--lan", Lan(0), "--profile", Path("same.txt")});
  EXPECT_EQ(sameProfile.exit, 0) << sameProfile.out.constData();
  EXPECT_TRUE(sameProfile.out.endsWith(" differences=0;1;;0\n")) << sameProfile.out.constData();
  WriteAll(Path("site.json"), R"({"FEED ADJ.": "-1.5", "SPEED": "9600bps"})");
  const CliRun driftProfile = Dazavu({"check", "--lan", Lan(0), "--profile", Path("site.json")});
  EXPECT_EQ(driftProfile.exit, 1) << driftProfile.out.constData();
  EXPECT_EQ(driftProfile.Lines().value(1), "FEED ADJ.: 0.0 -> -1.5") << driftProfile.out.constData();
}

TEST_F(CliTest, CheckOverASerialLineAndUsb) {
  ASSERT_TRUE(StartFleet(1, {"--pty", "--status", "14"}));
  const QByteArray out = m_objSim->Output();
  const qsizetype at = out.indexOf("serial: ");
  ASSERT_GE(at, 0) << out.constData();
  const QString device = QString::fromUtf8(out.mid(at + 8, out.indexOf('\n', at) - at - 8));
  ExpectLine(Dazavu({"check", "--serial", device, "--serial-settings", "9600,N,8,1"}), 2, "CRITICAL",
             device + " NO RIBBON");
  CItemManager factory;
  WriteAll(Path("factory.dt1"), QByteArray::fromStdString(JoinFileLines(BuildParameterFileLines(factory))));
  const CliRun usb = Dazavu({"check", "--usb", "--usb-library", DZ_SIM_USB_LIBRARY, "--profile", Path("factory.dt1")});
  EXPECT_EQ(usb.exit, 0) << usb.out.constData();
  EXPECT_TRUE(usb.out.startsWith("DAZAVU OK - usb ON LINE | time=")) << usb.out.constData();
  EXPECT_TRUE(usb.out.endsWith(" differences=0;1;;0\n")) << usb.out.constData();
}
