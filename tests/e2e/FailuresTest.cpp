// Link failures and interrupted operations through the real window.
#include <QTcpServer>
#include <QTimer>

#include "LinkIds.h"
#include "ReadKind.h"
#include "CItemManager.h"
#include "PrinterWindowFixture.h"
#include "dialogs/FmInterfaceSetup.h"
#include "dialogs/RunModal.h"
#include "widgets/UCSpinEdit.h"

using FailuresTest = PrinterWindowFixture;

TEST_F(FailuresTest, RefusedConnectionAndClosedSerialPort) {
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const quint16 closed = probe.serverPort();
  probe.close();
  window->m_objInterface.SetIpAddress(127, 0, 0, 1);
  window->m_objInterface.m_objSocketPortNumber.SetValue(int32_t{closed});
  window->cmbInterface->setCurrentIndex(dz::kLinkLan);
  EXPECT_FALSE(window->Link().OpenInterface(dz::kLinkLan));
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0].text, QStringLiteral("'LAN' Open Error !!"));
  EXPECT_TRUE(AllButtonsEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() >= 2; }, 3000));  // the retry's details

  messages.clear();
  Click(window->btnGetStatus);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, QStringLiteral("'LAN' Send Error !!"));
  EXPECT_EQ(messages[0].style, 48);
  EXPECT_TRUE(AllButtonsEnabled());

  // "COM" selected but never opened: sends fail without a message.
  window->cmbInterface->setCurrentIndex(dz::kLinkCom);
  messages.clear();
  Click(Parameter().btnRead);
  Click(window->btnGetStatus);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(AllButtonsEnabled());
}

TEST_F(FailuresTest, UsbOpenErrorsShowTheirTexts) {
  UseLink(dz::kLinkUsb);
  const std::pair<int32_t, const char*> cases[] = {
      {-1, "USB Device not ready !!"}, {-2, "USB DeviceID receive error"}, {-3, "USB DeviceID mismatch error"}};
  for (const auto& [result, text] : cases) {
    usb.SetOpenResult(result);
    messages.clear();
    Click(window->btnGetStatus);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QString::fromLatin1(text));
    EXPECT_EQ(messages[0].style, 48);
    EXPECT_TRUE(AllButtonsEnabled());
  }
  // A library that fails every call: every button ends with the buttons enabled.
  usb.SetOpenResult(0);
  usb.SetFailAll(1);
  messages.clear();
  Click(Parameter().btnRead);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_TRUE(AllButtonsEnabled());
}

TEST_F(FailuresTest, SilentPrinterLeavesTheValuesAndFreesTheButtons) {
  UseLink(dz::kLinkLan);
  const QString before = Parameter().SeFeedAdj->TextBox()->text();
  model.SetMode(dzsim::Misbehaviour::Silence);
  Click(Parameter().btnRead);
  EXPECT_EQ(Received().size(), 3u);
  EXPECT_EQ(Parameter().SeFeedAdj->TextBox()->text(), before);
  EXPECT_TRUE(AllButtonsEnabled());
  EXPECT_TRUE(messages.empty());
}

TEST_F(FailuresTest, ReadClickedTwiceRunsOnce) {
  UseLink(dz::kLinkLan);
  QTimer::singleShot(300, [&] { QTest::mouseClick(Parameter().btnRead, Qt::LeftButton); });
  Click(Parameter().btnRead);
  EXPECT_EQ(Received(), (std::vector<std::string>{"{Z5;0|}", "{Z5;1|}", "{Z5;4|}"}));
  EXPECT_TRUE(AllButtonsEnabled());
}

TEST_F(FailuresTest, ClosingTheWindowDuringARead) {
  UseLink(dz::kLinkLan);
  QElapsedTimer timer;
  timer.start();
  QTimer::singleShot(300, window.get(), [&] { window->close(); });
  Click(Parameter().btnRead);
  // The read gave up its waits instead of running its three seconds.
  EXPECT_LT(timer.elapsed(), 2500);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(messages.empty());
}

