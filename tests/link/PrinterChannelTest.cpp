// The per-printer channel: requests return replies that finish once, with
// their own time-out, against the simulated printer on 127.0.0.1, a serial
// pseudo-terminal, the simulator build of the USB library, and small hostile
// TCP peers.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

#include "CItemManager.h"
#include "PrinterChannel.h"
#include "PrinterModel.h"
#include "PtyPrinter.h"
#include "Replies.h"
#include "SimUsb.h"
#include "TcpPrinter.h"

namespace {

using dz::PrinterChannel;
using dz::PrinterReply;
using dz::ReplyError;

// Waits in the event loop until the reply has finished; counts finished().
struct Finished {
  explicit Finished(PrinterReply* p_objReply) : reply(p_objReply), spy(p_objReply, &PrinterReply::finished) {}
  bool Wait(int ms = 5000) { return reply->IsFinished() || spy.wait(ms); }
  std::unique_ptr<PrinterReply> reply;
  QSignalSpy spy;
};

class ChannelLanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer.Listen(0));
    channel = PrinterChannel::ForLan(QStringLiteral("127.0.0.1"), printer.Port());
    channel->SetTimeoutMs(500);
  }
  dzsim::PrinterModel model;
  dzsim::TcpPrinter printer{model};
  std::unique_ptr<PrinterChannel> channel;
};

}  // namespace

TEST_F(ChannelLanTest, StatusAndRecordsComeBackToTheCallerInTheOrderAsked) {
  model.SetStatusCode("13");
  model.SetField("FeedAdjustment", "321");
  model.SetField("FontCode", "1");
  // Three requests at once: they go out one at a time, each finishes once.
  Finished status(channel->RequestStatus());
  Finished read(channel->ReadRecords({0, 1, 4}));
  Finished head(channel->RequestHeadCheck());
  ASSERT_TRUE(head.Wait());
  ASSERT_TRUE(status.reply->IsFinished() && read.reply->IsFinished());
  for (Finished* f : {&status, &read, &head}) {
    EXPECT_TRUE(f->reply->IsOk()) << f->reply->ErrorText().toStdString();
    EXPECT_EQ(f->spy.count(), 1);
  }
  EXPECT_EQ(status.reply->StatusCode(), "13");
  EXPECT_EQ(status.reply->StatusText(), QStringLiteral("Paper Error"));
  EXPECT_TRUE(status.reply->IsKnownStatus());
  std::vector<std::string> log;
  for (const auto& c : model.CommandLog()) log.emplace_back(c.begin(), c.end());
  EXPECT_EQ(log, (std::vector<std::string>{"{WS|}", "{Z5;0|}", "{Z5;1|}", "{Z5;4|}", "{HD001,A|}"}));

  ASSERT_EQ(read.reply->Records().size(), 3u);
  EXPECT_EQ(read.reply->Records()[1].kind, 1);
  CItemManager items;
  ASSERT_TRUE(dz::StoreRecords(*read.reply, items));
  EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "321");
  EXPECT_EQ(items.m_objFontCode.GetValueString(), "3");  // converted as the window does
  // The decoded fields are the items' texts before conversion.
  std::vector<CItem*> group;
  items.GetItem_Adjustment(group);
  ASSERT_EQ(read.reply->Records()[0].fields.size(), group.size());
}

TEST_F(ChannelLanTest, EachRequestHasItsOwnTimeOutAndOnlyAWholeExpectedReplyCounts) {
  model.SetMode(dzsim::Misbehaviour::Silence);
  Finished silent(channel->RequestStatus());
  ASSERT_TRUE(silent.Wait());
  EXPECT_EQ(silent.reply->Error(), ReplyError::Timeout);
  EXPECT_TRUE(silent.reply->ErrorText().contains(QStringLiteral("no answer")));

  // Noise is passed over: the request ends in its time-out.
  model.SetMode(dzsim::Misbehaviour::Garbage);
  Finished garbage(channel->ReadRecord(0));
  ASSERT_TRUE(garbage.Wait());
  EXPECT_EQ(garbage.reply->Error(), ReplyError::Timeout);
  EXPECT_EQ(garbage.reply->ErrorText(), QStringLiteral("no answer within 0.5 s"));
  EXPECT_TRUE(garbage.reply->Records().empty());

  // A record that stops short is no answer, even when only its framing
  // bytes are missing.
  model.SetBehaviour([] {
    dzsim::Behaviour b;
    b.mode = dzsim::Misbehaviour::Short;
    b.shortLength = static_cast<size_t>(GetRecordWidth(0) + 2);
    return b;
  }());
  Finished shortRecord(channel->ReadRecord(0));
  ASSERT_TRUE(shortRecord.Wait());
  EXPECT_EQ(shortRecord.reply->Error(), ReplyError::Timeout);

  // The channel still works afterwards; a split reply is joined.
  model.SetBehaviour({});
  model.SetMode(dzsim::Misbehaviour::Split);
  Finished fine(channel->ReadRecord(3));
  ASSERT_TRUE(fine.Wait());
  EXPECT_TRUE(fine.reply->IsOk()) << fine.reply->ErrorText().toStdString();
}

