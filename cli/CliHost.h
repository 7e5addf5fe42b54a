#pragma once
// The link's host without a window: the status and head-check texts are kept,
// every message box becomes an error text (answered at once, never waiting
// for anyone), the beep and the button lock do nothing.
#include <QString>
#include <QStringList>

#include "ILinkHost.h"

class CliHost : public ILinkHost {
 public:
  void ShowStatusText(const QString& p_sText) override {
    m_sStatusText = p_sText;
    ++m_iStatusTexts;
  }
  void ShowHeadCheckText(const QString& p_sText) override {
    m_sHeadCheckText = p_sText;
    ++m_iHeadCheckTexts;
  }
  int ShowMessageBox(const QString& p_sText, int /*p_iStyle*/, const QString& /*p_sTitle*/) override {
    m_objErrors << p_sText;
    return kAnswerOk;
  }
  void Beep() override {}
  void SetCommandButtonsEnabled(bool /*p_bEnabled*/) override {}

  static constexpr int kAnswerOk = 1;

  QString m_sStatusText;
  QString m_sHeadCheckText;
  int m_iStatusTexts = 0;
  int m_iHeadCheckTexts = 0;
  QStringList m_objErrors;
};