TEST_F(FailuresTest, ANewUserPicksLanEntersTheAddressAndGetsTheStatus) {
  window->m_objInterface.m_objSocketPortNumber.SetValue(int32_t{tcp.Port()});
  window->cmbInterface->setCurrentIndex(dz::kLinkLan);
  dz::SetDialogRunner([](QDialog& dialog) {
    auto& setup = dynamic_cast<dz::FmInterfaceSetup&>(dialog);
    setup.show();
    const int octets[] = {127, 0, 0, 1};
    dz::UCSpinEdit* boxes[] = {setup.SeLan1, setup.SeLan2, setup.SeLan3, setup.SeLan4};
    for (int i = 0; i < 4; ++i) boxes[i]->SetValue(octets[i]);
    QTest::mouseClick(setup.btnSet, Qt::LeftButton);
  });
  Click(window->btnSetup);
  dz::SetDialogRunner({});
  EXPECT_EQ(window->m_objInterface.GetIpAddress(), "127.0.0.1");
  Click(window->btnGetStatus);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->lblStatus->text() == QStringLiteral("ON LINE"); }, 3000));
  EXPECT_TRUE(messages.empty());
}

namespace {
// The field texts of one read kind's item group, back to back.
std::string GroupText(CItemManager& items, int kind) {
  std::vector<CItem*> group;
  items.GetItem_ReadKind(kind, group);
  std::string text;
  for (const CItem* item : group) text += item->GetValueString() + "|";
  return text;
}
}  // namespace

// The window against a misbehaving printer: the three read records' item
// groups before, after, and as a clean read gives them.
class MisbehavingPrinter : public PrinterWindowFixture {
 protected:
  static constexpr int kReadKinds[] = {0, 1, 4};
  void SetPrinterValuesApartFromDefaults() {
    SetPrinterField("FeedAdjustment", "015");  // kind 0
    SetPrinterField("FontCode", "1");          // kind 1
    SetPrinterField("ControlCode1st", "1C");   // kind 4
  }
  void SetPrinterMode(dzsim::Misbehaviour mode) {
    model.SetMode(mode);
    usb.SetMode(static_cast<int32_t>(mode), -1);
  }
  std::map<int, std::string> Groups() {
    std::map<int, std::string> out;
    for (int kind : kReadKinds) out[kind] = GroupText(window->m_objItemManager, kind);
    return out;
  }
  // What a clean read of the printer gives, for comparison.
  std::map<int, std::string> CleanRead(int link) {
    SetPrinterMode(dzsim::Misbehaviour::Normal);
    UseLink(link);
    Click(Parameter().btnRead);
    return Groups();
  }
  // Every group either as it was or as the printer holds it: never a mix of
  // records, never a record stored into another record's items.
  void ExpectWholeRecordsOrNothing(const std::map<int, std::string>& before, const std::map<int, std::string>& after,
                                   const std::map<int, std::string>& clean) {
    EXPECT_NE(before, clean);
    for (int kind : kReadKinds)
      EXPECT_TRUE(after.at(kind) == before.at(kind) || after.at(kind) == clean.at(kind))
          << "kind " << kind << ": " << after.at(kind);
  }
};

// The stream links (serial and LAN).
class StreamLinkFailures : public MisbehavingPrinter, public ::testing::WithParamInterface<int> {
 protected:
  std::map<int, std::string> CleanRead() { return MisbehavingPrinter::CleanRead(GetParam()); }
};

TEST_P(StreamLinkFailures, APrinterThatNeverReadsEndsLikeSilence) {
  UseLink(GetParam());
  SetPrinterValuesApartFromDefaults();
  SetPrinterMode(dzsim::Misbehaviour::NeverRead);
  const auto before = Groups();
  const QString feed = Parameter().SeFeedAdj->TextBox()->text();
  Click(Parameter().btnRead);
  Click(window->btnGetStatus);
  QTest::qWait(300);
  EXPECT_EQ(Groups(), before);
  EXPECT_EQ(Parameter().SeFeedAdj->TextBox()->text(), feed);
  EXPECT_EQ(window->lblStatus->text(), QString());
  EXPECT_TRUE(AllButtonsEnabled());
  EXPECT_TRUE(messages.empty());
}

TEST_P(StreamLinkFailures, DroppedInTheMiddleOfAMultiRecordRead) {
  UseLink(GetParam());
  SetPrinterValuesApartFromDefaults();
  SetPrinterMode(dzsim::Misbehaviour::DropConnection);
  const auto before = Groups();
  Click(Parameter().btnRead);
  const auto during = Groups();
  EXPECT_TRUE(AllButtonsEnabled());
  // Over LAN the next read command finds the connection gone; a serial line
  // cannot be dropped, the rest of the reply just never comes.
  if (GetParam() == dz::kLinkLan) {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("'LAN' Send Error !!"));
  } else {
    EXPECT_TRUE(messages.empty());
  }
  ExpectWholeRecordsOrNothing(before, during, CleanRead());
}

