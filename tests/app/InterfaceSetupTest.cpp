// The interface setup dialog, reached with "Setup" in the main window and
// driven through a dialog runner instead of a blocking modal loop.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>

#include "LinkDispatcher.h"
#include "WindowFixture.h"
#include "WindowSerialLink.h"
#include "dialogs/FmInterfaceSetup.h"
#include "common/PageBuilder.h"

namespace dz::test {
namespace {

class InterfaceSetupTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    // COM1 is a device that does not exist here.
    window->Link().Serial().SetPortResolver([](int) { return QStringLiteral("/nonexistent/dz-tty"); });
  }

  // Clicks "Setup"; the runner gets the dialog shown and drives it.
  void RunSetup(const std::function<void(FmInterfaceSetup&)>& drive) {
    bool ran = false;
    SetDialogRunner([&](QDialog& dialog) {
      auto* setup = qobject_cast<FmInterfaceSetup*>(&dialog);
      ASSERT_NE(setup, nullptr);
      ran = true;
      setup->show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(setup));
      drive(*setup);
      EXPECT_FALSE(setup->isVisible());
    });
    QTest::mouseClick(Find<QPushButton>("btnSetup"), Qt::LeftButton);
    EXPECT_TRUE(ran);
  }

  std::vector<std::string> InterfaceFields() const {
    const CInterface& i = window->m_objInterface;
    std::vector<std::string> fields;
    for (const CItem* item : {&i.m_objIpAddress1, &i.m_objIpAddress2, &i.m_objIpAddress3, &i.m_objIpAddress4,
                              &i.m_objGateway1, &i.m_objGateway4, &i.m_objSubnetMask1, &i.m_objSubnetMask4,
                              &i.m_objSocketPortSetting, &i.m_objSocketPortNumber, &i.m_objComPortNumber,
                              &i.m_objCommunicationSpeed, &i.m_objDataLength, &i.m_objStopBit, &i.m_objParity})
      fields.push_back(item->GetValueString());
    return fields;
  }

  static QString Text(UCSpinEdit* spin) { return Box(spin)->text(); }
};

