// The LAN link over a real QTcpSocket against the printer simulator on
// 127.0.0.1.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTest>

#include "ByteString.h"
#include "LinkIds.h"
#include "ReadKind.h"
#include "CInterface.h"
#include "CItemManager.h"
#include "ItemSnapshot.h"
#include "WindowLanLink.h"
#include "LinkDispatcher.h"
#include "PrinterModel.h"
#include "RecordedLink.h"
#include "Replies.h"
#include "TcpPrinter.h"
#include "UnansweredListener.h"

namespace {

using dz::test::B;

class LanLinkTest : public ::testing::Test, protected dz::test::RecordedLink {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer.Listen(0));
    iface.SetIpAddress(127, 0, 0, 1);
    iface.m_objSocketPortNumber.SetValue(int32_t{printer.Port()});
    iface.SetActiveInterface(dz::kLinkLan);
  }
  bool Open() { return link.OpenInterface(dz::kLinkLan); }
  // A command sent the way the operations send it: send, then wait for the
  // LAN link's confirmation.
  bool Send(const std::string& command, int32_t replySize, bool replyExpected) {
    QString error;
    lastError.clear();
    if (!link.SendCommand(B(command), error, replySize, replyExpected)) {
      lastError = error;
      return false;
    }
    return link.WaitLanSendComplete(5);
  }
  std::vector<std::string> Log() {
    std::vector<std::string> out;
    for (const auto& c : model.CommandLog()) out.emplace_back(c.begin(), c.end());
    return out;
  }

  dzsim::PrinterModel model;
  dzsim::TcpPrinter printer{model};
  QString lastError;
};

}  // namespace

TEST_F(LanLinkTest, StatusRequestRoundTrip) {
  ASSERT_TRUE(Open());
  EXPECT_TRUE(host.buttonsEnabled);
  model.SetStatusCode("55");
  ASSERT_TRUE(Send("{WS|}", 13, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.status == QStringLiteral("  Save Mode"); }, 3000));
  EXPECT_EQ(Log(), std::vector<std::string>{"{WS|}"});
  EXPECT_EQ(link.State().m_bReplyReceived, 1);

  // Head-check mode routes the next status text to the head-check label once.
  model.SetStatusCode("14");
  link.State().m_bHeadCheckMode = true;
  ASSERT_TRUE(Send("{HD001,A|}", 13, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.headCheck == QStringLiteral("NO RIBBON"); }, 3000));
  EXPECT_FALSE(link.State().m_bHeadCheckMode);
  EXPECT_EQ(host.status, QStringLiteral("  Save Mode"));
}

TEST_F(LanLinkTest, WriteCommandsGoOutByteForByteAndChangeThePrinter) {
  ASSERT_TRUE(Open());
  const std::string dhcp = "{IH;1," + std::string(32, '0') + ",HOST" + std::string(12, '\xFF') + "|}";
  for (const std::string& command : {std::string("{IP;2,010,001,002,003|}"), std::string("{IS;1,09100|}"), dhcp})
    ASSERT_TRUE(Send(command, 0, false));
  ASSERT_TRUE(QTest::qWaitFor([&] { return model.CommandLog().size() == 3; }, 3000));
  EXPECT_EQ(Log()[2], dhcp);
  EXPECT_EQ(model.Field("IpAddress1"), "010");
  EXPECT_EQ(model.Field("DhcpClientHost"), "HOST" + std::string(12, '\xFF'));
}

TEST_F(LanLinkTest, RecordReadsFillTheItemsAndHoldTheLockDuringAMultiRecordRead) {
  ASSERT_TRUE(Open());
  model.SetField("FeedDirection", "-");
  model.SetField("FeedAdjustment", "123");
  model.SetField("FontCode", "1");
  link.BeginBusy();
  link.State().m_bReadInProgress = true;
  for (int kind : {0, 1}) {
    link.State().m_iReplyRecord = static_cast<int16_t>(kind);
    ASSERT_TRUE(Send("{Z5;" + std::to_string(kind) + "|}", kind == 0 ? 54 : 50, true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.State().m_bReplyExpected; }, 3000));
    EXPECT_FALSE(host.buttonsEnabled);  // the read is still running
  }
  EXPECT_EQ(items.m_objFeedDirection.GetValueString(), "-");
  EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "123");
  EXPECT_EQ(items.m_objFontCode.GetValueString(), "3");
  link.State().m_bReadInProgress = false;
  model.SetStatusCode("00");
  ASSERT_TRUE(Send("{WS|}", 13, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.buttonsEnabled; }, 3000));
}

