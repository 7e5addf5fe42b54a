// set, apply, the profiles show makes, and the backups and audit lines of the
// writing commands, against simulated printers that each hold their own
// calibration.
#include <QJsonArray>

#include "CliFixture.h"

namespace {

// Each printer's own settings: parameter record, adjustment record.
const char* const kOwn[3][2] = {
    {"{Z2;1,00210121+0001B0A00000B0000000000100|}", "{Z2;2,+005+010+01+000+01+00-00-001014|}"},
    {"{Z2;1,01210121+0001B0A00000B0000000000100|}", "{Z2;2,-015+100-05+005-02+07-07-151530|}"},
    {"{Z2;1,C0210221+0001B0A00000B0000000000100|}", "{Z2;2,+500-500+95-995+10-10-15-003040|}"},
};

// A record with some of its field characters replaced: {position, text}.
QByteArray With(const char* p_sRecord, std::initializer_list<std::pair<int, const char*>> p_objFields) {
  QByteArray record(p_sRecord);
  for (const auto& [position, text] : p_objFields) record.replace(6 + position, qstrlen(text), text);
  return record;
}

class SettingsByNameTest : public CliTest {
 protected:
  // A fleet of three printers, each given its own settings, the logs then
  // started afresh.
  void StartOwnFleet() {
    ASSERT_TRUE(StartFleet(3));
    for (int i = 0; i < 3; ++i) {
      const QString file = Path(QStringLiteral("own%1.dt1").arg(i));
      WriteAll(file, QByteArray(kOwn[i][0]) + "\r\n" + kOwn[i][1] + "\r\n");
      const CliRun write = Dazavu({"write", "--no-backup", "--lan", Lan(i), file});
      ASSERT_EQ(write.exit, 0) << write.err.constData();
      m_objLogStart[i] = Log(Lan(i)).size();
    }
  }
  // What the printers receive from now on is what Sent returns.
  void Mark() {
    for (int i = 0; i < 3; ++i) m_objLogStart[i] = Log(Lan(i)).size();
  }
  // What the printer received since StartOwnFleet or Mark.
  QByteArray Sent(int p_iIndex) const { return Log(Lan(p_iIndex)).mid(m_objLogStart[p_iIndex]); }
  QByteArray Line(int p_iIndex, const QByteArray& p_byCommand) const {
    return "lan " + Lan(p_iIndex).toUtf8() + " << " + p_byCommand + "\n";
  }
  QByteArray Reads(int p_iIndex, std::initializer_list<int> p_objKinds) const {
    QByteArray lines;
    for (int kind : p_objKinds) lines += Line(p_iIndex, "{Z5;" + QByteArray::number(kind) + "|}");
    return lines;
  }
  QStringList Fleet() const {
    return {"--lan", Lan(0),         "--lan",         Lan(1),        "--lan",
            Lan(2),  "--backup-dir", Path("backups"), "--audit-log", Path("audit.jsonl")};
  }
  QStringList BackupRuns() const {
    return QDir(Path("backups")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  }
  QList<QJsonObject> AuditLines() const {
    QList<QJsonObject> lines;
    for (const QByteArray& line : ReadAll(Path("audit.jsonl")).split('\n'))
      if (!line.isEmpty()) lines << QJsonDocument::fromJson(line).object();
    return lines;
  }

  qsizetype m_objLogStart[3] = {0, 0, 0};
};

TEST_F(SettingsByNameTest, SetSendsOnlyTheRecordHoldingTheSettingsAndEachPrinterKeepsTheRest) {
  StartOwnFleet();
  const CliRun set = Dazavu(QStringList{"set", "SPEED=19200bps", "STOP BIT=1bit"} + Fleet());
  ASSERT_EQ(set.exit, 0) << set.err.constData();
  for (int i = 0; i < 3; ++i) {
    // Read all four records (the backup), the printer's own Parameter record
    // with only speed and stop bit changed, then its read-back.
    EXPECT_EQ(Sent(i), Reads(i, {0, 1, 4, 3}) + Line(i, With(kOwn[i][0], {{2, "3"}, {4, "0"}})) + Reads(i, {1, 4}))
        << i;
    EXPECT_TRUE(set.Lines().contains(Lan(i) + "\tSPEED: 9600bps -> 19200bps")) << set.out.constData();
  }
  EXPECT_TRUE(set.Lines().contains(Lan(2) + "\tSTOP BIT: (not reported by the printer) -> 1bit"));

  // The backups hold what each printer held before, as read writes it.
  const QStringList runs = BackupRuns();
  ASSERT_EQ(runs.size(), 1);
  const QString run = Path("backups/" + runs[0]);
  EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d{6}Z$").match(runs[0]).hasMatch()) << runs[0].toStdString();
  for (int i = 0; i < 3; ++i) {
    const QString stem = run + "/127.0.0.1_" + QString::number(m_iBasePort + i);
    EXPECT_EQ(ReadAll(stem + ".dt1"), QByteArray(kOwn[i][0]) + "\r\n" + kOwn[i][1] + "\r\n");
    EXPECT_TRUE(ReadAll(stem + ".dt2").startsWith("{IP;2,192,168,010,020|}\r\n"));
  }
  const QJsonObject manifest = QJsonDocument::fromJson(ReadAll(run + "/manifest.json")).object();
  EXPECT_EQ(manifest["targets"].toArray().size(), 3);
  EXPECT_TRUE(manifest["command"].toString().startsWith("dazavu set SPEED=19200bps 'STOP BIT=1bit' --lan"));
  EXPECT_FALSE(manifest["user"].toString().isEmpty());

  // One audit line a printer written.
  const QList<QJsonObject> audit = AuditLines();
  ASSERT_EQ(audit.size(), 3);
  QStringList targets;
  for (const QJsonObject& line : audit) {
    targets << line["target"].toString();
    EXPECT_EQ(line["outcome"].toString(), "ok");
    EXPECT_EQ(line["backup"].toString(), run);
    EXPECT_FALSE(line["machine"].toString().isEmpty());
    const QJsonArray changes = line["changes"].toArray();
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0]["caption"].toString(), "SPEED");
    EXPECT_EQ(changes[0]["before"].toString(), "9600bps");
    EXPECT_EQ(changes[0]["after"].toString(), "19200bps");
  }
  targets.sort();
  EXPECT_EQ(targets, QStringList({Lan(0), Lan(1), Lan(2)}));

