#include "pages/ParameterPage.h"

#include <optional>

#include "ShownSettings.h"
#include "common/AccessibleNames.h"
#include "common/PageBuilder.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

using P = ParameterPage;

// ---- frame "Parameter": two columns of rows, 360 apart ----
constexpr int kLeftLabelLeft = 120;
constexpr int kLeftLabelWidth = 1995;
constexpr int kLeftControlLeft = 2160;
constexpr int kLeftListWidth = 1900;
constexpr int kRightLabelLeft = 4200;
constexpr int kRightLabelWidth = 1995;
constexpr int kRightControlLeft = 6250;
constexpr int kRightListWidth = 1000;

// One row of a column: its top, and its control with the control's width;
// the label shows the control's row caption. The row of the code boxes has
// no control of its own (the boxes are placed on their own) and an empty
// label.
struct ColumnRow {
  int top;
  std::optional<NamedControl<P>> control;
  int width;
};

#define C(member) DZ_CONTROL(P, member)
constexpr int kCodeBoxTop = 4080;
const ColumnRow kLeftColumn[] = {
    {480, C(cmbFontCode), kLeftListWidth}, {840, C(cmbZeroCode), kLeftListWidth},
    {1200, C(cmbSpeed), kLeftListWidth},   {1560, C(cmbDataLeg), kLeftListWidth},
    {1920, C(cmbStopBit), kLeftListWidth}, {2280, C(cmbParity), kLeftListWidth},
    {2640, C(cmbControl), kLeftListWidth}, {3000, C(cmbFowardWait), kLeftListWidth},
    {3360, C(SeFowardPosition), 1815},     {3720, C(cmbCode), kLeftListWidth},
    {kCodeBoxTop, std::nullopt, 0},        {4440, C(cmbPeelOffStatus), kLeftListWidth},
    {4800, C(cmbFeedKey), kLeftListWidth}, {5160, C(cmbKanji), kLeftListWidth},
    {5520, C(SeEuroCode), 1905},
};
const ColumnRow kRightColumn[] = {
    {480, C(cmbAutoHdChk), kRightListWidth},
    {840, C(cmbAckBusy), kRightListWidth},
    {1200, C(cmbWebPrinter), kRightListWidth},
    {1560, C(cmbInputPrime), kRightListWidth},
    {1920, C(cmbRibbonNearEnd), kRightListWidth},
    {2280, C(cmbExIoMode), kRightListWidth},
    // The caption shows one ampersand; it is no access key.
    {2640, C(cmbPlugPlay), kRightListWidth},
    {3000, C(cmbLblRbnEnd), kRightListWidth},
    {3360, C(cmbPrePeelOff), kRightListWidth},
    {3720, C(cmbBackSpeed), kRightListWidth},
    {4080, C(cmbMaxiCodeSpec), kRightListWidth},
    {4440, C(cmbKbIF), kRightListWidth},
    {4800, C(cmbPeelOffTrq), kRightListWidth},
};

struct Column {
  int labelLeft;
  int labelWidth;
  int controlLeft;
};
constexpr Column kLeft = {kLeftLabelLeft, kLeftLabelWidth, kLeftControlLeft};
constexpr Column kRight = {kRightLabelLeft, kRightLabelWidth, kRightControlLeft};

// The three code boxes in the row at 4080, without spin buttons.
struct CodeBox {
  NamedControl<P> control;
  int left;
};
constexpr int kCodeBoxWidth = 540;
const CodeBox kCodeBoxes[] = {{C(SeCode1), 2160}, {C(SeCode2), 2760}, {C(SeCode3), 3360}};

// ---- frame "Adjustment": one column, 360 apart from 480 ----
using AdjustmentRow = NamedControl<P>;
constexpr int kAdjustmentFirstTop = 480;
constexpr int kAdjustmentLabelLeft = 120;
constexpr int kAdjustmentLabelWidth = 1800;
constexpr TwipsRect kAdjustmentSpin = {2040, 0, 1335, kSpinHeight};
const AdjustmentRow kAdjustmentRows[] = {
    C(SeFeedAdj),  C(SeCutAdj),   C(SeBackAdj),  C(SeXAdj),       C(SeToneAdjT),
    C(SeToneAdjD), C(SeRbnAdjFw), C(SeRbnAdjBk), C(SeThresholdR), C(SeThresholdT),
};

// ---- buttons on the page ----
struct ButtonRow {
  NamedControl<P> control;
  const char* caption;
  TwipsRect rect;
};
const ButtonRow kButtons[] = {
    {C(btnLoad), "LOAD", {7920, 4680, 1500, 495}},
    {C(btnSave), "SAVE", {9480, 4680, 1500, 495}},
    {C(btnRead), "READ", {7920, 5400, 1500, 495}},
    {C(btnSet), "SET", {9480, 5400, 1500, 495}},
};
#undef C

constexpr int kRowStep = 360;

int ControlHeight(const NamedControl<P>& control) {
  return std::holds_alternative<UCSpinEdit * P::*>(control.slot) ? kSpinHeight : kListHeight;
}

}  // namespace

ParameterPage::ParameterPage(const QSize& tabControlSize, QWidget* parent) : TabPage(tabControlSize, parent) {
  CreateParameterFrame();
  CreateAdjustmentFrame();
  CreateButtons();
}

void ParameterPage::CreateParameterFrame() {
  FrParameter = MakeFrame(Canvas(), QStringLiteral("FrParameter"), QStringLiteral("Parameter"), {120, 360, 7425, 6015});
  const auto createColumn = [this](const Column& column, const auto& rows) {
    for (const ColumnRow& row : rows) {
      const char* caption = row.control ? RowCaptionOf(row.control->name) : "";
      QLabel* label =
          MakeRowLabel(FrParameter, caption, {column.labelLeft, row.top, column.labelWidth, kRowLabelHeight});
      if (row.control) {
        NameRowControls(label, {AddControl(*this, *row.control, FrParameter,
                                           {column.controlLeft, row.top, row.width, ControlHeight(*row.control)})});
      } else {
        // The code boxes continue the row of the code list above them: its
        // caption names them.
        QList<QWidget*> codeBoxes;
        for (const CodeBox& box : kCodeBoxes)
          codeBoxes << AddControl(*this, box.control, FrParameter, {box.left, row.top, kCodeBoxWidth, kSpinHeight},
                                  QString(), FocusPlace::AfterPage);
        NameRowControls(label, codeBoxes, cmbCode->accessibleName());
      }
    }
  };
  createColumn(kLeft, kLeftColumn);
  createColumn(kRight, kRightColumn);
}

void ParameterPage::CreateAdjustmentFrame() {
  FrAdjustment =
      MakeFrame(Canvas(), QStringLiteral("FrAdjustment"), QStringLiteral("Adjustment"), {7680, 360, 3525, 4215});
  int top = kAdjustmentFirstTop;
  for (const AdjustmentRow& row : kAdjustmentRows) {
    QLabel* label = MakeRowLabel(FrAdjustment, RowCaptionOf(row.name),
                                 {kAdjustmentLabelLeft, top, kAdjustmentLabelWidth, kRowLabelHeight});
    NameRowControls(label, {AddControl(*this, row, FrAdjustment,
                                       {kAdjustmentSpin.left, top, kAdjustmentSpin.width, kAdjustmentSpin.height})});
    top += kRowStep;
  }
}

void ParameterPage::CreateButtons() {
  for (const ButtonRow& button : kButtons)
    AddControl(*this, button.control, Canvas(), button.rect, QString::fromLatin1(button.caption));
}

}  // namespace dz
