// Link failures and interrupted operations through the real window.
#include <QTcpServer>
#include <QTimer>

#include "WindowFixture.h"
#include "dialogs/FmInterfaceSetup.h"
#include "dialogs/RunModal.h"
#include "widgets/UCSpinEdit.h"

using FailuresTest = WindowFixture;

TEST_F(FailuresTest, RefusedConnectionAndClosedSerialPort) {
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const quint16 closed = probe.serverPort();
  probe.close();
  window->m_objInterface.SetIpAddress(127, 0, 0, 1);
  window->m_objInterface.m_objSocketPortNumber.SetValue(int32_t{closed});
  window->cmbInterface->setCurrentIndex(1);
  EXPECT_FALSE(window->Link().OpenInterface(1));
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0].text, QStringLiteral("'LAN' Open Error !!"));
  EXPECT_TRUE(AllButtonsEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() >= 2; }, 3000));  // the retry's details

  shown.clear();
  Click(window->btnGetStatus);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, QStringLiteral("'LAN' Send Error !!"));
  EXPECT_EQ(shown[0].style, 48);
  EXPECT_TRUE(AllButtonsEnabled());

  // "COM" selected but never opened: sends fail without a message.
  window->cmbInterface->setCurrentIndex(0);
  shown.clear();
  Click(Parameter().btnRead);
  Click(window->btnGetStatus);
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(AllButtonsEnabled());
}

TEST_F(FailuresTest, UsbOpenErrorsShowTheirTexts) {
  UseLink(2);
  const std::pair<int32_t, const char*> cases[] = {{-1, "USB Device not ready !!"},
                                                   {-2, "USB DeviceID receive error"},
                                                   {-3, "USB DeviceID mismatch error"}};
  for (const auto& [result, text] : cases) {
    usb.SetOpenResult(result);
    shown.clear();
    Click(window->btnGetStatus);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString::fromLatin1(text));
    EXPECT_EQ(shown[0].style, 48);
    EXPECT_TRUE(AllButtonsEnabled());
  }
  // A library that fails every call: every button ends with the buttons enabled.
  usb.SetOpenResult(0);
  usb.SetFailAll(1);
  shown.clear();
  Click(Parameter().btnRead);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(AllButtonsEnabled());
}

TEST_F(FailuresTest, SilentPrinterLeavesTheValuesAndFreesTheButtons) {
  UseLink(1);
  const QString before = Parameter().SeFeedAdj->TextBox()->text();
  model.SetMode(dzsim::Misbehaviour::Silence);
  Click(Parameter().btnRead);
  EXPECT_EQ(Received().size(), 3u);
  EXPECT_EQ(Parameter().SeFeedAdj->TextBox()->text(), before);
  EXPECT_TRUE(AllButtonsEnabled());
  EXPECT_TRUE(shown.empty());
}

TEST_F(FailuresTest, ReadClickedTwiceRunsOnce) {
  UseLink(1);
  QTimer::singleShot(300, [&] { QTest::mouseClick(Parameter().btnRead, Qt::LeftButton); });
  Click(Parameter().btnRead);
  EXPECT_EQ(Received(), (std::vector<std::string>{"{Z5;0|}", "{Z5;1|}", "{Z5;4|}"}));
  EXPECT_TRUE(AllButtonsEnabled());
}

TEST_F(FailuresTest, ClosingTheWindowDuringARead) {
  UseLink(1);
  QElapsedTimer timer;
  timer.start();
  QTimer::singleShot(300, window.get(), [&] { window->close(); });
  Click(Parameter().btnRead);
  // The read gave up its waits instead of running its three seconds.
  EXPECT_LT(timer.elapsed(), 2500);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(shown.empty());
}

TEST_F(FailuresTest, ANewUserPicksLanEntersTheAddressAndGetsTheStatus) {
  window->m_objInterface.m_objSocketPortNumber.SetValue(int32_t{tcp.Port()});
  window->cmbInterface->setCurrentIndex(1);
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
  EXPECT_TRUE(shown.empty());
}