TEST_F(ChannelLanTest, AReplyDroppedByItsOwnerDoesNotStopTheQueue) {
  PrinterReply* dropped = channel->RequestStatus();
  Finished kept(channel->RequestStatus());
  delete dropped;
  ASSERT_TRUE(kept.Wait());
  EXPECT_TRUE(kept.reply->IsOk());
}

TEST(ChannelFaultTest, EveryPendingReplyFailsWhenTheLinkCannotOpenOrCloses) {
  // Nobody listens: both queued requests fail with the open error.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const quint16 closedPort = probe.serverPort();
  probe.close();
  auto refused = PrinterChannel::ForLan(QStringLiteral("127.0.0.1"), closedPort);
  Finished a(refused->RequestStatus());
  Finished b(refused->ReadRecord(1));
  ASSERT_TRUE(b.Wait());
  EXPECT_EQ(a.reply->Error(), ReplyError::OpenFailed);
  EXPECT_EQ(b.reply->Error(), ReplyError::OpenFailed);
  EXPECT_EQ(a.reply->ErrorText(), QStringLiteral("connection refused"));

  // A peer that takes the command and resets the connection.
  QTcpServer peer;
  ASSERT_TRUE(peer.listen(QHostAddress::LocalHost, 0));
  QObject::connect(&peer, &QTcpServer::newConnection, [&peer] {
    QTcpSocket* socket = peer.nextPendingConnection();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->abort(); });
  });
  auto channel = PrinterChannel::ForLan(QStringLiteral("127.0.0.1"), peer.serverPort());
  channel->SetTimeoutMs(3000);
  Finished first(channel->RequestStatus());
  Finished second(channel->RequestStatus());
  ASSERT_TRUE(second.Wait());
  EXPECT_EQ(first.reply->Error(), ReplyError::ConnectionClosed);
  EXPECT_EQ(second.reply->Error(), ReplyError::ConnectionClosed);

  // Closing the channel fails what is still pending, once.
  Finished third(channel->RequestStatus());
  channel->Close();
  ASSERT_TRUE(third.reply->IsFinished());
  EXPECT_EQ(third.reply->Error(), ReplyError::Cancelled);
  EXPECT_EQ(third.spy.count(), 1);
}

TEST(ChannelSerialTest, StatusAndRecordOverAPseudoTerminal) {
  dzsim::PrinterModel model;
  model.SetStatusCode("04");
  dzsim::PtyPrinter pty(model);
  ASSERT_TRUE(pty.Open());
  // Pseudo-terminals take no parity.
  auto channel = PrinterChannel::ForSerial(pty.SlavePath(), QStringLiteral("9600,N,8,1"));
  Finished status(channel->RequestStatus());
  Finished read(channel->ReadRecord(1));
  ASSERT_TRUE(read.Wait());
  EXPECT_EQ(status.reply->StatusText(), QStringLiteral("PAUSE"));
  EXPECT_TRUE(read.reply->IsOk()) << read.reply->ErrorText().toStdString();

  auto missing = PrinterChannel::ForSerial(QStringLiteral("/dev/null-no-such-port"), QStringLiteral("9600,N,8,1"));
  Finished failed(missing->RequestStatus());
  ASSERT_TRUE(failed.Wait());
  EXPECT_EQ(failed.reply->Error(), ReplyError::OpenFailed);
}

TEST(ChannelUsbTest, TheLibraryIsCalledOnItsWorkerAndRepliesComeBack) {
  SimUsb sim;
  ASSERT_TRUE(sim.Load()) << sim.library.errorString().toStdString();
  sim.Reset();
  sim.SetStatusCode("41");
  auto channel = PrinterChannel::ForUsb(QString::fromUtf8(kDiruvovSimLibraryPath));
  Finished status(channel->RequestStatus());
  Finished read(channel->ReadRecord(4));
  Finished write(channel->SendCommand(std::string("{Z6;0|}")));
  ASSERT_TRUE(write.Wait());
  EXPECT_EQ(status.reply->StatusText(), QStringLiteral("ON LINE"));
  EXPECT_TRUE(read.reply->IsOk()) << read.reply->ErrorText().toStdString();
  EXPECT_TRUE(write.reply->IsOk());
  EXPECT_EQ(sim.Commands(), (std::vector<std::string>{"{WS|}", "{Z5;4|}", "{Z6;0|}"}));

  // A wrong device fails the open with the link's own text.
  sim.Reset();
  sim.SetOpenResult(-3);
  auto other = PrinterChannel::ForUsb(QString::fromUtf8(kDiruvovSimLibraryPath));
  Finished refused(other->RequestStatus());
  ASSERT_TRUE(refused.Wait());
  EXPECT_EQ(refused.reply->Error(), ReplyError::OpenFailed);
  EXPECT_TRUE(refused.reply->ErrorText().contains(QStringLiteral("USB DeviceID mismatch error")));
}
