// The USB link through the simulator build of the USB transfer library.
#include <gtest/gtest.h>

#include <QTimer>

#include "ByteString.h"
#include "LinkIds.h"
#include "ReadKind.h"
#include "CInterface.h"
#include "CItemManager.h"
#include "LinkDispatcher.h"
#include "Replies.h"
#include "RecordedLink.h"
#include "SimUsb.h"
#include "WindowUsbLink.h"

namespace {

using dz::test::B;

class UsbLinkTest : public ::testing::Test, protected dz::test::RecordedLink {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim.Load()) << sim.library.errorString().toStdString();
    sim.Reset();
    iface.SetActiveInterface(dz::kLinkUsb);
    link.Usb().SetLibraryPath(QString::fromUtf8(kDiruvovSimLibraryPath));
    link.Usb().SetReplyWaitSeconds(0.3);
  }
  bool Send(const std::string& command, int32_t replySize, bool expected) {
    error.clear();
    received = 0;
    return link.SendCommand(iface, B(command), reply, error, received, replySize, expected);
  }

  SimUsb sim;
  Bytes reply;
  QString error;
  int32_t received = 0;
};

}  // namespace

TEST_F(UsbLinkTest, StatusIsReadAndShownBeforeSendReturns) {
  sim.SetStatusCode("41");
  ASSERT_TRUE(Send("{WS|}", 13, true));
  EXPECT_EQ(host.status, QStringLiteral("ON LINE"));
  EXPECT_EQ(received, 13);
  EXPECT_EQ(sim.Commands(), std::vector<std::string>{"{WS|}"});
  // Identity check, then open/send/close, then open/receive/close.
  EXPECT_EQ(sim.Calls().substr(0, 37), "open open send close open rcv close");

  link.State().m_bHeadCheckMode = true;
  sim.SetStatusCode("15");
  ASSERT_TRUE(Send("{WS|}", 13, true));
  EXPECT_EQ(host.headCheck, QStringLiteral("Head Open Error"));
  EXPECT_EQ(host.status, QStringLiteral("ON LINE"));
  EXPECT_FALSE(link.State().m_bHeadCheckMode);
}

TEST_F(UsbLinkTest, RecordReplyIsStoredFromByteTwo) {
  sim.SetField("FontCode", "2");
  sim.SetField("EuroCode", "A4");
  link.State().m_iReplyRecord = kReadParameter;
  ASSERT_TRUE(Send("{Z5;1|}", 50, true));
  EXPECT_FALSE(link.State().m_bReplyExpected);
  EXPECT_EQ(items.m_objFontCode.GetValueString(), "1");
  EXPECT_EQ(items.m_objEuroCode.GetValueString(), "A4");
}

TEST_F(UsbLinkTest, CommandWithoutReplyMakesOneReadPassAndNoBeep) {
  ASSERT_TRUE(Send("{Z6;0|}", 0, false));
  // The read pass receives too (asking for no bytes), as every pass does.
  EXPECT_EQ(sim.Calls(), "open open send close open rcv close");
  EXPECT_EQ(reply.size(), 1u);
  EXPECT_EQ(reply[0], 0);
  EXPECT_EQ(host.beeps, 0);
  EXPECT_EQ(host.status, QStringLiteral("(none)"));
}

TEST_F(UsbLinkTest, OpenFailuresGiveTheirTextsAndSendNothing) {
  const std::pair<int32_t, const char*> cases[] = {
      {-1, "USB Device not ready !!"}, {-2, "USB DeviceID receive error"}, {-3, "USB DeviceID mismatch error"}};
  for (const auto& [result, text] : cases) {
    sim.Reset();
    sim.SetOpenResult(result);
    EXPECT_FALSE(Send("{WS|}", 13, true));
    EXPECT_EQ(error, QString::fromLatin1(text));
    EXPECT_EQ(sim.SendCount(), 0);
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(UsbLinkTest, SilenceBeepsOnlyWhenAReplyWasExpected) {
  sim.SetMode(DIRUVOV_SIM_SILENCE, 0);
  ASSERT_TRUE(Send("{WS|}", 13, true));  // still a successful send
  EXPECT_EQ(host.beeps, 1);
  EXPECT_EQ(received, 0);
  EXPECT_EQ(host.status, QStringLiteral("(none)"));
}

TEST_F(UsbLinkTest, ShortAndBrokenRepliesLeaveTheItemsUnchanged) {
  sim.SetField("FeedAdjustment", "777");
  link.State().m_iReplyRecord = kReadAdjustment;
  sim.SetMode(DIRUVOV_SIM_SHORT, 5);
  // The record never arrives whole: it is dropped like a reply that never
  // came (the wait ends with a beep), and the operation goes on.
  EXPECT_TRUE(Send("{Z5;0|}", 54, true));
  EXPECT_EQ(received, 5);
  EXPECT_EQ(host.beeps, 1);
  EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "000");

  for (int mode : {DIRUVOV_SIM_GARBAGE, DIRUVOV_SIM_DROP}) {
    sim.SetMode(mode, 0);
    Send("{Z5;0|}", 54, true);
    EXPECT_LE(received, 54);
    EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "000") << mode;
  }
  // A reply far longer than the record: only the buffer's room is taken, and
  // the complete record at its head is stored.
  sim.SetMode(DIRUVOV_SIM_HUGE, 0);
  EXPECT_TRUE(Send("{Z5;0|}", 54, true));
  EXPECT_EQ(received, 54);
  EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "777");
}

