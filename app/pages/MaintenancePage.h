#pragma once
// The page "Maintenance Mode": the frames DIAG PRINT, TEST PRINT, SENSOR
// ADJUST, THRESHOLD CALIB, RAM CLEAR and HEAD CHECK with their lists, spin
// edits and "SEND" buttons. Controls are public members named as the
// controls, with the same object names. The keyboard focus goes frame by
// frame; the RAM-clear destination comes last of the whole window.
#include "pages/TabPage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace dz {

class UCSpinEdit;

class MaintenancePage : public TabPage {
  Q_OBJECT

 public:
  MaintenancePage(const QSize& tabControlSize, QWidget* parent = nullptr);

  QGroupBox* FmDiagPrint = nullptr;
  QComboBox* cmbDiagPrint = nullptr;
  QPushButton* btnDiagPrint = nullptr;

  QGroupBox* FrTestPrint = nullptr;
  QComboBox* cmbPattern = nullptr;
  UCSpinEdit* SeIssueCount = nullptr;
  QComboBox* cmbPrintSpeed = nullptr;
  QComboBox* cmbSensor = nullptr;
  QComboBox* cmbPrtType = nullptr;
  QComboBox* cmbType = nullptr;
  UCSpinEdit* SeLabelLen = nullptr;
  QPushButton* btnTestPrint = nullptr;

  QGroupBox* FrSensorAdjust = nullptr;
  QPushButton* btnReflect = nullptr;
  QPushButton* btnTrans = nullptr;
  QPushButton* btnPaperEnd = nullptr;

  QGroupBox* FrThresholdCalib = nullptr;
  QComboBox* cmbThresholdCalib = nullptr;
  QPushButton* btnThresholdCalib = nullptr;

  QGroupBox* FrRamClear = nullptr;
  QComboBox* cmbRamClear = nullptr;
  QPushButton* btnRamClear = nullptr;
  QComboBox* cmbDestination = nullptr;

  QGroupBox* FrHeadCheck = nullptr;
  QPushButton* btnHeadCheck = nullptr;
  QLabel* lblHeadCheck = nullptr;
};

}  // namespace dz