  // Again: every printer holds the values already. Nothing is written, no
  // backup taken, no audit line added.
  Mark();
  const CliRun again = Dazavu(QStringList{"set", "SPEED=19200bps", "STOP BIT=1bit", "--json"} + Fleet());
  EXPECT_EQ(again.exit, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Sent(i), Reads(i, {0, 1, 4, 3}));
    const QJsonObject printer = again.Json()["printers"][i].toObject();
    EXPECT_FALSE(printer["changed"].toBool());
    EXPECT_TRUE(printer["commands"].toArray().isEmpty());
  }
  EXPECT_EQ(BackupRuns().size(), 1);
  EXPECT_EQ(AuditLines().size(), 3);
}

TEST_F(SettingsByNameTest, AProfileFromShowChangesNoCalibrationAnywhere) {
  StartOwnFleet();
  const CliRun source = Dazavu({"show", "lan:" + Lan(2), "--profile"});
  ASSERT_EQ(source.exit, 0);
  EXPECT_FALSE(source.out.contains("FEED ADJ.")) << source.out.constData();
  EXPECT_FALSE(source.out.contains("IP ADDRESS"));
  EXPECT_FALSE(source.out.contains("KB I/F"));
  EXPECT_TRUE(source.out.contains("PARITY: ODD\n"));
  Mark();
  // Without the stop bit, which no printer reports, the profile is refused.
  WriteAll(Path("site.profile"), source.out);
  const CliRun refused = Dazavu(QStringList{"apply", Path("site.profile"), "--no-backup"} + Fleet());
  EXPECT_EQ(refused.exit, 1);
  EXPECT_TRUE(refused.err.contains("STOP BIT must be given")) << refused.err.constData();
  EXPECT_EQ(Sent(0) + Sent(1), "");

  WriteAll(Path("site.profile"), source.out + "STOP BIT: 1bit\n");
  const CliRun apply = Dazavu(QStringList{"apply", Path("site.profile")} + Fleet());
  ASSERT_EQ(apply.exit, 0) << apply.err.constData();
  // Printers 0 and 1 take printer 2's Parameter record and keep their own
  // Adjustment records; printer 2 already holds it all.
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Sent(i), Reads(i, {0, 1, 4, 3}) + Line(i, kOwn[2][0]) + Reads(i, {1, 4})) << i;
  EXPECT_EQ(Sent(2).toStdString(), Reads(2, {0, 1, 4, 3}).toStdString());
  EXPECT_TRUE(apply.Lines().contains(Lan(2) + "\tunchanged")) << apply.out.constData();
  for (int i = 0; i < 3; ++i) {
    const CliRun read = Dazavu({"read", "--lan", Lan(i), "--params", Path("after.dt1")});
    ASSERT_EQ(read.exit, 0);
    EXPECT_EQ(ReadAll(Path("after.dt1")), QByteArray(kOwn[2][0]) + "\r\n" + kOwn[i][1] + "\r\n") << i;
  }

  // The JSON show prints is a profile too, and so is a mapping.
  WriteAll(Path("map.json"), R"({"ZERO CODE": "WITH SLASH", "FEED KEY": "PRINT", "STOP BIT": "1bit"})");
  const CliRun mapping = Dazavu({"apply", "--lan", Lan(0), Path("map.json"), "--no-backup", "--audit-log",
                                 Path("audit.jsonl"), "--dry-run", "--json"});
  ASSERT_EQ(mapping.exit, 0) << mapping.err.constData();
  const QJsonObject printer = mapping.Json()["printers"][0].toObject();
  EXPECT_TRUE(printer["dry_run"].toBool());
  EXPECT_EQ(printer["commands"].toArray().size(), 1);
  const QJsonArray changes = printer["changes"].toArray();  // in the order of the mapping's keys
  ASSERT_EQ(changes.size(), 3);
  EXPECT_EQ(changes[2]["caption"].toString(), "ZERO CODE");
  EXPECT_EQ(changes[2]["before"].toString(), "NO SLASH");
  EXPECT_EQ(changes[2]["after"].toString(), "WITH SLASH");
  const CliRun json = Dazavu({"show", "--json", "lan:" + Lan(1)});
  WriteAll(Path("show.json"), json.out);
  // What show marks as not settable (KB I/F) gives nothing; the stop bit,
  // not reported, must still be given.
  const CliRun fromShow = Dazavu({"apply", "--lan", Lan(1), Path("show.json"), "--dry-run"});
  EXPECT_EQ(fromShow.exit, 1);
  EXPECT_TRUE(fromShow.err.contains("STOP BIT must be given")) << fromShow.err.constData();
}