TEST_F(UsbLinkTest, ARecordInTwoTransfersIsJoinedAndLeavesNothingForTheNextCommand) {
  sim.SetField("FeedAdjustment", "777");
  sim.SetField("XCoordinateAdjustment", "050");
  sim.SetMode(DIRUVOV_SIM_SPLIT, 100);
  link.State().m_iReplyRecord = kReadAdjustment;
  EXPECT_TRUE(Send("{Z5;0|}", GetReplyLength(0), true));
  EXPECT_EQ(received, GetRecordWidth(0) + 6);
  EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "777");
  link.State().m_iReplyRecord = kReadParameter;
  EXPECT_TRUE(Send("{Z5;1|}", GetReplyLength(1), true));
  EXPECT_EQ(items.m_objXCoordinateAdjustment.GetValueString(), "050");
  // A status reply in two parts is shown once it is whole.
  sim.SetStatusCode("55");
  EXPECT_TRUE(Send("{WS|}", 13, true));
  EXPECT_EQ(received, 13);
  EXPECT_EQ(host.status, QStringLiteral("  Save Mode"));
  EXPECT_EQ(host.beeps, 0);
}

TEST_F(UsbLinkTest, FailingLibraryAndMissingLibrary) {
  sim.SetFailAll(1);
  EXPECT_FALSE(Send("{WS|}", 13, true));
  EXPECT_EQ(error, QStringLiteral("USB Device not ready !!"));
  sim.SetFailAll(0);
  sim.SetFailSend(1);
  EXPECT_FALSE(Send("{WS|}", 13, true));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, QStringLiteral("Device Time Out !!"));

  CItemManager items2;
  CInterface iface2;
  RecordingHost host2;
  LinkDispatcher other(items2, iface2, host2);
  other.Usb().SetLibraryPath(QStringLiteral("/nonexistent/libDiruvov.so"));
  iface2.SetActiveInterface(dz::kLinkUsb);
  QString failure;
  EXPECT_FALSE(other.SendCommand(B("{WS|}"), failure, 13, true));
  EXPECT_TRUE(failure.contains(QStringLiteral("Diruvov")));
  EXPECT_FALSE(other.OpenInterface(dz::kLinkUsb));
  EXPECT_TRUE(other.CloseInterface(dz::kLinkUsb));  // nothing bound: nothing to close, no message beyond the open's
}

TEST_F(UsbLinkTest, OpenInterfaceClosesAfterAFailedOpen) {
  EXPECT_TRUE(link.OpenInterface(dz::kLinkUsb));
  sim.Reset();
  sim.SetOpenResult(-1);
  EXPECT_FALSE(link.OpenInterface(dz::kLinkUsb));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, QStringLiteral("'USB' Open Error !!"));
  EXPECT_EQ(sim.Calls(), "open close");
}

TEST(DispatcherTest, UnknownLinkSendsNothingAndReportsSuccess) {
  dz::test::RecordedLink recorded;
  auto& [items, iface, host, link] = recorded;
  const int noSuchLink = dz::kLinkUsb + 1;
  iface.SetActiveInterface(noSuchLink);
  QString error;
  EXPECT_TRUE(link.SendCommand(B("{WS|}"), error, 13, true));
  EXPECT_FALSE(link.OpenInterface(noSuchLink));
  EXPECT_FALSE(link.CloseInterface(noSuchLink));
  EXPECT_TRUE(link.State().m_bReplyExpected);
}

TEST_F(UsbLinkTest, ClosingTheWindowEndsAReplyWaitWithoutFurtherCallsOrBeep) {
  sim.SetMode(DIRUVOV_SIM_SILENCE, 0);
  link.Usb().SetReplyWaitSeconds(30);
  std::string callsAtShutdown;
  QTimer::singleShot(150, [&] {
    callsAtShutdown = sim.Calls();
    link.Shutdown();
  });
  ASSERT_TRUE(Send("{WS|}", 13, true));
  // The poll ended with the shutdown, not at its 30 s bound: at most the
  // pass that was running then finished.
  const std::string after = sim.Calls();
  EXPECT_LE(after.size(), callsAtShutdown.size() + std::string(" open rcv close").size());
  EXPECT_EQ(host.beeps, 0);
  EXPECT_TRUE(host.messages.empty());
  // Nothing at all goes out afterwards.
  EXPECT_FALSE(Send("{WS|}", 13, true));
  EXPECT_EQ(sim.Calls(), after);
}
