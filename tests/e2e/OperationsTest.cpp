// Every command button against the simulated printer, on all three links.
#include "PrinterWindowFixture.h"

#include "CItemManager.h"
#include "Commands.h"
#include "widgets/UCSpinEdit.h"

namespace {
std::string LinkName(const ::testing::TestParamInfo<int>& info) { return LinkTestName(info.param); }
}  // namespace

TEST_P(EveryLink, GetStatusShowsThePrinterStatus) {
  UseLink(GetParam());
  Click(window->btnGetStatus);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->lblStatus->text() == QStringLiteral("ON LINE"); }, 3000));
  EXPECT_EQ(ReceivedOn(GetParam()), std::vector<std::string>{"{WS|}"});

  for (const auto& [code, text] : {std::pair<const char*, const char*>{"55", "  Save Mode"},
                                   {"03", ""},
                                   {"17", "Thermal head Error"},
                                   {"40", ""}}) {
    SetPrinterStatus(code);
    window->lblStatus->setText(QStringLiteral("old"));
    Click(window->btnGetStatus);
    // The label is cleared when the request goes out, then shows the reply's text.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->lblStatus->text() == QString::fromLatin1(text); }, 3000)) << code;
  }
  EXPECT_TRUE(AllButtonsEnabled());
  EXPECT_TRUE(messages.empty());
}

TEST_P(EveryLink, ReadShowsThePrinterValuesAndSetRoundTripsThroughThePrinter) {
  const int link = GetParam();
  UseLink(link);
  SetPrinterField("FontCode", "1");  // printer code 1 is list position 3, "PC-8"
  SetPrinterField("FeedDirection", "-");
  SetPrinterField("FeedAdjustment", "015");
  SetPrinterField("ControlCode1st", "1C");
  SetPrinterField("CommunicationSpeed", "5");
  Click(Parameter().btnRead);
  EXPECT_EQ(ReceivedOn(link), (std::vector<std::string>{"{Z5;0|}", "{Z5;1|}", "{Z5;4|}"}));
  EXPECT_EQ(Parameter().cmbFontCode->currentText(), QStringLiteral("PC-8"));
  EXPECT_EQ(Parameter().SeFeedAdj->TextBox()->text(), QStringLiteral("-1.5"));
  EXPECT_EQ(Parameter().SeCode1->TextBox()->text(), QStringLiteral("1C"));
  EXPECT_EQ(Parameter().cmbSpeed->currentText(), QStringLiteral("115200bps"));
  EXPECT_TRUE(AllButtonsEnabled());

  // Edit, write, and read back what the printer now holds.
  Parameter().cmbFontCode->setCurrentIndex(12);  // LATIN9
  Parameter().SeFeedAdj->SetValue(QStringLiteral("+123"));
  ClearReceived(link);
  Click(Parameter().btnSet);
  ASSERT_TRUE(WaitForCommands(link, 2));
  const auto writes = ReceivedOn(link);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].substr(0, 7), "{Z2;1,C");
  EXPECT_EQ(writes[1].substr(0, 10), "{Z2;2,+123");
  EXPECT_EQ(PrinterField(link, "FeedAdjustment"), "123");

  Parameter().cmbFontCode->setCurrentIndex(0);
  Parameter().SeFeedAdj->SetValue(QStringLiteral("0"));
  Click(Parameter().btnRead);
  EXPECT_EQ(Parameter().cmbFontCode->currentText(), QStringLiteral("LATIN9"));
  EXPECT_EQ(Parameter().SeFeedAdj->TextBox()->text(), QStringLiteral("12.3"));
}

