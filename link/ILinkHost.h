#pragma once
// What the link layer needs of the window: the status and head-check labels,
// message boxes, the beep, and the lock of the command buttons. The main
// window implements it; link tests implement it with a recorder.
#include <QString>

class ILinkHost {
 public:
  virtual ~ILinkHost() = default;
  // Caption of the status label (lblStatus).
  virtual void ShowStatusText(const QString& p_sText) = 0;
  // Caption of the head-check result label (lblHeadCheck).
  virtual void ShowHeadCheckText(const QString& p_sText) = 0;
  // A modal message box; style 0, 4, 16 or 48; returns the answer.
  virtual int ShowMessageBox(const QString& p_sText, int p_iStyle, const QString& p_sTitle) = 0;
  virtual void Beep() = 0;
  // Enables or disables the 18 command buttons together.
  virtual void SetCommandButtonsEnabled(bool p_bEnabled) = 0;
};