TEST_F(LanLinkTest, SplitRepliesAreJoinedAndBrokenRepliesChangeNothing) {
  ASSERT_TRUE(Open());
  model.SetField("FeedAdjustment", "321");
  link.State().m_iReplyRecord = kReadAdjustment;

  model.SetMode(dzsim::Misbehaviour::Split);
  ASSERT_TRUE(Send("{Z5;0|}", 54, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !link.State().m_bReplyExpected; }, 3000));
  EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "321");

  CItemManager fresh;
  model.SetField("FeedAdjustment", "456");
  for (dzsim::Misbehaviour mode :
       {dzsim::Misbehaviour::Short, dzsim::Misbehaviour::Garbage, dzsim::Misbehaviour::Silence}) {
    model.SetMode(mode);
    const std::vector<std::string> before = dz::test::ItemSnapshot(items);
    host.lockHistory.clear();
    ASSERT_TRUE(Send("{Z5;0|}", 54, true));
    QTest::qWait(300);
    EXPECT_EQ(dz::test::ItemSnapshot(items), before) << dzsim::MisbehaviourName(mode);
  }
  // A reply of 1 MiB: the complete record at its head is stored, the rest
  // is dropped, and the link goes on working.
  model.SetMode(dzsim::Misbehaviour::Huge);
  ASSERT_TRUE(Send("{Z5;0|}", 54, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return items.m_objFeedAdjustment.GetValueString() == "456"; }, 3000));
  model.SetField("FeedAdjustment", "654");
  QTest::qWait(500);  // let the rest of the megabyte go by; it is dropped as it comes

  // A garbage reply (first byte neither SOH nor "{") releases the buttons.
  model.SetMode(dzsim::Misbehaviour::Garbage);
  link.BeginBusy();
  ASSERT_TRUE(Send("{WS|}", 13, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.buttonsEnabled; }, 3000));

  // After all that the link still works.
  model.SetMode(dzsim::Misbehaviour::Normal);
  ASSERT_TRUE(Send("{Z5;0|}", 54, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return items.m_objFeedAdjustment.GetValueString() == "654"; }, 3000));
}

TEST_F(LanLinkTest, ASendAfterACompletedSendReturnsAtOnce) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Send("{Z6;0|}", 0, false));
  EXPECT_EQ(link.State().m_bLanSendComplete, 1);
  QString error;
  EXPECT_TRUE(link.SendCommand(B("{Z6;1|}"), error, 0, false));
  ASSERT_TRUE(QTest::qWaitFor([&] { return model.CommandLog().size() == 2; }, 3000));
}

TEST_F(LanLinkTest, ASendThatIsNeverConfirmedEndsInDeviceTimeOut) {
  ASSERT_TRUE(Open());
  // As after a send whose bytes-written notification never comes.
  link.State().m_bLanSendComplete = 0;
  EXPECT_FALSE(link.WaitLanSendComplete(0.3));
  EXPECT_EQ(host.beeps, 1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, QStringLiteral("Device Time Out !!"));
  EXPECT_EQ(host.messages[0].style, 16);
  EXPECT_EQ(host.messages[0].title, QStringLiteral("Failure"));
}

TEST_F(LanLinkTest, RefusedConnectionReportsOpenErrorThenDetailsAfterTheSilentRetry) {
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const quint16 closedPort = probe.serverPort();
  probe.close();
  iface.m_objSocketPortNumber.SetValue(int32_t{closedPort});

  EXPECT_FALSE(Open());
  ASSERT_GE(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, QStringLiteral("'LAN' Open Error !!"));
  EXPECT_EQ(host.messages[0].style, 16);
  EXPECT_TRUE(host.buttonsEnabled);
  // The silent reconnect fails too: the second error shows its details.
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.messages.size() == 2; }, 5000));
  EXPECT_TRUE(host.messages[1].text.startsWith(QStringLiteral("Number=")));
  EXPECT_TRUE(host.messages[1].text.endsWith(QStringLiteral("CancelDisplay=False")));
  EXPECT_EQ(host.messages[1].style, 0);
  EXPECT_EQ(link.State().m_bLanRetried, 0);

  // A send now fails with the send error, not a false success.
  EXPECT_FALSE(Send("{WS|}", 13, true));
  EXPECT_EQ(lastError, QStringLiteral("'LAN' Send Error !!"));
}