TEST_F(SettingsByNameTest, RefusalsComeBeforeAnyPrinterIsContacted) {
  StartOwnFleet();
  const QStringList one = {"--lan", Lan(0), "--no-backup"};
  const QStringList two = {"--lan", Lan(0), "--lan", Lan(1), "--no-backup"};
  const struct {
    QStringList args;
    const char* error;
  } cases[] = {
      {QStringList{"set", "SPEED=19200"} + one, "SPEED: '19200' is not one of 2400bps, 4800bps"},
      {QStringList{"set", "FEED ADJ.=50.5"} + one, "FEED ADJ.: '50.5' is out of range -50.0 to 50.0"},
      {QStringList{"set", "CODE 1st=ZZ"} + one, "CODE 1st: 'ZZ' is not a hexadecimal number; it takes 00 to FF"},
      {QStringList{"set", "KB I/F=KB80"} + one, "KB I/F: the printer takes no write for this setting"},
      {QStringList{"set", "FEED ADJ=1.0"} + one, "unknown setting 'FEED ADJ' (did you mean 'FEED ADJ.'?)"},
      {QStringList{"set", "PARITY=ODD"} + one, "STOP BIT must be given"},
      {QStringList{"set", "FEED ADJ.=1.0", "TONE ADJ.<T>=2"} + two,
       "these settings belong to one printer and would be copied onto 2 printers: FEED ADJ., TONE ADJ.<T>"},
      {QStringList{"set", "IP ADDRESS 4=50", "DHCP=OFF", "--per-unit"} + two,
       "a static IP ADDRESS (DHCP OFF) goes to one printer at a time"},
      {QStringList{"set", "SPEED"} + one, "'SPEED' is not CAPTION=VALUE"},
      {QStringList{"apply", Path("missing.profile")} + one, "/missing.profile: cannot be read"},
  };
  for (const auto& c : cases) {
    const CliRun run = Dazavu(c.args);
    EXPECT_EQ(run.exit, 1) << c.error;
    EXPECT_TRUE(run.err.startsWith(QByteArray("dazavu: ") + c.error) || run.err.contains(c.error))
        << run.err.constData();
  }
  EXPECT_EQ(Sent(0) + Sent(1), "");
  EXPECT_FALSE(QFileInfo::exists(Path("state/dazavu/backups")));
  EXPECT_EQ(ReadAll(Path("state/dazavu/audit.jsonl")).count('\n'), 3);  // the three writes of StartOwnFleet

  // With --per-unit each printer gets the calibration named, and keeps the
  // rest of its own.
  const CliRun perUnit = Dazavu(QStringList{"set", "TONE ADJ.<T>=-3", "--per-unit"} + two);
  ASSERT_EQ(perUnit.exit, 0) << perUnit.err.constData();
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(Sent(i), Reads(i, {0, 1}) + Line(i, With(kOwn[i][1], {{15, "-03"}})) + Reads(i, {0, 1})) << i;

  // The stop bit alone cannot be compared with anything: it is always sent.
  Mark();
  for (int round = 0; round < 2; ++round) {
    const CliRun stopBit = Dazavu({"set", "STOP BIT=2bits", "--lan", Lan(2), "--no-backup"});
    ASSERT_EQ(stopBit.exit, 0) << stopBit.err.constData();
  }
  const QByteArray once = Reads(2, {1, 4}) + Line(2, With(kOwn[2][0], {{4, "1"}})) + Reads(2, {1, 4});
  EXPECT_EQ(Sent(2), once + once);
}

