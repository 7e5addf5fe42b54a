#pragma once
// The page "Extra Setting": the frame "LAN" with the printer's IP address,
// subnet mask, gateway, socket port, DHCP setting and host name, and the
// buttons LOAD, SAVE, READ and SET. Controls are public members named as the
// controls, with the same object names.
#include "pages/TabPage.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace dz {

class UCSpinEdit;

class ExtraSettingPage : public TabPage {
  Q_OBJECT

 public:
  ExtraSettingPage(const QSize& tabControlSize, QWidget* parent = nullptr);

  // Most characters the DHCP host name box takes.
  static constexpr int kHostNameLength = 16;

  QGroupBox* FrLan = nullptr;
  UCSpinEdit* SeIpAddress1 = nullptr;
  UCSpinEdit* SeIpAddress2 = nullptr;
  UCSpinEdit* SeIpAddress3 = nullptr;
  UCSpinEdit* SeIpAddress4 = nullptr;
  UCSpinEdit* SeSubNet1 = nullptr;
  UCSpinEdit* SeSubNet2 = nullptr;
  UCSpinEdit* SeSubNet3 = nullptr;
  UCSpinEdit* SeSubNet4 = nullptr;
  UCSpinEdit* SeGateway1 = nullptr;
  UCSpinEdit* SeGateway2 = nullptr;
  UCSpinEdit* SeGateway3 = nullptr;
  UCSpinEdit* SeGateway4 = nullptr;
  QComboBox* cmbPort = nullptr;
  UCSpinEdit* SeSocetPort = nullptr;
  QComboBox* cmbDhcp = nullptr;
  QLineEdit* txtDhcpName = nullptr;

  QPushButton* btnLanLoad = nullptr;
  QPushButton* btnLanSave = nullptr;
  QPushButton* btnLanRead = nullptr;
  QPushButton* btnLanSet = nullptr;

  // The twelve address boxes: IP address 1-4, subnet mask 1-4, gateway 1-4.
  QList<UCSpinEdit*> AddressBoxes() const;
};

}  // namespace dz
