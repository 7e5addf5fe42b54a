#include "pages/ExtraSettingPage.h"

#include <QRegularExpressionValidator>
#include <vector>

#include "ShownSettings.h"
#include "common/AccessibleNames.h"
#include "common/PageBuilder.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

using P = ExtraSettingPage;
#define C(member) DZ_CONTROL(P, member)

constexpr int kLabelLeft = 120;
constexpr int kLabelWidth = 2100;

// One control of a row: the member, left and width; the height follows from
// the kind (lists 345, spin edits and the text box 375).
struct Cell {
  NamedControl<P> control;
  int left;
  int width;
};
// A row: its top and its controls; the label shows the first control's row
// caption.
struct Row {
  int top;
  std::vector<Cell> cells;
};
const Row kRows[] = {
    {480,
     {{C(SeIpAddress1), 2400, 500},
      {C(SeIpAddress2), 2895, 500},
      {C(SeIpAddress3), 3405, 500},
      {C(SeIpAddress4), 3900, 500}}},
    {840, {{C(SeSubNet1), 2400, 495}, {C(SeSubNet2), 2895, 495}, {C(SeSubNet3), 3405, 495}, {C(SeSubNet4), 3900, 495}}},
    {1200,
     {{C(SeGateway1), 2400, 495}, {C(SeGateway2), 2895, 495}, {C(SeGateway3), 3405, 495}, {C(SeGateway4), 3900, 495}}},
    {1560, {{C(cmbPort), 2400, 945}, {C(SeSocetPort), 3480, 1815}}},
    {1920, {{C(cmbDhcp), 2400, 945}}},
    {2280, {{C(txtDhcpName), 2400, 3015}}},
};

struct ButtonRow {
  NamedControl<P> control;
  const char* caption;
  TwipsRect rect;
};
const ButtonRow kButtons[] = {
    {C(btnLanLoad), "LOAD", {2280, 2760, 1500, 495}},
    {C(btnLanSave), "SAVE", {3840, 2760, 1500, 495}},
    {C(btnLanRead), "READ", {2280, 3480, 1500, 495}},
    {C(btnLanSet), "SET", {3840, 3480, 1500, 495}},
};
#undef C

}  // namespace

ExtraSettingPage::ExtraSettingPage(const QSize& tabControlSize, QWidget* parent) : TabPage(tabControlSize, parent) {
  FrLan = MakeFrame(Canvas(), QStringLiteral("FrLan"), QStringLiteral("LAN"), {120, 480, 5535, 4200});
  for (const Row& row : kRows) {
    QLabel* label = MakeRowLabel(FrLan, RowCaptionOf(row.cells.front().control.name),
                                 {kLabelLeft, row.top, kLabelWidth, kRowLabelHeight});
    QList<QWidget*> controls;
    for (const Cell& cell : row.cells) {
      const int height = std::holds_alternative<QComboBox * P::*>(cell.control.slot) ? kListHeight : kSpinHeight;
      controls << AddControl(*this, cell.control, FrLan, {cell.left, row.top, cell.width, height});
    }
    NameRowControls(label, controls);
  }
  txtDhcpName->setMaxLength(kHostNameLength);
  // The frame characters would end the DHCP command inside the host name.
  txtDhcpName->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^{|}]*")), txtDhcpName));
  for (const ButtonRow& button : kButtons)
    AddControl(*this, button.control, FrLan, button.rect, QString::fromLatin1(button.caption));
}

QList<UCSpinEdit*> ExtraSettingPage::AddressBoxes() const {
  return {SeIpAddress1, SeIpAddress2, SeIpAddress3, SeIpAddress4, SeSubNet1,  SeSubNet2,
          SeSubNet3,    SeSubNet4,    SeGateway1,   SeGateway2,   SeGateway3, SeGateway4};
}

}  // namespace dz
