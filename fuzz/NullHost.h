#pragma once
// The window side of the link for the harnesses: shows nothing, answers
// every message box with OK, and remembers what it was asked to show.
#include <QString>
#include <QStringList>

#include "ILinkHost.h"

class NullHost : public ILinkHost {
 public:
  void ShowStatusText(const QString& p_sText) override { shown << p_sText; }
  void ShowHeadCheckText(const QString& p_sText) override { shown << p_sText; }
  int ShowMessageBox(const QString&, int, const QString&) override {
    ++messages;
    return 1;
  }
  void Beep() override {}
  void SetCommandButtonsEnabled(bool p_bEnabled) override { buttonsEnabled = p_bEnabled; }

  QStringList shown;
  int messages = 0;
  bool buttonsEnabled = true;
};
