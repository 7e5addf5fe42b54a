#include <sys/stat.h>
#include <unistd.h>

#include <QJsonArray>

#include "CItemManager.h"
#include "CliFixture.h"
#include "MaintenanceCommands.h"
#include "SettingsFile.h"

namespace {

// What the window's SAVE writes after READ of a simulated printer in its
// starting state.
const QByteArray kStartDt1 =
    "{Z2;1,00210121+0001B0A00000B0000000000100|}\r\n{Z2;2,+000+000+00+000+00+00-00-001014|}\r\n";

QByteArray FileOf(CItemManager& p_objItems, bool p_bLan) {
  const std::string text = JoinFileLines(p_bLan ? BuildLanFileLines(p_objItems) : BuildParameterFileLines(p_objItems));
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

TEST_F(CliTest, StatusOfAFleetWithOnePrinterDownReportsItAndExits2) {
  ASSERT_TRUE(StartFleet(2));
  const QString down = QStringLiteral("127.0.0.1:%1").arg(m_iBasePort + 5);
  const CliRun text = Dazavu({"status", "--lan", Lan(0), "--lan", down, "--lan", Lan(1), "--timeout", "1"});
  EXPECT_EQ(text.exit, 2);
  // Every printer has its row, the one that failed included.
  EXPECT_EQ(text.Lines(),
            QStringList({Lan(0) + "\tON LINE\t00", down + "\tfailed\tconnection refused ('LAN' Open Error !!)",
                         Lan(1) + "\tON LINE\t00"}));

  const CliRun json = Dazavu({"status", "--json", "--lan", Lan(0), "--lan", down, "--timeout", "1"});
  EXPECT_EQ(json.exit, 2);
  const QJsonObject doc = json.Json();
  EXPECT_EQ(doc["command"].toString(), "status");
  EXPECT_FALSE(doc["ok"].toBool());
  EXPECT_EQ(doc["exit"].toInt(), 2);
  const QJsonArray printers = doc["printers"].toArray();
  ASSERT_EQ(printers.size(), 2);
  EXPECT_EQ(printers[0]["target"].toString(), Lan(0));
  EXPECT_TRUE(printers[0]["ok"].toBool());
  EXPECT_EQ(printers[0]["error"].toString(), "");
  EXPECT_EQ(printers[0]["status"]["text"].toString(), "ON LINE");
  EXPECT_EQ(printers[0]["status"]["code"].toString(), "00");
  EXPECT_EQ(printers[1]["target"].toString(), down);
  EXPECT_FALSE(printers[1]["ok"].toBool());
  EXPECT_EQ(printers[1]["error"].toString(), "connection refused ('LAN' Open Error !!)");
  EXPECT_EQ(Log(Lan(0)), "lan " + Lan(0).toUtf8() + " << {WS|}\n" + "lan " + Lan(0).toUtf8() + " << {WS|}\n");
}

TEST_F(CliTest, StatusTextOfASaveModePrinterKeepsItsLeadingSpaces) {
  ASSERT_TRUE(StartFleet(1, {"--status", "55"}));
  const CliRun run = Dazavu({"status", "--lan", Lan(0)});
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(run.out, (Lan(0) + "\t  Save Mode\t55\n").toUtf8());
}

TEST_F(CliTest, ReadWritesTheWindowsFilesForOneAndForManyPrinters) {
  ASSERT_TRUE(StartFleet(3));
  CItemManager start;
  const CliRun one = Dazavu({"read", "--lan", Lan(0), "--params", Path("p.dt1"), "--lan-settings", Path("l.dt2")});
  ASSERT_EQ(one.exit, 0) << one.err.constData();
  EXPECT_EQ(ReadAll(Path("p.dt1")), kStartDt1);
  EXPECT_EQ(ReadAll(Path("p.dt1")), FileOf(start, false));
  EXPECT_EQ(ReadAll(Path("l.dt2")), FileOf(start, true));
  const QByteArray sent = "lan " + Lan(0).toUtf8() + " << ";
  EXPECT_EQ(Log(Lan(0)), sent + "{Z5;0|}\n" + sent + "{Z5;1|}\n" + sent + "{Z5;4|}\n" + sent + "{Z5;3|}\n");

  QDir(m_objDir.path()).mkdir("out");
  const CliRun many =
      Dazavu({"read", "--json", "--lan", Lan(0), "--lan", Lan(1), "--lan", Lan(2), "--out-dir", Path("out")});
  ASSERT_EQ(many.exit, 0) << many.err.constData();
  const QJsonArray printers = many.Json()["printers"].toArray();
  ASSERT_EQ(printers.size(), 3);
  for (int i = 0; i < 3; ++i) {
    const QString stem = Path("out/127.0.0.1_" + QString::number(m_iBasePort + i));
    EXPECT_EQ(printers[i]["files"]["params"].toString(), stem + ".dt1");
    EXPECT_EQ(printers[i]["files"]["lan"].toString(), stem + ".dt2");
    EXPECT_EQ(ReadAll(stem + ".dt1"), kStartDt1);
  }
  const CliRun lanOnly = Dazavu({"read", "--json", "--lan", Lan(1), "--lan-settings", Path("only.dt2")});
  EXPECT_TRUE(lanOnly.Json()["printers"][0]["files"]["params"].isNull());
  EXPECT_EQ(Dazavu({"read", "--lan", Lan(0), "--lan", Lan(1), "--params", Path("x.dt1")}).exit, 1);
}

TEST_F(CliTest, WriteSendsTheSetBytesThenVerifyFindsTheDifferences) {
  ASSERT_TRUE(StartFleet(2));
  CItemManager wanted;
  wanted.m_objZeroStyle.SetValue(int32_t{1});
  wanted.m_objFeedDirection.SetValue(std::string("-"));
  wanted.m_objFeedAdjustment.SetValue(int32_t{-15});
  wanted.m_objDhcpClientHost.SetValue(std::string("HOST"));
  WriteAll(Path("w.dt1"), FileOf(wanted, false));
  WriteAll(Path("w.dt2"), FileOf(wanted, true));

  const CliRun write = Dazavu({"write", "--json", "--verify", "--lan", Lan(0), Path("w.dt1"), Path("w.dt2")});
  ASSERT_EQ(write.exit, 0) << write.out.constData() << write.err.constData();
  const QJsonObject printer = write.Json()["printers"][0].toObject();
  EXPECT_EQ(printer["written"].toArray().size(), 2);
  EXPECT_TRUE(printer["differences"].toArray().isEmpty());
  // A status request, the SET bytes in the SET order, then the read-back.
  const QByteArray sent = "lan " + Lan(0).toUtf8() + " << ";
  QByteArray expected = sent + "{WS|}\n";
  for (const auto& line : BuildParameterFileLines(wanted)) expected += sent + QByteArray::fromStdString(line) + "\n";
  QByteArray lanLines;
  for (const auto& line : BuildLanFileLines(wanted)) {
    QByteArray printable;
    for (unsigned char c : line) printable += c == 0xFF ? QByteArray("\\xFF") : QByteArray(1, static_cast<char>(c));
    lanLines += sent + printable + "\n";
  }
  expected += lanLines + sent + "{Z5;0|}\n" + sent + "{Z5;1|}\n" + sent + "{Z5;4|}\n" + sent + "{Z5;3|}\n";
  EXPECT_EQ(Log(Lan(0)), expected);

  const CliRun same = Dazavu({"verify", "--lan", Lan(0), Path("w.dt1")});
  EXPECT_EQ(same.exit, 0);
  EXPECT_EQ(same.out, (Lan(0) + "\tsame\n").toUtf8());
  const CliRun differs = Dazavu({"verify", "--lan", Lan(1), Path("w.dt1"), Path("w.dt2")});
  EXPECT_EQ(differs.exit, 3);
  EXPECT_EQ(differs.Lines(), QStringList({Lan(1) + "\tZERO CODE: NO SLASH -> WITH SLASH",
                                          Lan(1) + "\tFEED ADJ.: 0.0 -> -1.5", Lan(1) + "\tDHCP HOST NAME:  -> HOST"}))
      << differs.out.constData();
  const QJsonArray rows =
      Dazavu({"verify", "--json", "--lan", Lan(1), Path("w.dt1")}).Json()["printers"][0]["differences"].toArray();
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[1]["caption"].toString(), "FEED ADJ.");
  EXPECT_EQ(rows[1]["item"].toString(), "m_objFeedAdjustment");
  EXPECT_EQ(rows[1]["page"].toString(), "Parameter Setting");
  EXPECT_EQ(rows[1]["printer"].toString(), "0.0");
  EXPECT_EQ(rows[1]["file"].toString(), "-1.5");
}

TEST_F(CliTest, ARejectedFileSendsNothingAndExits4) {
  ASSERT_TRUE(StartFleet(1));
  WriteAll(Path("bad.dt1"), "{Z2;1,XYZ|}\r\n");
  CItemManager good;
  WriteAll(Path("good.dt1"), FileOf(good, false));
  const CliRun run = Dazavu({"write", "--json", "--lan", Lan(0), Path("good.dt1"), Path("bad.dt1")});
  EXPECT_EQ(run.exit, 4);
  EXPECT_FALSE(run.Json()["ok"].toBool());
  EXPECT_TRUE(run.Json()["error"].toString().contains(Path("bad.dt1")));
  EXPECT_EQ(Log(Lan(0)), "");
  EXPECT_EQ(Dazavu({"verify", "--lan", Lan(0), Path("bad.dt1")}).exit, 4);
  EXPECT_EQ(Dazavu({"show", Path("bad.dt1")}).exit, 4);
  EXPECT_EQ(Log(Lan(0)), "");
}

TEST_F(CliTest, ShowAndDiffGiveValuesAsTheWindowShowsThem) {
  ASSERT_TRUE(StartFleet(1));
  CItemManager items;
  items.m_objFontCode.SetValue(std::string("C"));
  items.m_objControlCode1st.SetValue(std::string("1C"));
  items.m_objThresholdAdjustment_R.SetValue(int32_t{15});
  WriteAll(Path("a.dt1"), FileOf(items, false));
  const CliRun show = Dazavu({"show", Path("a.dt1")});
  EXPECT_EQ(show.exit, 0);
  const QStringList lines = show.Lines();
  EXPECT_EQ(lines.first(), "[Parameter Setting / Parameter]");
  EXPECT_TRUE(lines.contains("FONT CODE: LATIN9"));
  EXPECT_TRUE(lines.contains("CODE 1st: 1C"));
  EXPECT_TRUE(lines.contains("[Parameter Setting / Adjustment]"));
  EXPECT_TRUE(lines.contains("THRESHOLD<R>: 1.5"));
  EXPECT_TRUE(lines.contains("PLUG & PLAY: OFF"));
  // KB I/F is in no write record, so no file carries it.
  EXPECT_FALSE(lines.contains("KB I/F: OFF"));
  EXPECT_EQ(lines.size(), 41);

  const QJsonObject printer = Dazavu({"show", "--json", "lan:" + Lan(0)}).Json();
  EXPECT_EQ(printer["source"].toString(), "lan:" + Lan(0));
  const QJsonArray settings = printer["settings"].toArray();
  // STOP BIT is in no read record, so no printer reports it.
  EXPECT_EQ(settings.size(), 56);
  EXPECT_EQ(settings[39]["caption"].toString(), "IP ADDRESS 1");
  EXPECT_EQ(settings[39]["frame"].toString(), "LAN");
  EXPECT_EQ(settings[39]["value"].toString(), "192");
  EXPECT_EQ(settings[39]["field"].toString(), "192");
  for (const QJsonValue& setting : settings) EXPECT_NE(setting["caption"].toString(), "STOP BIT");

  const CliRun diff = Dazavu({"diff", "lan:" + Lan(0), Path("a.dt1")});
  EXPECT_EQ(diff.exit, 3);
  EXPECT_EQ(diff.Lines(),
            QStringList({"FONT CODE: PC-850 -> LATIN9", "CODE 1st: 1B -> 1C", "THRESHOLD<R>: 1.0 -> 1.5"}));
  const QJsonObject json = Dazavu({"diff", "--json", Path("a.dt1"), Path("a.dt1")}).Json();
  EXPECT_TRUE(json["ok"].toBool());
  EXPECT_EQ(json["a"].toString(), Path("a.dt1"));
  EXPECT_TRUE(json["differences"].toArray().isEmpty());
  EXPECT_EQ(Dazavu({"diff", Path("a.dt1"), Path("b.dt2")}).exit, 1);
}

TEST_F(CliTest, MaintenanceSendsTheSendButtonsBytes) {
  ASSERT_TRUE(StartFleet(1));
  const QByteArray sent = "lan << ";  // a single printer logs as it always did
  const CliRun head = Dazavu({"maintenance", "--json", "--lan", Lan(0), "head-check"});
  EXPECT_EQ(head.exit, 0);
  EXPECT_EQ(head.Json()["printers"][0]["action"].toString(), "head-check");
  EXPECT_EQ(head.Json()["printers"][0]["result"].toString(), "ON LINE");
  EXPECT_EQ(Dazavu({"maintenance", "--lan", Lan(0), "diag-print", "--type", "TRANSFR"}).exit, 0);
  EXPECT_EQ(
      Dazavu({"maintenance", "--lan", Lan(0), "test-print", "--pattern", "BARCODE", "--count", "12", "--speed", "4",
              "--sensor", "TRANS.", "--cut", "PEEL OFF", "--print-type", "TRANSFR", "--label-length", "1200"})
          .exit,
      0);
  EXPECT_EQ(Dazavu({"maintenance", "--lan", Lan(0), "ram-clear", "--mode", "PARAMETER", "--destination", "QP"}).exit,
            0);
  EXPECT_EQ(Dazavu({"maintenance", "--lan", Lan(0), "threshold-calib", "TRANS."}).exit, 0);
  EXPECT_EQ(Dazavu({"maintenance", "--lan", Lan(0), "sensor-adjust", "paper-end"}).exit, 0);
  EXPECT_EQ(Dazavu({"maintenance", "--lan", Lan(0), "test-print", "--speed", "3"}).exit, 1);
  EXPECT_EQ(Dazavu({"maintenance", "--lan", Lan(0), "ram-clear", "--mode", "ALL"}).exit, 1);
  TestPrintSettings print;
  print.pattern = 4;
  print.issueCount = 12;
  print.printSpeed = 1;
  print.sensor = 2;
  print.cutType = 2;
  print.printType = 1;
  print.labelLength = 1200;
  EXPECT_EQ(Log(Lan(0)), sent + "{HD001,A|}\n" + sent + "{Z11|}\n" + sent +
                             QByteArray::fromStdString(BuildTestPrintCommand(print)) + "\n" + sent + "{Z4;02|}\n" +
                             sent + "{WT;1000,2|}\n" + sent + "{Z6;01|}\n" + sent + "{Z6;11|}\n");
}

TEST_F(CliTest, DiscoverListsThePrintersOfARange) {
  ASSERT_TRUE(StartFleet(3, {"--addresses"}));
  const CliRun text = Dazavu({"discover", "127.0.0.0/24", "--port", QString::number(m_iBasePort)});
  EXPECT_EQ(text.exit, 0);
  const QString port = QString::number(m_iBasePort);
  EXPECT_EQ(text.Lines(), QStringList({"127.0.0.1:" + port + "\tON LINE", "127.0.0.2:" + port + "\tON LINE",
                                       "127.0.0.3:" + port + "\tON LINE"}));
  const QJsonObject json =
      Dazavu({"discover", "--json", "127.0.0.0/30", "--port", QString::number(m_iBasePort)}).Json();
  const QJsonArray printers = json["printers"].toArray();
  ASSERT_EQ(printers.size(), 3);
  EXPECT_EQ(printers[1]["target"].toString(), QStringLiteral("127.0.0.2:%1").arg(m_iBasePort));
  EXPECT_EQ(printers[1]["status"]["code"].toString(), "00");
  EXPECT_EQ(Dazavu({"discover", "127.0.0.0/15"}).exit, 1);
}

// A technician may keep the backup files in a folder where only they may be
// written, not created: dazavu writes them in place there, as the window
// does. Root ignores permissions, so dazavu runs as an unprivileged user.
TEST_F(CliTest, ReadWritesAWritableFileInAReadOnlyFolderInPlace) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand the file to an unprivileged user";
  constexpr uid_t kNobody = 65534;
  const auto asNobody = [](const QStringList& p_objArgs) {
    QProcess process;
    process.start(QStringLiteral("setpriv"),
                  QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups"), QStringLiteral(DAZAVU_BIN)} +
                      p_objArgs);
    if (!process.waitForFinished(30000)) process.kill();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  };
  if (asNobody({QStringLiteral("--help")}) != 0) GTEST_SKIP() << "dazavu cannot run as an unprivileged user here";
  ASSERT_TRUE(StartFleet(1));