TEST_P(EveryLink, LanFrameReadAndSet) {
  const int link = GetParam();
  UseLink(link);
  SetPrinterField("IpAddress4", "099");
  SetPrinterField("DhcpClientHost", "PRN" + std::string(13, '\xFF'));
  Click(Extra().btnLanRead);
  EXPECT_EQ(ReceivedOn(link), std::vector<std::string>{"{Z5;3|}"});
  EXPECT_EQ(Extra().SeIpAddress4->TextBox()->text(), QStringLiteral("99"));

  Extra().SeSubNet4->SetValue(128);
  Extra().txtDhcpName->setText(QStringLiteral("HOST"));
  ClearReceived(link);
  Click(Extra().btnLanSet);
  ASSERT_TRUE(WaitForCommands(link, 5));
  const auto sent = ReceivedOn(link);
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0], "{IP;2,192,168,010,099|}");
  EXPECT_EQ(sent[1], "{IP;3,000,000,000,000|}");
  EXPECT_EQ(sent[2], "{IP;4,255,255,255,128|}");
  EXPECT_EQ(sent[3], "{IS;1,08000|}");
  EXPECT_EQ(sent[4], "{IH;0," + std::string(32, 'F') + ",HOST" + std::string(12, '\xFF') + "|}");
  EXPECT_EQ(PrinterField(link, "SubnetMask4"), "128");
  EXPECT_TRUE(AllButtonsEnabled());
}

TEST_P(EveryLink, MaintenanceButtonsSendTheirCommands) {
  const int link = GetParam();
  UseLink(link);
  dz::MaintenancePage& page = Maintenance();
  struct Case {
    QPushButton* button;
    std::function<void()> prepare;
    std::vector<std::string> commands;
  };
  const std::vector<Case> cases = {
      {page.btnDiagPrint, [&] { page.cmbDiagPrint->setCurrentIndex(1); }, {"{Z11|}"}},
      {page.btnTestPrint,
       [&] { page.cmbPattern->setCurrentIndex(5); },
       {"{Z3;6"
        "0760"
        "0730"
        "1057"
        "0001"
        "0000"
        "|}"}},
      {page.btnReflect, [] {}, {"{Z6;0|}"}},
      {page.btnTrans, [] {}, {"{Z6;1|}"}},
      {page.btnPaperEnd, [] {}, {"{Z6;01|}", "{Z6;11|}"}},
      {page.btnThresholdCalib, [&] { page.cmbThresholdCalib->setCurrentIndex(1); }, {"{WT;1000,2|}"}},
      {page.btnRamClear, [] {}, {"{Z4;0|}"}},
      {page.btnRamClear, [&] { page.cmbDestination->setCurrentIndex(4); }, {"{Z4;03|}"}},
      {page.btnRamClear, [&] { page.cmbRamClear->setCurrentIndex(1); }, {"{Z4;1|}"}},
  };
  for (const Case& c : cases) {
    ClearReceived(link);
    c.prepare();
    Click(c.button);
    ASSERT_TRUE(WaitForCommands(link, c.commands.size()));
    EXPECT_EQ(ReceivedOn(link), c.commands) << c.button->objectName().toStdString();
    EXPECT_TRUE(AllButtonsEnabled());
  }
  EXPECT_TRUE(messages.empty());
}

TEST_P(EveryLink, HeadCheckShowsItsResultInItsOwnLabel) {
  const int link = GetParam();
  UseLink(link);
  SetPrinterStatus("15");
  window->lblStatus->setText(QStringLiteral("old"));
  Click(Maintenance().btnHeadCheck);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return Maintenance().lblHeadCheck->text() == QStringLiteral("Head Open Error"); }, 3000));
  EXPECT_EQ(window->lblStatus->text(), QString());
  if (link == dz::kLinkUsb) {
    // Over USB: the check, five seconds for the printer, then a status request.
    EXPECT_EQ(ReceivedOn(link), (std::vector<std::string>{"{HD001,A|}", "{WS|}"}));
  } else {
    EXPECT_EQ(ReceivedOn(link), std::vector<std::string>{"{HD001,A|}"});
  }
  EXPECT_TRUE(AllButtonsEnabled());
}

INSTANTIATE_TEST_SUITE_P(Links, EveryLink, ::testing::Values(dz::kLinkCom, dz::kLinkLan, dz::kLinkUsb), LinkName);
