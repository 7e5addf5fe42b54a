// dazavu against printers that misbehave at the socket level: small peers on
// 127.0.0.1 that reset, never accept, or answer with bytes no printer sends.
#include <QJsonArray>

#include "CItemManager.h"
#include "CliFixture.h"
#include "HostilePeer.h"
#include "PrinterModel.h"
#include "SettingsFile.h"

namespace {

QByteArray Q(const dzsim::Bytes& p_byBytes) {
  return QByteArray(reinterpret_cast<const char*>(p_byBytes.data()), static_cast<qsizetype>(p_byBytes.size()));
}

// The read kind of a "{Z5;k|}" command, -1 for any other command.
int KindOf(const QByteArray& p_sCommand) {
  return p_sCommand.startsWith("{Z5;") && p_sCommand.size() == 7 ? p_sCommand[4] - '0' : -1;
}

// Answers status requests as a good printer does and record reads with what
// p_fnRecord makes of the good record.
HostilePeer::Answerer GoodStatusAnd(std::function<QByteArray(int, const QByteArray&)> p_fnRecord) {
  return [p_fnRecord](const QByteArray& command) {
    static const dzsim::PrinterModel printer;
    if (command == "{WS|}") return Q(printer.StatusReply());
    const int kind = KindOf(command);
    return kind >= 0 ? p_fnRecord(kind, Q(printer.RecordReply(kind))) : QByteArray();
  };
}

struct PeerCase {
  const char* name;
  HostilePeer::Mode mode;
  HostilePeer::Answerer answer;
  const char* statusError;  // in the status row's error; nullptr: any; "": the status is good
  const char* readError;    // in the read row's error
};

std::vector<PeerCase> PeerCases() {
  const dzsim::PrinterModel printer;
  return {
      {"reset right after accepting", HostilePeer::ResetOnAccept, {}, nullptr, nullptr},
      {"never accepting", HostilePeer::NeverAccept, {}, "no answer within 0.5 s", "no answer within 0.5 s"},
      {"replies of NUL bytes", HostilePeer::Answer,
       [](const QByteArray& command) {
         const int kind = KindOf(command);
         return QByteArray(kind < 0 ? 13 : dzsim::PrinterModel::RecordWidth(kind) + 4, '\0');
       },
       "no answer within 0.5 s", "no answer within 0.5 s"},
      {"garbage records", HostilePeer::Answer, GoodStatusAnd([](int kind, const QByteArray&) {
         return "{" + QByteArray::number(kind) + QByteArray(dzsim::PrinterModel::RecordWidth(kind), 'Z') + "|}";
       }),
       "", "unreadable reply to {Z5;0|}"},
      {"an echo of the command", HostilePeer::Answer, [](const QByteArray& command) { return command; },
       "no answer within 0.5 s", "no answer within 0.5 s"},
      {"a record one byte short", HostilePeer::Answer,
       GoodStatusAnd([](int, const QByteArray& record) { return record.left(record.size() - 3) + "|}"; }), "",
       "no answer within 0.5 s"},
      {"status code NUL NUL", HostilePeer::Answer,
       [](const QByteArray&) { return QByteArray("\x01S\0\0ABCDEFGH\r", 13); }, "unknown status code 00 00",
       "no answer within 0.5 s"},
  };
}

}  // namespace