  QTemporaryDir folder;  // root's, mode 0755: nobody may write in it but not create files
  ASSERT_TRUE(folder.isValid());
  ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
  const QString path = folder.filePath(QStringLiteral("keep.dt1"));
  WriteAll(path, "an older and longer file\r\n" + QByteArray(2000, 'x'));
  ASSERT_EQ(chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);

  EXPECT_EQ(asNobody({QStringLiteral("read"), QStringLiteral("--lan"), Lan(0), QStringLiteral("--params"), path}), 0);
  EXPECT_EQ(ReadAll(path), kStartDt1);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.dt1")});
}

TEST_F(CliTest, UsageErrorsAndHelp) {
  EXPECT_EQ(Dazavu({}).exit, 1);
  EXPECT_EQ(Dazavu({"frobnicate"}).exit, 1);
  EXPECT_EQ(Dazavu({"status"}).exit, 1);
  const CliRun json = Dazavu({"status", "--json", "--lan", "999.1.1.1"});
  EXPECT_EQ(json.exit, 1);
  EXPECT_EQ(json.Json()["exit"].toInt(), 1);
  EXPECT_FALSE(json.Json()["error"].toString().isEmpty());
  const CliRun badAddress = Dazavu({"status", "--lan", "999.1.1.1"});
  EXPECT_EQ(badAddress.exit, 1);
  EXPECT_EQ(badAddress.err,
            "dazavu: \"999.1.1.1\" is not a host name, an IPv4 address or an IPv6 address\n"
            "Try 'dazavu status --help'.\n");
  WriteAll(Path("file"), "x");
  const CliRun noFolder = Dazavu({"read", "--lan", "127.0.0.1", "--out-dir", Path("file")});
  EXPECT_EQ(noFolder.exit, 1);
  EXPECT_TRUE(noFolder.err.startsWith(("dazavu: " + Path("file") + " is not a folder\n").toUtf8()))
      << noFolder.err.constData();
  const CliRun help = Dazavu({"--help"});
  EXPECT_EQ(help.exit, 0);
  EXPECT_TRUE(help.out.startsWith("Usage: dazavu COMMAND"));
  EXPECT_TRUE(Dazavu({"read", "--help"}).out.startsWith("Usage: dazavu read PRINTERS"));
}