TEST_F(InterfaceSetupTest, OpensWithTheCurrentSettingsAndCancelChangesAndOpensNothing) {
  const std::vector<std::string> before = InterfaceFields();
  RunSetup([&](FmInterfaceSetup& setup) {
    EXPECT_EQ(setup.windowTitle(), QStringLiteral("Interface Setup"));
    EXPECT_EQ(setup.cmbComPort->count(), 9);
    EXPECT_EQ(setup.cmbComPort->currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(setup.cmbComPort->itemText(8), QStringLiteral("COM9"));
    EXPECT_EQ(setup.cmbSpeed->currentText(), QStringLiteral("9600 bps"));
    EXPECT_EQ(setup.cmbDataLeg->currentText(), QStringLiteral("8 bit"));
    EXPECT_EQ(setup.cmbStopBit->currentText(), QStringLiteral("1 bit"));
    EXPECT_EQ(setup.cmbParity->currentText(), QStringLiteral("EVEN"));
    EXPECT_EQ(Text(setup.SeLan1) + Text(setup.SeLan2) + Text(setup.SeLan3) + Text(setup.SeLan4),
              QStringLiteral("1921681020"));
    // COM: the serial part is editable, the address is not.
    EXPECT_FALSE(setup.FrLanSetup->isEnabled());
    EXPECT_FALSE(Box(setup.SeLan1)->isEnabled());
    EXPECT_TRUE(setup.cmbParity->isEnabled());

    Pick(setup.cmbSpeed, QStringLiteral("19200 bps"));
    Pick(setup.cmbComPort, QStringLiteral("COM3"));
    QTest::mouseClick(setup.btnCancel, Qt::LeftButton);
    EXPECT_TRUE(setup.m_bCancelFlag);
  });
  EXPECT_EQ(InterfaceFields(), before);
  EXPECT_EQ(window->m_objInterface.GetActiveInterface(), kLinkCom);
  EXPECT_TRUE(messages.empty());
}

TEST_F(InterfaceSetupTest, ConfirmingForComStoresTheSerialChoicesOnly) {
  std::vector<std::string> expected = InterfaceFields();
  RunSetup([&](FmInterfaceSetup& setup) {
    Pick(setup.cmbComPort, QStringLiteral("COM2"));
    Pick(setup.cmbSpeed, QStringLiteral("115200 bps"));
    Pick(setup.cmbDataLeg, QStringLiteral("7 bit"));
    Pick(setup.cmbStopBit, QStringLiteral("2 bit"));
    Pick(setup.cmbParity, QStringLiteral("ODD"));
    QTest::mouseClick(setup.btnSet, Qt::LeftButton);
    EXPECT_FALSE(setup.m_bCancelFlag);
  });
  expected[10] = "1";
  expected[11] = "5";
  expected[12] = "0";
  expected[13] = "1";
  expected[14] = "2";
  EXPECT_EQ(InterfaceFields(), expected);
  EXPECT_EQ(window->m_objInterface.GetSerialInfo(), "115200,O,7,2");
  // The serial link was re-opened on the (missing) COM2 device: not open.
  EXPECT_FALSE(window->Link().Serial().IsSerialPortOpen());
}

TEST_F(InterfaceSetupTest, ConfirmingForLanStoresTheAddressOnlyAndOpensTheLanLink) {
  QTcpServer printer;
  ASSERT_TRUE(printer.listen(QHostAddress::LocalHost));
  window->m_objInterface.m_objSocketPortNumber.SetValue(static_cast<int32_t>(printer.serverPort()));
  Pick(List("cmbInterface"), QStringLiteral("LAN"));
  std::vector<std::string> expected = InterfaceFields();

  RunSetup([&](FmInterfaceSetup& setup) {
    EXPECT_TRUE(setup.FrLanSetup->isEnabled());
    EXPECT_FALSE(setup.FrRs232cSetup->isEnabled());
    EXPECT_FALSE(setup.cmbSpeed->isEnabled());
    TypeInto(setup.SeLan1, QStringLiteral("127"));
    TypeInto(setup.SeLan2, QStringLiteral("0"));
    TypeInto(setup.SeLan3, QStringLiteral("0"));
    TypeInto(setup.SeLan4, QStringLiteral("1"));
    QTest::mouseClick(setup.btnSet, Qt::LeftButton);
  });
  expected[0] = "127";
  expected[1] = "000";
  expected[2] = "000";
  expected[3] = "001";
  EXPECT_EQ(InterfaceFields(), expected);
  EXPECT_EQ(window->m_objInterface.GetIpAddress(), "127.0.0.1");
  EXPECT_EQ(window->Link().State().m_bLanConnected, 1);
  EXPECT_TRUE(messages.empty());
  for (QPushButton* button : window->CommandButtons()) EXPECT_TRUE(button->isEnabled());

  // Cancelling the next time leaves the open link alone.
  RunSetup([&](FmInterfaceSetup& setup) { QTest::mouseClick(setup.btnCancel, Qt::LeftButton); });
  EXPECT_EQ(window->Link().State().m_bLanConnected, 1);

  // With nobody listening the re-open fails; the link reports the socket
  // error and then the open error.
  const quint16 port = printer.serverPort();
  printer.close();
  window->m_objInterface.m_objSocketPortNumber.SetValue(static_cast<int32_t>(port));
  RunSetup([&](FmInterfaceSetup& setup) { QTest::mouseClick(setup.btnSet, Qt::LeftButton); });
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().text, QStringLiteral("'LAN' Open Error !!"));
  EXPECT_EQ(messages.back().style, MsgCritical);
  EXPECT_EQ(window->Link().State().m_bLanConnected, 0);
  for (QPushButton* button : window->CommandButtons()) EXPECT_TRUE(button->isEnabled());
}

