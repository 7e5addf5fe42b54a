#pragma once
// The real main window driven on the offscreen platform against the printer
// simulator: TCP on 127.0.0.1, a pseudo-terminal for the serial link, and the
// simulator build of the USB library. Message boxes and file dialogs are
// answered by the test and recorded.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <memory>

#include "CInterface.h"
#include "LinkDispatcher.h"
#include "PrinterModel.h"
#include "PtyPrinter.h"
#include "SerialTransport.h"
#include "SimUsb.h"
#include "TcpPrinter.h"
#include "UsbTransport.h"
#include "common/MCommon.h"
#include "common/MessageBox.h"
#include "main/FmMain.h"
#include "pages/ExtraSettingPage.h"
#include "pages/MaintenancePage.h"
#include "pages/ParameterPage.h"

struct Shown {
  QString text;
  int style;
  QString title;
};

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dz::SetMessageAnswerer([this](const QString& text, int style, const QString& title) {
      shown.push_back({text, style, title});
      if (style == dz::MsgYesNo) return overwriteAnswer;
      return int(dz::AnswerOk);
    });
    MCommon::SetFileDialogRunner([this](const MCommon::FileDialogRecord& record, bool save) {
      dialogs.push_back({record, save});
      MCommon::FileDialogAnswer answer;
      if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
      }
      return answer;
    });
    ASSERT_TRUE(usb.Load());
    usb.Reset();
    ASSERT_TRUE(tcp.Listen(0));
    ASSERT_TRUE(pty.Open());
    window = std::make_unique<dz::FmMain>();
    window->show();
    window->Link().Usb().SetLibraryPath(QString::fromUtf8(kDiruvovSimLibraryPath));
    window->Link().Usb().SetReplyWaitSeconds(0.5);
    const QString slave = pty.SlavePath();
    window->Link().Serial().SetPortResolver(
        [slave](int com) { return com == 1 ? slave : QStringLiteral("/nonexistent"); });
  }
  void TearDown() override {
    window.reset();
    dz::SetMessageAnswerer({});
    MCommon::SetFileDialogRunner({});
  }

  // Selects a link in the interface list and opens it the way "Setup" does
  // after it was confirmed.
  void UseLink(int index) {
    CInterface& iface = window->m_objInterface;
    if (index == 0) iface.m_objParity.SetValue(int32_t{0});  // pseudo-terminals take no parity
    if (index == 1) {
      iface.SetIpAddress(127, 0, 0, 1);
      iface.m_objSocketPortNumber.SetValue(int32_t{tcp.Port()});
    }
    window->cmbInterface->setCurrentIndex(index);
    for (int i = 0; i < 3; ++i) window->Link().CloseInterface(i);
    if (index != 2) {
      ASSERT_TRUE(window->Link().OpenInterface(index));
    }
  }
  void Click(QPushButton* button) {
    ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
  }
  // The commands the printer received, as text, over TCP and the pseudo-terminal.
  std::vector<std::string> Received() {
    std::vector<std::string> out;
    for (const auto& c : model.CommandLog()) out.emplace_back(c.begin(), c.end());
    return out;
  }
  std::vector<std::string> ReceivedOn(int link) { return link == 2 ? usb.Commands() : Received(); }
  void ClearReceived(int link) {
    if (link == 2) {
      usb.Reset();
    } else {
      model.ClearCommandLog();
    }
  }
  // Waits until the printer received n commands (replies may still be on their way).
  bool WaitForCommands(int link, size_t n) {
    return QTest::qWaitFor([&] { return ReceivedOn(link).size() >= n; }, 3000);
  }
  bool AllButtonsEnabled() {
    for (QPushButton* b : window->CommandButtons())
      if (!b->isEnabled()) return false;
    return true;
  }
  // Sets a printer field on every simulated printer.
  void SetPrinterField(const char* name, const std::string& value) {
    model.SetField(name, value);
    usb.SetField(name, value.c_str());
  }
  void SetPrinterStatus(const char* code) {
    model.SetStatusCode(code);
    usb.SetStatusCode(code);
  }
  std::string PrinterField(int link, const char* name) { return link == 2 ? usb.Field(name) : model.Field(name); }

  dz::ParameterPage& Parameter() { return *window->pageParameter; }
  dz::MaintenancePage& Maintenance() { return *window->pageMaintenance; }
  dz::ExtraSettingPage& Extra() { return *window->pageExtraSetting; }

  dzsim::PrinterModel model;
  dzsim::TcpPrinter tcp{model};
  dzsim::PtyPrinter pty{model};
  SimUsb usb;
  std::unique_ptr<dz::FmMain> window;
  std::vector<Shown> shown;
  struct DialogCall {
    MCommon::FileDialogRecord record;
    bool save;
  };
  std::vector<DialogCall> dialogs;
  std::deque<MCommon::FileDialogAnswer> answers;
  int overwriteAnswer = dz::AnswerYes;
};

// Runs a test body once per link: 0 COM (pseudo-terminal), 1 LAN, 2 USB.
class EveryLink : public WindowFixture, public ::testing::WithParamInterface<int> {};