TEST_F(SettingsByNameTest, RestoreBringsEachPrinterItsOwnBackupAndWriteTakesOne) {
  StartOwnFleet();
  const CliRun set = Dazavu(QStringList{"set", "TONE ADJ.<D>=9", "THRESHOLD<R>=2.5", "--per-unit"} + Fleet());
  ASSERT_EQ(set.exit, 0) << set.err.constData();
  ASSERT_EQ(BackupRuns().size(), 1);
  const QString run = Path("backups/" + BackupRuns()[0]);
  Mark();

  // Printer 2's files are missing: it fails alone.
  QFile::remove(run + "/127.0.0.1_" + QString::number(m_iBasePort + 2) + ".dt1");
  QFile::remove(run + "/127.0.0.1_" + QString::number(m_iBasePort + 2) + ".dt2");
  const CliRun restore = Dazavu(QStringList{"restore", "--from", run, "--json"} + Fleet());
  EXPECT_EQ(restore.exit, 2) << restore.out.constData();
  const QJsonArray printers = restore.Json()["printers"].toArray();
  ASSERT_EQ(printers.size(), 3);
  EXPECT_TRUE(printers[0]["ok"].toBool());
  EXPECT_TRUE(printers[1]["ok"].toBool());
  EXPECT_EQ(printers[2]["error"].toString(),
            QStringLiteral("no 127.0.0.1_%1.dt1 or 127.0.0.1_%1.dt2 in %2").arg(m_iBasePort + 2).arg(run));
  EXPECT_EQ(Sent(2), "");
  for (int i = 0; i < 2; ++i) {
    // Status, backup, the printer's own files as SET sends them, the read-back.
    const QString stem = run + "/127.0.0.1_" + QString::number(m_iBasePort + i);
    QByteArray files;
    for (const QByteArray& line : (ReadAll(stem + ".dt1") + ReadAll(stem + ".dt2")).split('\n'))
      if (!line.isEmpty()) files += Line(i, line.chopped(1).replace("\xFF", "\\xFF"));
    EXPECT_EQ(Sent(i), Line(i, "{WS|}") + Reads(i, {0, 1, 4, 3}) + files + Reads(i, {0, 1, 4, 3})) << i;
    const CliRun read = Dazavu({"read", "--lan", Lan(i), "--params", Path("p.dt1"), "--lan-settings", Path("l.dt2")});
    ASSERT_EQ(read.exit, 0);
    EXPECT_EQ(ReadAll(Path("p.dt1")), ReadAll(stem + ".dt1")) << i;
    EXPECT_EQ(ReadAll(Path("p.dt1")), QByteArray(kOwn[i][0]) + "\r\n" + kOwn[i][1] + "\r\n") << i;
    EXPECT_EQ(ReadAll(Path("l.dt2")), ReadAll(stem + ".dt2")) << i;
  }
  // The restore took its own backup, and audited what it changed.
  EXPECT_EQ(BackupRuns().size(), 2);
  const QList<QJsonObject> audit = AuditLines();
  ASSERT_EQ(audit.size(), 3 + 2);
  EXPECT_TRUE(audit[3]["command"].toString().startsWith("dazavu restore --from"));
  const QJsonArray changes = audit[3]["changes"].toArray();
  ASSERT_EQ(changes.size(), 2);
  EXPECT_EQ(changes[0]["caption"].toString(), "TONE ADJ.<D>");
  EXPECT_EQ(changes[0]["before"].toString(), "9");
  EXPECT_EQ(changes[1]["caption"].toString(), "THRESHOLD<R>");
  EXPECT_EQ(changes[1]["before"].toString(), "2.5");

  // A folder that is none, and a rejected file, send nothing.
  EXPECT_EQ(Dazavu(QStringList{"restore", "--from", Path("none")} + Fleet()).exit, 1);
  WriteAll(run + "/127.0.0.1_" + QString::number(m_iBasePort + 2) + ".dt1", "{Z2;1,XYZ|}\r\n");
  EXPECT_EQ(Dazavu(QStringList{"restore", "--from", run} + Fleet()).exit, 4);
  EXPECT_EQ(Sent(2), "");
}