TEST_F(LanLinkTest, ThePrinterClosingTheConnectionClosesTheLink) {
  ASSERT_TRUE(Open());
  link.State().m_iReplyRecord = kReadLan;
  const std::string before = items.m_objIpAddress1.GetValueString();
  model.SetField("IpAddress1", "099");
  model.SetMode(dzsim::Misbehaviour::DropConnection);
  ASSERT_TRUE(Send("{Z5;3|}", 192, true));
  // An orderly close: the link is closed, with no silent reconnect and no
  // details box, and half a record changes no item.
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.State().m_bLanConnected == 0; }, 3000));
  QTest::qWait(200);
  EXPECT_EQ(link.State().m_bLanRetried, 0);
  EXPECT_EQ(link.State().m_bLanConnected, 0);
  EXPECT_FALSE(link.State().m_bLanError);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(items.m_objIpAddress1.GetValueString(), before);
  // The next send reports the closed link.
  model.SetMode(dzsim::Misbehaviour::Normal);
  EXPECT_FALSE(Send("{WS|}", 13, true));
  EXPECT_EQ(lastError, QStringLiteral("'LAN' Send Error !!"));
}

TEST_F(LanLinkTest, SendsWorkAgainAfterTheSilentReconnect) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Send("{WS|}", 13, true));
  // A socket error on the open link (as the socket reports a lost network):
  // the link reconnects silently to the printer.
  link.Lan().OnLanError(10053, QStringLiteral("Connection aborted"), 0, QString(), QString(), 0, false);
  EXPECT_TRUE(link.State().m_bLanError);
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.State().m_bLanConnected == 1; }, 3000));
  EXPECT_FALSE(link.State().m_bLanError);
  EXPECT_TRUE(host.messages.empty());
  model.SetStatusCode("00");
  host.status.clear();
  ASSERT_TRUE(Send("{WS|}", 13, true)) << lastError.toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.status == QStringLiteral("ON LINE"); }, 3000));
  EXPECT_EQ(Log(), (std::vector<std::string>{"{WS|}", "{WS|}"}));
}

TEST_F(LanLinkTest, AReplyMissingOnlyItsLastFramingBytesIsDecodedWhenItsWaitEnds) {
  ASSERT_TRUE(Open());
  const int width = GetRecordWidth(3);
  model.SetField("IpAddress1", "099");
  // Both framing bytes or just the last one missing: every field is there.
  for (int shortBy : {2, 1}) {
    items.m_objIpAddress1.SetValue(std::string("000"));
    link.State().m_iReplyRecord = kReadLan;
    model.SetBehaviour([&] {
      dzsim::Behaviour b;
      b.mode = dzsim::Misbehaviour::Short;
      b.shortLength = static_cast<size_t>(width + 4 - shortBy);
      return b;
    }());
    ASSERT_TRUE(Send("{Z5;3|}", GetReplyLength(3), true));
    link.WaitSeconds(0.3);
    EXPECT_EQ(items.m_objIpAddress1.GetValueString(), "099") << shortBy;
  }
  // One field byte missing: the record is dropped whole.
  items.m_objIpAddress1.SetValue(std::string("000"));
  model.SetBehaviour([&] {
    dzsim::Behaviour b;
    b.mode = dzsim::Misbehaviour::Short;
    b.shortLength = static_cast<size_t>(width + 1);
    return b;
  }());
  ASSERT_TRUE(Send("{Z5;3|}", GetReplyLength(3), true));
  link.WaitSeconds(0.3);
  EXPECT_EQ(items.m_objIpAddress1.GetValueString(), "000");

  // A status reply whose code has arrived is shown even with no wait of an
  // operation around it (GET STATUS does not wait): it settles by itself.
  link.State().m_iReplyRecord = kReadStatus;
  model.SetStatusCode("55");
  model.SetBehaviour([&] {
    dzsim::Behaviour b;
    b.mode = dzsim::Misbehaviour::Short;
    b.shortLength = 4;
    return b;
  }());
  ASSERT_TRUE(Send("{WS|}", 13, true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.status == QStringLiteral("  Save Mode"); }, 3000));
}

TEST(LanErrorMessageTest, Layout) {
  EXPECT_EQ(WindowLanLink::BuildErrorMessage(10061, QStringLiteral("Connection is forcefully rejected"), 0, QString(),
                                             QString(), 0, false),
            QStringLiteral("Number=10061  Connection is forcefully rejected\r\nScode=0\r\nSource=\r\n"
                           "HelpFile=\r\nHelpContext=0\r\nCancelDisplay=False"));
}

TEST_F(LanLinkTest, AnAddressWhereNobodyAnswersIsGivenUpWithinTheConnectBound) {
  // A listener whose accept queue is full: the connection neither succeeds
  // nor fails until the bound, which ends it in the open error.
  UnansweredListener nobody;
  ASSERT_TRUE(nobody.IsListening());
  iface.m_objSocketPortNumber.SetValue(int32_t{nobody.Port()});
  link.Lan().SetConnectTimeoutMs(300);
  EXPECT_FALSE(Open());
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages[0].text, QStringLiteral("'LAN' Open Error !!"));
  EXPECT_TRUE(host.buttonsEnabled);
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.messages.size() == 2; }, 3000));  // the retry's details
}
