#include "dialogs/FmInterfaceSetup.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "CInterface.h"
#include "bindings/ListPosition.h"
#include "bindings/ValueVariant.h"
#include "common/AccessibleNames.h"
#include "common/AppIcon.h"
#include "common/PageBuilder.h"
#include "common/Twips.h"
#include "common/ChoiceLists.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

using D = FmInterfaceSetup;
#define C(member) DZ_CONTROL(D, member)

constexpr int kLanLink = 1;
constexpr int kClientWidth = 4215;
constexpr int kClientHeight = 4935;

struct Frame {
  NamedControl<D> control;
  const char* caption;
  TwipsRect rect;
};
const Frame kFrames[] = {
    {C(FrLanSetup), "LAN", {240, 240, 3735, 855}},
    {C(FrRs232cSetup), "RS-232C", {240, 1200, 3735, 2895}},
};

// The four IP octets, inside "LAN".
const NamedControl<D> kOctets[] = {C(SeLan1), C(SeLan2), C(SeLan3), C(SeLan4)};
constexpr int kOctetLefts[] = {1440, 1940, 2440, 2940};
constexpr int kOctetTop = 360;
constexpr int kOctetWidth = 500;

// The serial rows inside "RS-232C": label, list, and the setting it edits.
struct SerialRow {
  int top;
  const char* caption;
  NamedControl<D> control;
  CItem CInterface::*item;
};
const SerialRow kSerialRows[] = {
    {360, "COM PORT", C(cmbComPort), &CInterface::m_objComPortNumber},
    {840, "SPEED", C(cmbSpeed), &CInterface::m_objCommunicationSpeed},
    {1320, "DATA LENG.", C(cmbDataLeg), &CInterface::m_objDataLength},
    {1800, "STOP BIT", C(cmbStopBit), &CInterface::m_objStopBit},
    {2280, "PARITY", C(cmbParity), &CInterface::m_objParity},
};
constexpr int kLabelLeft = 120;
constexpr int kLabelWidth = 1215;
constexpr int kListLeft = 1440;
constexpr int kListWidth = 2055;
// Below the lists, inside "RS-232C": the device of the selected COM entry.
constexpr TwipsRect kComDeviceRect = {120, 2640, 3495, 240};
constexpr int kComEntries = 9;

const std::vector<ChoiceList>& SetupChoiceLists() {
  static const std::vector<ChoiceList> lists = {
      {"cmbComPort", {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"}, true},
      {"cmbSpeed", {"2400 bps", "4800 bps", "9600 bps", "19200 bps", "38400 bps", "115200 bps"}, true},
      {"cmbDataLeg", {"7 bit", "8 bit"}, true},
      {"cmbStopBit", {"1 bit", "2 bit"}, true},
      {"cmbParity", {"NONE", "EVEN", "ODD"}, true},
  };
  return lists;
}

struct Button {
  NamedControl<D> control;
  const char* caption;
  TwipsRect rect;
};
const Button kButtons[] = {
    {C(btnSet), "SET", {360, 4200, 1455, 495}},
    {C(btnCancel), "CANCEL", {2400, 4200, 1455, 495}},
};
const NamedControl<D> kComDevice = C(txtComDevice);
#undef C

}  // namespace

FmInterfaceSetup::FmInterfaceSetup(QWidget* parent)
    : QDialog(parent), m_objResolver([](int p_iCom) { return ResolveComPort(p_iCom); }) {
  setObjectName(QStringLiteral("FmInterfaceSetup"));
  setWindowTitle(QStringLiteral("Interface Setup"));
  setWindowIcon(AppIcon());
  setFont(ArialFont(kWindowFontPoints));
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));

  for (const Frame& frame : kFrames)
    CreateControl(*this, frame.control, this, frame.rect, QString::fromLatin1(frame.caption));

  QLabel* octetLabel =
      MakeRowLabel(FrLanSetup, QStringLiteral("IP-Address"), {kLabelLeft, kOctetTop, kLabelWidth, kSpinHeight});
  QList<QWidget*> octets;
  for (int i = 0; i < 4; ++i) {
    octets << CreateControl(*this, kOctets[i], FrLanSetup, {kOctetLefts[i], kOctetTop, kOctetWidth, kSpinHeight});
  }
  NameRowControls(octetLabel, octets);
  // The octet boxes show no spin button: the text box fills each box.
  for (UCSpinEdit* octet : {SeLan1, SeLan2, SeLan3, SeLan4}) octet->EditWidth(kOctetWidth);

  for (const SerialRow& row : kSerialRows) {
    QLabel* label =
        MakeRowLabel(FrRs232cSetup, QString::fromLatin1(row.caption), {kLabelLeft, row.top, kLabelWidth, kSpinHeight});
    NameRowControls(label,
                    {CreateControl(*this, row.control, FrRs232cSetup, {kListLeft, row.top, kListWidth, kListHeight})});
  }

  CreateControl(*this, kComDevice, FrRs232cSetup, kComDeviceRect);
  txtComDevice->setReadOnly(true);
  txtComDevice->setFrame(false);
  txtComDevice->setFocusPolicy(Qt::ClickFocus);  // not in the tab order
  connect(cmbComPort, &QComboBox::currentIndexChanged, this, &FmInterfaceSetup::ShowSelectedComDevice);

  for (const Button& button : kButtons) {
    auto* created = static_cast<QPushButton*>(
        CreateControl(*this, button.control, this, button.rect, QString::fromLatin1(button.caption)));
    // Enter in a box must not confirm text that was typed but not yet taken
    // over by the box; only a click or the space bar on a button confirms.
    created->setAutoDefault(false);
    created->setDefault(false);
  }
  connect(btnSet, &QPushButton::clicked, this, &FmInterfaceSetup::OnSet);
  connect(btnCancel, &QPushButton::clicked, this, &FmInterfaceSetup::OnCancel);

  // Spin edits take the focus through their text boxes.
  const QList<QWidget*> order = {SeLan1->TextBox(), SeLan2->TextBox(), SeLan3->TextBox(), SeLan4->TextBox(), cmbComPort,
                                 cmbSpeed,          cmbDataLeg,        cmbStopBit,        cmbParity,         btnSet,
                                 btnCancel};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

