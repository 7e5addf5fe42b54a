// The printer simulator's pseudo-terminal picked as a COM entry in the
// window: the simulator publishes it where the port rule looks, "Setup"
// shows it behind COM1, and the buttons talk to it.
#include <QFileInfo>
#include <QTemporaryDir>

#include "SerialPortMap.h"
#include "PrinterWindowFixture.h"
#include "dialogs/FmInterfaceSetup.h"
#include "dialogs/RunModal.h"
#include "widgets/UCSpinEdit.h"

class SimulatorComEntry : public PrinterWindowFixture {};

TEST_F(SimulatorComEntry, PickedInSetupItAnswersGetStatusAndRead) {
  QTemporaryDir machine;
  ASSERT_TRUE(machine.isValid());
  const QString folder = machine.filePath(QStringLiteral("sim"));
  ASSERT_TRUE(pty.Publish(folder)) << pty.ErrorString().toStdString();
  EXPECT_EQ(pty.PublishedPath(), folder + QStringLiteral("/ttyDZSIM0"));
  EXPECT_EQ(QFileInfo(pty.PublishedPath()).symLinkTarget(), pty.SlavePath());

  // A machine with no serial port of its own: the simulator is COM1.
  SerialDeviceRoots roots;
  roots.m_sSysClassTty = machine.filePath(QStringLiteral("sys/class/tty"));
  roots.m_sDev = machine.filePath(QStringLiteral("dev"));
  roots.m_sSimulator = folder;
  window->Link().Serial().SetComPortResolver([roots](int com) { return ResolveComPort(com, roots); });

  bool ran = false;
  dz::SetDialogRunner([&](QDialog& dialog) {
    auto* setup = qobject_cast<dz::FmInterfaceSetup*>(&dialog);
    ASSERT_NE(setup, nullptr);
    ran = true;
    setup->show();
    const QString simulator = pty.SlavePath() + QStringLiteral(" (Dazavu printer simulator)");
    EXPECT_EQ(setup->cmbComPort->itemData(0, Qt::ToolTipRole).toString(), simulator);
    EXPECT_EQ(setup->cmbComPort->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("no device"));
    EXPECT_EQ(setup->cmbComPort->currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(setup->txtComDevice->text(), simulator);
    // What a pseudo-terminal takes: no parity, 8 data bits.
    setup->cmbParity->setCurrentIndex(setup->cmbParity->findText(QStringLiteral("NONE")));
    setup->cmbDataLeg->setCurrentIndex(setup->cmbDataLeg->findText(QStringLiteral("8 bit")));
    QTest::mouseClick(setup->btnSet, Qt::LeftButton);
  });
  Click(window->btnSetup);
  dz::SetDialogRunner({});
  ASSERT_TRUE(ran);
  ASSERT_TRUE(window->Link().Serial().IsSerialPortOpen());

  Click(window->btnGetStatus);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->lblStatus->text() == QStringLiteral("ON LINE"); }, 3000));

  SetPrinterField("FeedAdjustment", "015");
  SetPrinterField("FeedDirection", "-");
  SetPrinterField("ControlCode1st", "1C");
  Click(Parameter().btnRead);
  EXPECT_EQ(Received(), (std::vector<std::string>{"{WS|}", "{Z5;0|}", "{Z5;1|}", "{Z5;4|}"}));
  EXPECT_EQ(Parameter().SeFeedAdj->TextBox()->text(), QStringLiteral("-1.5"));
  EXPECT_EQ(Parameter().SeCode1->TextBox()->text(), QStringLiteral("1C"));
  EXPECT_TRUE(messages.empty());

  // Stopping the simulator takes its entry away again.
  window->Link().CloseInterface(dz::kLinkCom);
  pty.Close();
  EXPECT_FALSE(QFileInfo(folder + QStringLiteral("/ttyDZSIM0")).isSymLink());
  EXPECT_FALSE(ResolveComPort(1, roots));
}
