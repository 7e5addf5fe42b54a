#pragma once
// A window stand-in for the link: records what the link shows and how the
// command buttons were locked, and answers every message box with OK at once.
// Used by the link tests and the link fuzz harnesses.
#include <QString>
#include <QStringList>
#include <vector>

#include "ILinkHost.h"
#include "RecordedMessage.h"

class RecordingHost : public ILinkHost {
 public:
  void ShowStatusText(const QString& p_sText) override {
    status = p_sText;
    statusHistory << p_sText;
  }
  void ShowHeadCheckText(const QString& p_sText) override {
    headCheck = p_sText;
    headCheckHistory << p_sText;
  }
  int ShowMessageBox(const QString& p_sText, int p_iStyle, const QString& p_sTitle) override {
    messages.push_back({p_sText, p_iStyle, p_sTitle});
    return 1;
  }
  void Beep() override { ++beeps; }
  void SetCommandButtonsEnabled(bool p_bEnabled) override {
    buttonsEnabled = p_bEnabled;
    lockHistory.push_back(p_bEnabled);
  }

  QString status = QStringLiteral("(none)");
  QStringList statusHistory;
  QString headCheck = QStringLiteral("(none)");
  QStringList headCheckHistory;
  std::vector<dz::test::RecordedMessage> messages;
  int beeps = 0;
  bool buttonsEnabled = true;
  std::vector<bool> lockHistory;
};