TEST_F(CliTest, SerialThroughAPseudoTerminal) {
  ASSERT_TRUE(StartFleet(1, {"--pty"}));
  const QByteArray out = m_objSim->Output();
  const qsizetype at = out.indexOf("serial: ");
  ASSERT_GE(at, 0);
  const QString device = QString::fromUtf8(out.mid(at + 8, out.indexOf('\n', at) - at - 8));
  const CliRun status = Dazavu({"status", "--serial", device, "--serial-settings", "9600,N,8,1"});
  EXPECT_EQ(status.exit, 0) << status.err.constData();
  EXPECT_EQ(status.out, (device + "\tON LINE\t00\n").toUtf8());
  const CliRun read =
      Dazavu({"read", "--serial", device, "--serial-settings", "9600,N,8,1", "--params", Path("s.dt1")});
  EXPECT_EQ(read.exit, 0) << read.err.constData();
  EXPECT_EQ(ReadAll(Path("s.dt1")), kStartDt1);
}

TEST_F(CliTest, UsbThroughTheSimulatorLibrary) {
  const QString library = QStringLiteral(DZ_SIM_USB_LIBRARY);
  const CliRun status = Dazavu({"status", "--usb", "--usb-library", library});
  EXPECT_EQ(status.exit, 0) << status.err.constData();
  EXPECT_EQ(status.out, "usb\tON LINE\t00\n");
  const CliRun read = Dazavu({"read", "--usb", "--usb-library", library, "--params", Path("u.dt1")});
  EXPECT_EQ(read.exit, 0) << read.err.constData();
  EXPECT_EQ(ReadAll(Path("u.dt1")), kStartDt1);
}

}  // namespace