TEST_F(SettingsByNameTest, OnAScrambledFleetEachPrinterKeepsEveryOtherFieldOfItsOwn) {
  // Every field of every printer starts from a value of its own.
  ASSERT_TRUE(StartFleet(3, {"--scramble", "24"}));
  QDir(m_objDir.path()).mkdir("own");
  ASSERT_EQ(Dazavu({"read", "--lan", Lan(0), "--lan", Lan(1), "--lan", Lan(2), "--out-dir", Path("own")}).exit, 0);
  Mark();
  const CliRun set = Dazavu(QStringList{"set", "SPEED=115200bps", "STOP BIT=2bits", "--json"} + Fleet());
  ASSERT_EQ(set.exit, 0) << set.out.constData() << set.err.constData();
  for (int i = 0; i < 3; ++i) {
    const QList<QByteArray> own =
        ReadAll(Path("own/127.0.0.1_" + QString::number(m_iBasePort + i) + ".dt1")).split('\r');
    ASSERT_GE(own.size(), 2);
    const QByteArray record = With(own[0].constData(), {{2, "5"}, {4, "1"}});
    // The printer's own Parameter record with speed and stop bit changed,
    // unless its speed was that already.
    const QByteArray expected = own[0].mid(6 + 2, 1) == "5"
                                    ? Reads(i, {0, 1, 4, 3})
                                    : Reads(i, {0, 1, 4, 3}) + Line(i, record) + Reads(i, {1, 4});
    EXPECT_EQ(Sent(i).toStdString(), expected.toStdString()) << i;
  }
}

TEST_F(SettingsByNameTest, AValueThePrinterHoldsButNoBoxTakesStaysOutOfProfiles) {
  WriteAll(Path("state"), "SocketPortNumber=66667\n");
  ASSERT_TRUE(StartFleet(1, {"--state", Path("state")}));
  const CliRun profile = Dazavu({"show", "lan:" + Lan(0), "--profile"});
  ASSERT_EQ(profile.exit, 0);
  EXPECT_TRUE(
      profile.Lines().contains("# SOCKET PORT NUMBER: 66667 (SOCKET PORT NUMBER: '66667' is out of range 0 to 65535)"))
      << profile.out.constData();
  for (const QJsonValue& setting : Dazavu({"show", "--json", "lan:" + Lan(0)}).Json()["settings"].toArray())
    EXPECT_EQ(setting["settable"].toBool(), setting["caption"].toString() != "SOCKET PORT NUMBER" &&
                                                setting["caption"].toString() != "KB I/F" &&
                                                setting["caption"].toString() != "STOP BIT")
        << setting["caption"].toString().toStdString();
  // The profile applies as it stands, once the stop bit is given.
  WriteAll(Path("p.profile"), profile.out + "STOP BIT: 1bit\n");
  EXPECT_EQ(Dazavu({"apply", "--lan", Lan(0), Path("p.profile"), "--no-backup"}).exit, 0);
}

