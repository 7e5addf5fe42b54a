#pragma once
// The interface setup dialog: the serial-port parameters of the COM link or
// the printer's IP address for the LAN link, edited in the interface
// settings when confirmed with "SET". Left with "CANCEL", Esc or the close
// box it changes nothing and m_bCancelFlag stays true.
#include <QDialog>
#include <cstdint>
#include <optional>
#include <vector>

#include "SerialSettings.h"

class CInterface;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace dz {

class UCSpinEdit;

class FmInterfaceSetup : public QDialog {
  Q_OBJECT

 public:
  explicit FmInterfaceSetup(QWidget* parent = nullptr);

  // Keeps the settings and the link index (0 COM, 1 LAN, 2 USB), fills the
  // lists, shows the current values and enables the part that belongs to
  // the link. Call before showing the dialog.
  bool InitializeItem(CInterface& p_objInterface, int16_t p_iInterfaceIndex);

  // Which device each COM entry stands for (ResolveComPort unless set); the
  // main window hands over the serial link's own resolver. Call before
  // InitializeItem.
  void SetComPortResolver(ComPortResolver p_objResolver) { m_objResolver = std::move(p_objResolver); }

  // What a COM entry stands for, as its tool tip and txtComDevice show it:
  // "/dev/ttyUSB0 (FT232R USB UART)", or "no device".
  static QString DeviceText(const std::optional<SerialPortInfo>& p_objPort);

  // True unless the dialog was left with "SET".
  bool m_bCancelFlag = true;

  QGroupBox* FrLanSetup = nullptr;
  UCSpinEdit* SeLan1 = nullptr;
  UCSpinEdit* SeLan2 = nullptr;
  UCSpinEdit* SeLan3 = nullptr;
  UCSpinEdit* SeLan4 = nullptr;
  QGroupBox* FrRs232cSetup = nullptr;
  QComboBox* cmbComPort = nullptr;
  QComboBox* cmbSpeed = nullptr;
  QComboBox* cmbDataLeg = nullptr;
  QComboBox* cmbStopBit = nullptr;
  QComboBox* cmbParity = nullptr;
  QLineEdit* txtComDevice = nullptr;  // read-only: the device of the selected entry
  QPushButton* btnSet = nullptr;
  QPushButton* btnCancel = nullptr;

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  bool InitializeChoiceLists();
  void OnSet();
  void OnCancel();
  void ShowComDevices();
  void ShowSelectedComDevice();

  CInterface* m_pInterface = nullptr;
  int16_t m_iInterfaceIndex = 0;
  ComPortResolver m_objResolver;
  std::vector<QString> m_sComDevices;  // DeviceText of each COM entry
};

}  // namespace dz
