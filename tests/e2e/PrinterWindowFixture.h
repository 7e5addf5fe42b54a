#pragma once
// The window fixture against the printer simulator: TCP on 127.0.0.1, a
// pseudo-terminal for the serial link, and the simulator build of the USB
// library. Yes/No boxes get overwriteAnswer; file dialogs are answered from
// `answers` and recorded.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <deque>
#include <memory>
#include <string>

#include "CInterface.h"
#include "LinkDispatcher.h"
#include "LinkIds.h"
#include "PrinterModel.h"
#include "PtyPrinter.h"
#include "WindowSerialLink.h"
#include "SimUsb.h"
#include "TcpPrinter.h"
#include "WindowUsbLink.h"
#include "WindowFixture.h"
#include "common/MCommon.h"

class PrinterWindowFixture : public dz::test::WindowFixture {
 protected:
  void SetUp() override {
    recorder.answer = [this](const dz::test::RecordedMessage& box) {
      return box.style == dz::MsgYesNo ? overwriteAnswer : int(dz::AnswerOk);
    };
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
    dz::test::WindowFixture::SetUp();
    if (HasFatalFailure()) return;
    window->Link().Usb().SetLibraryPath(QString::fromUtf8(kDiruvovSimLibraryPath));
    window->Link().Usb().SetReplyWaitSeconds(0.5);
    const QString slave = pty.SlavePath();
    window->Link().Serial().SetPortResolver(
        [slave](int com) { return com == 1 ? slave : QStringLiteral("/nonexistent"); });
  }
  void TearDown() override {
    dz::test::WindowFixture::TearDown();
    MCommon::SetFileDialogRunner({});
  }

  // Selects a link in the interface list and opens it the way "Setup" does
  // after it was confirmed.
  void UseLink(int link) {
    CInterface& iface = window->m_objInterface;
    if (link == dz::kLinkCom) iface.m_objParity.SetValue(int32_t{0});  // pseudo-terminals take no parity
    if (link == dz::kLinkLan) {
      iface.SetIpAddress(127, 0, 0, 1);
      iface.m_objSocketPortNumber.SetValue(int32_t{tcp.Port()});
    }
    window->cmbInterface->setCurrentIndex(link);
    for (int i : {dz::kLinkCom, dz::kLinkLan, dz::kLinkUsb}) window->Link().CloseInterface(i);
    if (link != dz::kLinkUsb) {
      ASSERT_TRUE(window->Link().OpenInterface(link));
    }
  }
  // The commands the printer received, as text, over TCP and the pseudo-terminal.
  std::vector<std::string> Received() {
    std::vector<std::string> out;
    for (const auto& c : model.CommandLog()) out.emplace_back(c.begin(), c.end());
    return out;
  }
  std::vector<std::string> ReceivedOn(int link) { return link == dz::kLinkUsb ? usb.Commands() : Received(); }
  void ClearReceived(int link) {
    if (link == dz::kLinkUsb) {
      usb.Reset();
    } else {
      model.ClearCommandLog();
    }
  }
  // Waits until the printer received n commands (replies may still be on their way).
  bool WaitForCommands(int link, size_t n) {
    return QTest::qWaitFor([&] { return ReceivedOn(link).size() >= n; }, 3000);
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
  std::string PrinterField(int link, const char* name) {
    return link == dz::kLinkUsb ? usb.Field(name) : model.Field(name);
  }

  dzsim::PrinterModel model;
  dzsim::TcpPrinter tcp{model};
  dzsim::PtyPrinter pty{model};
  SimUsb usb;
  struct DialogCall {
    MCommon::FileDialogRecord record;
    bool save;
  };
  std::vector<DialogCall> dialogs;
  std::deque<MCommon::FileDialogAnswer> answers;
  int overwriteAnswer = dz::AnswerYes;
};

// A link's part of a parameterised test's name.
inline std::string LinkTestName(int link) {
  switch (link) {
    case dz::kLinkCom:
      return "Serial";
    case dz::kLinkLan:
      return "Lan";
    case dz::kLinkUsb:
      return "Usb";
  }
  return "Link" + std::to_string(link);
}

// Runs a test body once per link: COM (pseudo-terminal), LAN, USB.
class EveryLink : public PrinterWindowFixture, public ::testing::WithParamInterface<int> {};
