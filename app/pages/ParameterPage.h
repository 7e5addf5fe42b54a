#pragma once
// The page "Parameter Setting": the frame "Parameter" with its two columns of
// lists and spin edits, the frame "Adjustment" with ten signed spin edits, and
// the buttons LOAD, SAVE, READ and SET. Every control is a public member
// named as the control, and carries that name as its object name. Rows are
// laid out column by column, which is also the order of the keyboard focus
// and of the binding; the three code boxes take the focus after the buttons.
#include "pages/TabPage.h"

class QComboBox;
class QGroupBox;
class QPushButton;

namespace dz {

class UCSpinEdit;

class ParameterPage : public TabPage {
  Q_OBJECT

 public:
  ParameterPage(const QSize& tabControlSize, QWidget* parent = nullptr);

  QGroupBox* FrParameter = nullptr;
  // Left column.
  QComboBox* cmbFontCode = nullptr;
  QComboBox* cmbZeroCode = nullptr;
  QComboBox* cmbSpeed = nullptr;
  QComboBox* cmbDataLeg = nullptr;
  QComboBox* cmbStopBit = nullptr;
  QComboBox* cmbParity = nullptr;
  QComboBox* cmbControl = nullptr;
  QComboBox* cmbFowardWait = nullptr;
  UCSpinEdit* SeFowardPosition = nullptr;
  QComboBox* cmbCode = nullptr;
  UCSpinEdit* SeCode1 = nullptr;
  UCSpinEdit* SeCode2 = nullptr;
  UCSpinEdit* SeCode3 = nullptr;
  QComboBox* cmbPeelOffStatus = nullptr;
  QComboBox* cmbFeedKey = nullptr;
  QComboBox* cmbKanji = nullptr;
  UCSpinEdit* SeEuroCode = nullptr;
  // Right column.
  QComboBox* cmbAutoHdChk = nullptr;
  QComboBox* cmbAckBusy = nullptr;
  QComboBox* cmbWebPrinter = nullptr;
  QComboBox* cmbInputPrime = nullptr;
  QComboBox* cmbRibbonNearEnd = nullptr;
  QComboBox* cmbExIoMode = nullptr;
  QComboBox* cmbPlugPlay = nullptr;
  QComboBox* cmbLblRbnEnd = nullptr;
  QComboBox* cmbPrePeelOff = nullptr;
  QComboBox* cmbBackSpeed = nullptr;
  QComboBox* cmbMaxiCodeSpec = nullptr;
  QComboBox* cmbKbIF = nullptr;
  QComboBox* cmbPeelOffTrq = nullptr;

  QGroupBox* FrAdjustment = nullptr;
  UCSpinEdit* SeFeedAdj = nullptr;
  UCSpinEdit* SeCutAdj = nullptr;
  UCSpinEdit* SeBackAdj = nullptr;
  UCSpinEdit* SeXAdj = nullptr;
  UCSpinEdit* SeToneAdjT = nullptr;
  UCSpinEdit* SeToneAdjD = nullptr;
  UCSpinEdit* SeRbnAdjFw = nullptr;
  UCSpinEdit* SeRbnAdjBk = nullptr;
  UCSpinEdit* SeThresholdR = nullptr;
  UCSpinEdit* SeThresholdT = nullptr;

  QPushButton* btnLoad = nullptr;
  QPushButton* btnSave = nullptr;
  QPushButton* btnRead = nullptr;
  QPushButton* btnSet = nullptr;

 private:
  void CreateParameterFrame();
  void CreateAdjustmentFrame();
  void CreateButtons();
};

}  // namespace dz