bool FmInterfaceSetup::InitializeChoiceLists() { return FillChoiceLists(*this, SetupChoiceLists()); }

bool FmInterfaceSetup::InitializeItem(CInterface& p_objInterface, int16_t p_iInterfaceIndex) {
  m_pInterface = &p_objInterface;
  m_iInterfaceIndex = p_iInterfaceIndex;

  if (!InitializeChoiceLists()) return false;
  ShowComDevices();

  const CItem* octetItems[] = {&p_objInterface.m_objIpAddress1, &p_objInterface.m_objIpAddress2,
                               &p_objInterface.m_objIpAddress3, &p_objInterface.m_objIpAddress4};
  UCSpinEdit* octets[] = {SeLan1, SeLan2, SeLan3, SeLan4};
  for (int i = 0; i < 4; ++i) octets[i]->InitializeSpinEdit(ToVariant(octetItems[i]->GetValue()), 255, 0, 1, 5, 0);

  // A setting that names no entry leaves its list without a selection;
  // "SET" then keeps that setting as it is.
  for (const SerialRow& row : kSerialRows) {
    QComboBox* list = this->*std::get<QComboBox * D::*>(row.control.slot);
    list->setCurrentIndex(ListPosition((p_objInterface.*row.item).GetValue(), *list));
  }

  const bool lan = p_iInterfaceIndex == kLanLink;
  FrLanSetup->setEnabled(lan);
  for (UCSpinEdit* octet : octets) octet->Enable(lan);
  FrRs232cSetup->setEnabled(!lan);
  for (const SerialRow& row : kSerialRows) (this->*std::get<QComboBox * D::*>(row.control.slot))->setEnabled(!lan);
  return true;
}

QString FmInterfaceSetup::DeviceText(const std::optional<SerialPortInfo>& p_objPort) {
  if (!p_objPort) return QStringLiteral("no device");
  if (p_objPort->m_sDescription.isEmpty()) return p_objPort->m_sDevice;
  return QStringLiteral("%1 (%2)").arg(p_objPort->m_sDevice, p_objPort->m_sDescription);
}

void FmInterfaceSetup::ShowComDevices() {
  m_sComDevices.clear();
  for (int com = 1; com <= kComEntries; ++com) {
    m_sComDevices.push_back(DeviceText(m_objResolver ? m_objResolver(com) : std::nullopt));
    if (com - 1 < cmbComPort->count()) cmbComPort->setItemData(com - 1, m_sComDevices.back(), Qt::ToolTipRole);
  }
  ShowSelectedComDevice();
}

void FmInterfaceSetup::ShowSelectedComDevice() {
  const int position = cmbComPort->currentIndex();
  const bool known = position >= 0 && static_cast<size_t>(position) < m_sComDevices.size();
  txtComDevice->setText(known ? m_sComDevices[static_cast<size_t>(position)] : QString());
  txtComDevice->setToolTip(txtComDevice->text());
  txtComDevice->setCursorPosition(0);
}

void FmInterfaceSetup::OnSet() {
  if (m_pInterface) {
    if (m_iInterfaceIndex != kLanLink) {
      for (const SerialRow& row : kSerialRows) {
        const int position = (this->*std::get<QComboBox * D::*>(row.control.slot))->currentIndex();
        if (position >= 0) (m_pInterface->*row.item).SetValue(static_cast<int32_t>(position));
      }
    } else {
      CItem* octetItems[] = {&m_pInterface->m_objIpAddress1, &m_pInterface->m_objIpAddress2,
                             &m_pInterface->m_objIpAddress3, &m_pInterface->m_objIpAddress4};
      UCSpinEdit* octets[] = {SeLan1, SeLan2, SeLan3, SeLan4};
      for (int i = 0; i < 4; ++i) octetItems[i]->SetValue(FromVariant(octets[i]->GetValue()));
    }
  }
  m_bCancelFlag = false;
  hide();
  done(QDialog::Accepted);
}

void FmInterfaceSetup::OnCancel() {
  m_bCancelFlag = true;
  hide();
  done(QDialog::Rejected);
}

void FmInterfaceSetup::reject() { OnCancel(); }

void FmInterfaceSetup::closeEvent(QCloseEvent* event) {
  m_bCancelFlag = true;
  QDialog::closeEvent(event);
}

}  // namespace dz