TEST_F(CliTest, MisbehavingPeersFailWithWhatHappenedAndNothingIsSavedOrWritten) {
  CItemManager wanted;
  wanted.m_objZeroStyle.SetValue(int32_t{1});
  const std::string dt1 = JoinFileLines(BuildParameterFileLines(wanted));
  WriteAll(Path("w.dt1"), QByteArray::fromStdString(dt1));
  for (const PeerCase& c : PeerCases()) {
    SCOPED_TRACE(c.name);
    HostilePeer peer(c.mode, c.answer);
    const QStringList common = {"--lan", peer.Target(), "--timeout", "0.5", "--json"};
    const CliRun status = Dazavu(QStringList{"status"} + common);
    const bool answersStatus = c.statusError && !*c.statusError;
    EXPECT_EQ(status.exit, answersStatus ? 0 : 2);
    const QJsonObject row = status.Json()["printers"][0].toObject();
    EXPECT_EQ(row["target"].toString(), peer.Target());
    EXPECT_EQ(row["ok"].toBool(), answersStatus);
    EXPECT_EQ(row["error"].toString().isEmpty(), answersStatus);
    if (c.statusError) {
      EXPECT_TRUE(row["error"].toString().startsWith(c.statusError)) << row["error"].toString().toStdString();
    }

    const CliRun read =
        Dazavu(QStringList{"read", "--params", Path("p.dt1"), "--lan-settings", Path("p.dt2")} + common);
    EXPECT_EQ(read.exit, 2);
    const QString readError = read.Json()["printers"][0]["error"].toString();
    if (c.readError) {
      EXPECT_TRUE(readError.startsWith(c.readError)) << readError.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("p.dt1")));
    EXPECT_FALSE(QFile::exists(Path("p.dt2")));

    // A printer that has not answered is not written. One that answers its
    // status but not its reads is sent the file; it is "written" only when
    // the read-back shows that it holds it.
    const CliRun write = Dazavu(QStringList{"write", Path("w.dt1")} + common);
    EXPECT_EQ(write.exit, 2);
    EXPECT_FALSE(write.Json()["printers"][0].toObject().contains("written"));
    const CliRun sent = Dazavu(QStringList{"write", Path("w.dt1"), "--no-verify"} + common);
    EXPECT_EQ(sent.exit, answersStatus ? 0 : 2);
    EXPECT_EQ(sent.Json()["printers"][0].toObject().contains("sent"), answersStatus);
    if (!answersStatus) {
      for (const QByteArray& command : peer.Received()) EXPECT_FALSE(command.startsWith("{Z2;")) << command.constData();
    }
  }
}

TEST_F(CliTest, AFleetWithMisbehavingPrintersFinishesTheGoodOnesAndReportsEveryOne) {
  ASSERT_TRUE(StartFleet(2));
  std::vector<std::unique_ptr<HostilePeer>> peers;
  QStringList targets = {"--lan", Lan(0)};
  for (const PeerCase& c : PeerCases()) {
    peers.push_back(std::make_unique<HostilePeer>(c.mode, c.answer));
    targets << "--lan" << peers.back()->Target();
  }
  targets << "--lan" << Lan(1);
  const CliRun read = Dazavu(QStringList{"read", "--out-dir", Path("out"), "--timeout", "0.5"} + targets);
  EXPECT_EQ(read.exit, 2);
  const QStringList lines = read.Lines();
  ASSERT_EQ(lines.size(), 2 * 2 + static_cast<int>(peers.size())) << read.out.constData();
  EXPECT_TRUE(lines.first().startsWith(Lan(0) + "\t"));
  EXPECT_TRUE(lines.last().startsWith(Lan(1) + "\t"));
  for (const auto& peer : peers)
    EXPECT_EQ(lines.filter(peer->Target() + "\tfailed\t").size(), 1) << peer->Target().toStdString();
  EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files).size(), 4);
}

TEST_F(CliTest, WrittenMeansThePrinterHoldsItAndNoVerifySaysSent) {
  // A printer that answers every read with its starting state and takes no write.
  HostilePeer deaf(HostilePeer::Answer, GoodStatusAnd([](int, const QByteArray& record) { return record; }));
  CItemManager wanted;
  wanted.m_objKanjiCode.SetValue(int32_t{1});
  WriteAll(Path("w.dt1"), QByteArray::fromStdString(JoinFileLines(BuildParameterFileLines(wanted))));
  const CliRun write = Dazavu({"write", "--lan", deaf.Target(), Path("w.dt1")});
  EXPECT_EQ(write.exit, 3);
  ASSERT_EQ(write.Lines().size(), 1) << write.out.constData();
  EXPECT_TRUE(write.Lines()[0].startsWith(deaf.Target() + "\tKANJI CODE: ")) << write.out.constData();
  const CliRun sent = Dazavu({"write", "--no-verify", "--lan", deaf.Target(), Path("w.dt1")});
  EXPECT_EQ(sent.exit, 0);
  EXPECT_EQ(sent.Lines(), QStringList{deaf.Target() + "\tsent " + Path("w.dt1")});
}