TEST_F(InterfaceSetupTest, EachComEntryShowsItsDeviceAndAnEmptyOneSaysSoWhenOpened) {
  window->Link().Serial().SetComPortResolver([](int com) -> std::optional<SerialPortInfo> {
    if (com == 1) return SerialPortInfo{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART")};
    if (com == 2) return SerialPortInfo{QStringLiteral("/dev/pts/7"), QString()};
    return std::nullopt;
  });
  const QStringList entries = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"};
  RunSetup([&](FmInterfaceSetup& setup) {
    QComboBox* com = setup.cmbComPort;
    QLineEdit* device = setup.txtComDevice;
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->parentWidget(), setup.FrRs232cSetup);
    EXPECT_TRUE(device->isReadOnly());
    // The entries keep their texts; their tool tips name the devices.
    ASSERT_EQ(com->count(), 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(com->itemText(i), entries[i]);
    EXPECT_EQ(com->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyUSB0 (FT232R USB UART)"));
    EXPECT_EQ(com->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("/dev/pts/7"));
    for (int i = 2; i < 9; ++i) EXPECT_EQ(com->itemData(i, Qt::ToolTipRole).toString(), QStringLiteral("no device"));
    // The line follows the selection.
    EXPECT_EQ(device->text(), QStringLiteral("/dev/ttyUSB0 (FT232R USB UART)"));
    Pick(com, QStringLiteral("COM2"));
    EXPECT_EQ(device->text(), QStringLiteral("/dev/pts/7"));
    Pick(com, QStringLiteral("COM6"));
    EXPECT_EQ(device->text(), QStringLiteral("no device"));
    // Below the last list, inside the frame; the lists keep their places.
    EXPECT_EQ(TwipsRectOf(device), QRect(120, 2640, 3495, 240));
    EXPECT_EQ(TwipsRectOf(setup.cmbParity), QRect(1440, 2280, 2055, 345));
    EXPECT_EQ(TwipsRectOf(setup.FrRs232cSetup), QRect(240, 1200, 3735, 2895));
    EXPECT_TRUE(setup.FrRs232cSetup->rect().contains(device->geometry()));
    EXPECT_FALSE(device->focusPolicy() & Qt::TabFocus);
    QTest::mouseClick(setup.btnSet, Qt::LeftButton);
  });
  // Confirmed with the empty entry: the link says no port is attached there.
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text,
            QStringLiteral("No serial port is attached at COM6.\nConnect the printer's serial cable or USB adapter, "
                           "or pick another COM PORT in \"Setup\"."));
  EXPECT_EQ(messages[0].style, MsgExclamation);
  EXPECT_EQ(messages[0].title, QStringLiteral("Dazavu Setting Tool"));
  EXPECT_FALSE(window->Link().Serial().IsSerialPortOpen());
}

// The window's COM N and dazavu's --com N are one map: the entry picked in
// the setup list and the number given to dazavu select the same device.
TEST_F(InterfaceSetupTest, TheSetupListAndTheCommandLineNameTheSameComDevice) {
  const auto device = [](int com) -> std::optional<SerialPortInfo> {
    return SerialPortInfo{QStringLiteral("/dev/ttyFAKE%1").arg(com), QString()};
  };
  window->Link().Serial().SetComPortResolver(device);
  for (int n = 1; n <= 9; ++n) {
    RunSetup([&](FmInterfaceSetup& setup) {
      Pick(setup.cmbComPort, QStringLiteral("COM%1").arg(n));
      EXPECT_EQ(setup.txtComDevice->text(), QStringLiteral("/dev/ttyFAKE%1").arg(n));
      QTest::mouseClick(setup.btnSet, Qt::LeftButton);
    });
    CInterface commandLine;  // as dazavu --com N sets it
    commandLine.SetComPortNumber(n);
    EXPECT_EQ(window->m_objInterface.GetComPortNumber(), n);
    EXPECT_EQ(commandLine.GetComPortNumber(), n);
    EXPECT_EQ(commandLine.m_objComPortNumber.GetValueString(),
              window->m_objInterface.m_objComPortNumber.GetValueString());
    EXPECT_EQ(device(commandLine.GetComPortNumber())->m_sDevice, QStringLiteral("/dev/ttyFAKE%1").arg(n));
  }
}

TEST_F(InterfaceSetupTest, EscapeCloseBoxAndEnterConfirmNothing) {
  CInterface& settings = window->m_objInterface;
  const std::vector<std::string> before = InterfaceFields();
  {
    FmInterfaceSetup setup(window.get());
    ASSERT_TRUE(setup.InitializeItem(settings, 1));
    setup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(setup.windowHandle()));
    // Enter in an address box neither confirms nor takes over text unchecked.
    QLineEdit* box = Box(setup.SeLan1);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("300"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(setup.isVisible());
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(setup.isVisible());
    EXPECT_TRUE(setup.m_bCancelFlag);
  }
  {
    FmInterfaceSetup setup(window.get());
    ASSERT_TRUE(setup.InitializeItem(settings, 0));
    setup.show();
    Pick(setup.cmbParity, QStringLiteral("NONE"));
    setup.close();
    EXPECT_TRUE(setup.m_bCancelFlag);
  }
  EXPECT_EQ(InterfaceFields(), before);
}

TEST_F(InterfaceSetupTest, GivenUsbItBehavesAsForCom) {
  CInterface& settings = window->m_objInterface;
  FmInterfaceSetup setup(window.get());
  ASSERT_TRUE(setup.InitializeItem(settings, 2));
  setup.show();
  EXPECT_FALSE(setup.FrLanSetup->isEnabled());
  EXPECT_FALSE(Box(setup.SeLan4)->isEnabled());
  EXPECT_TRUE(setup.cmbStopBit->isEnabled());
  Pick(setup.cmbStopBit, QStringLiteral("2 bit"));
  QTest::mouseClick(setup.btnSet, Qt::LeftButton);
  EXPECT_EQ(settings.m_objStopBit.GetValueString(), "1");
  EXPECT_EQ(settings.GetIpAddress(), "192.168.10.20");
  // "Setup" itself is not reachable with USB selected.
  Pick(List("cmbInterface"), QStringLiteral("USB"));
  EXPECT_FALSE(Find<QPushButton>("btnSetup")->isEnabled());
}

}  // namespace
}  // namespace dz::test