TEST_P(StreamLinkFailures, LineDribblingOneByteEvery100ms) {
  UseLink(GetParam());
  SetPrinterValuesApartFromDefaults();
  dzsim::Behaviour slow;
  slow.mode = dzsim::Misbehaviour::Dribble;
  slow.dribbleIntervalMs = 100;
  model.SetBehaviour(slow);
  SetPrinterStatus("55");
  Click(window->btnGetStatus);
  EXPECT_TRUE(AllButtonsEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->lblStatus->text() == QStringLiteral("  Save Mode"); }, 3000));

  const auto before = Groups();
  Click(Parameter().btnRead);
  EXPECT_TRUE(AllButtonsEnabled());
  // Let the printer finish everything it still has to send.
  QTest::qWait(7000);
  const auto after = Groups();
  ExpectWholeRecordsOrNothing(before, after, CleanRead());
  EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(FailuresTest, StreamLinkFailures, ::testing::Values(dz::kLinkCom, dz::kLinkLan),
                         [](const ::testing::TestParamInfo<int>& info) { return LinkTestName(info.param); });

TEST_F(FailuresTest, ClearToSendDroppingAndReturningDuringARead) {
  UseLink(dz::kLinkCom);
  SetPrinterField("FeedAdjustment", "015");
  QStringList seen;
  // A pseudo-terminal has no modem lines: the line change is handed to the
  // serial transport the way its line watch does.
  QTimer::singleShot(300, window.get(), [&] {
    window->Link().Serial().OnClearToSendChanged(false);
    seen << window->lblStatus->text();
  });
  QTimer::singleShot(1500, window.get(), [&] {
    window->Link().Serial().OnClearToSendChanged(true);
    seen << window->lblStatus->text();
  });
  Click(Parameter().btnRead);
  EXPECT_EQ(seen, (QStringList{QStringLiteral("OFF LINE"), QStringLiteral("ON LINE")}));
  EXPECT_EQ(Parameter().SeFeedAdj->TextBox()->text(), QStringLiteral("1.5"));
  EXPECT_TRUE(AllButtonsEnabled());
  EXPECT_TRUE(messages.empty());
}

// Misshapen and mistimed replies on every link.
struct ReplyFault {
  int link;
  dzsim::Misbehaviour mode;
};

class ReplyFaults : public MisbehavingPrinter, public ::testing::WithParamInterface<ReplyFault> {};

TEST_P(ReplyFaults, ReadEndsWithWholeRecordsOrNone) {
  const auto [link, mode] = GetParam();
  UseLink(link);
  SetPrinterValuesApartFromDefaults();
  SetPrinterMode(mode);
  const auto before = Groups();
  Click(Parameter().btnRead);
  EXPECT_TRUE(AllButtonsEnabled());
  EXPECT_EQ(ReceivedOn(link), (std::vector<std::string>{"{Z5;0|}", "{Z5;1|}", "{Z5;4|}"}));
  QTest::qWait(300);  // anything still on its way
  const auto after = Groups();
  EXPECT_TRUE(messages.empty());  // a reply that is not a record is passed over, as silence is
  const auto clean = CleanRead(link);
  ExpectWholeRecordsOrNothing(before, after, clean);
  // A reply that arrives whole, if late or in pieces, is taken.
  if (mode == dzsim::Misbehaviour::Split || mode == dzsim::Misbehaviour::Delay) {
    EXPECT_EQ(after, clean);
  }
}

std::vector<ReplyFault> AllReplyFaults() {
  std::vector<ReplyFault> faults;
  for (int link : {dz::kLinkCom, dz::kLinkLan, dz::kLinkUsb})
    for (auto mode : {dzsim::Misbehaviour::Garbage, dzsim::Misbehaviour::Split, dzsim::Misbehaviour::Short,
                      dzsim::Misbehaviour::Huge, dzsim::Misbehaviour::Delay})
      faults.push_back({link, mode});
  return faults;
}

std::string ReplyFaultName(const ::testing::TestParamInfo<ReplyFault>& info) {
  return LinkTestName(info.param.link) + "_" + dzsim::MisbehaviourName(info.param.mode);
}

INSTANTIATE_TEST_SUITE_P(FailuresTest, ReplyFaults, ::testing::ValuesIn(AllReplyFaults()), ReplyFaultName);