TEST_F(SettingsByNameTest, ShowAndDiffNeverMakeUpTheStopBit) {
  ASSERT_TRUE(StartFleet(1));
  const CliRun show = Dazavu({"show", "lan:" + Lan(0)});
  EXPECT_TRUE(show.Lines().contains("STOP BIT: (not reported by the printer)")) << show.out.constData();
  const QJsonArray settings = Dazavu({"show", "--json", "lan:" + Lan(0)}).Json()["settings"].toArray();
  EXPECT_EQ(settings[4]["caption"].toString(), "STOP BIT");
  EXPECT_TRUE(settings[4]["field"].isNull());
  EXPECT_FALSE(settings[4]["reported"].toBool());
  // A file shows what it carries.
  WriteAll(Path("two.dt1"),
           "{Z2;1,00211121+0001B0A00000B0000000000100|}\r\n{Z2;2,+000+000+00+000+00+00-00-001014|}\r\n");
  EXPECT_TRUE(Dazavu({"show", Path("two.dt1")}).Lines().contains("STOP BIT: 2bits"));
  // Nobody compares it.
  const CliRun diff = Dazavu({"diff", "lan:" + Lan(0), Path("two.dt1")});
  EXPECT_EQ(diff.exit, 0) << diff.out.constData();
  EXPECT_EQ(diff.out, "");
}

TEST_F(SettingsByNameTest, APrinterDownFailsAloneAndAnAuditLogThatCannotBeWrittenStopsNothing) {
  StartOwnFleet();
  const QString down = QStringLiteral("127.0.0.1:%1").arg(m_iBasePort + 9);
  QDir(m_objDir.path()).mkdir("log-is-a-folder");
  const CliRun run = Dazavu({"set", "--json", "DHCP=ON", "--lan", Lan(0), "--lan", down, "--timeout", "1",
                             "--audit-log", Path("log-is-a-folder"), "--backup-dir", Path("backups")});
  EXPECT_EQ(run.exit, 2);
  const QJsonArray printers = run.Json()["printers"].toArray();
  ASSERT_EQ(printers.size(), 2);
  EXPECT_TRUE(printers[0]["ok"].toBool());
  EXPECT_TRUE(printers[0]["audit_error"].toString().contains(Path("log-is-a-folder")));
  EXPECT_FALSE(printers[1]["ok"].toBool());
  EXPECT_TRUE(run.err.contains("audit log")) << run.err.constData();
  EXPECT_TRUE(Sent(0).contains(
      Line(0, "{IH;1,FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF," + QByteArray(16, 'x').replace('x', "\\xFF") + "|}")))
      << Sent(0).constData();
  // Only the printer reached was backed up.
  const QStringList runs = BackupRuns();
  ASSERT_EQ(runs.size(), 1);
  EXPECT_EQ(QDir(Path("backups/" + runs[0])).entryList(QDir::Files),
            QStringList({"127.0.0.1_" + QString::number(m_iBasePort) + ".dt1",
                         "127.0.0.1_" + QString::number(m_iBasePort) + ".dt2", "manifest.json"}));

  const CliRun listed = Dazavu({"backups", "--backup-dir", Path("backups"), "--json"});
  EXPECT_EQ(listed.exit, 0);
  const QJsonArray listedRuns = listed.Json()["runs"].toArray();
  ASSERT_EQ(listedRuns.size(), 1);
  EXPECT_EQ(listedRuns[0]["targets"].toArray().size(), 2);
  EXPECT_EQ(listedRuns[0]["saved"].toArray().size(), 1);
  EXPECT_TRUE(listedRuns[0]["command"].toString().startsWith("dazavu set --json DHCP=ON"));
}

}  // namespace
