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

// One side of a row: the label caption and the control with its width; no
// control for the row of the code boxes (they are placed on their own).
struct Cell {
  const char* caption;
  std::optional<NamedControl<P>> control;
  int width;
};

struct ParameterRow {
  int top;
  Cell left;
  Cell right;
};

#define C(member) DZ_CONTROL(P, member)
const ParameterRow kParameterRows[] = {
    {480,
     {RowCaptionOf("cmbFontCode"), C(cmbFontCode), kLeftListWidth},
     {RowCaptionOf("cmbAutoHdChk"), C(cmbAutoHdChk), kRightListWidth}},
    {840,
     {RowCaptionOf("cmbZeroCode"), C(cmbZeroCode), kLeftListWidth},
     {RowCaptionOf("cmbAckBusy"), C(cmbAckBusy), kRightListWidth}},
    {1200,
     {RowCaptionOf("cmbSpeed"), C(cmbSpeed), kLeftListWidth},
     {RowCaptionOf("cmbWebPrinter"), C(cmbWebPrinter), kRightListWidth}},
    {1560,
     {RowCaptionOf("cmbDataLeg"), C(cmbDataLeg), kLeftListWidth},
     {RowCaptionOf("cmbInputPrime"), C(cmbInputPrime), kRightListWidth}},
    {1920,
     {RowCaptionOf("cmbStopBit"), C(cmbStopBit), kLeftListWidth},
     {RowCaptionOf("cmbRibbonNearEnd"), C(cmbRibbonNearEnd), kRightListWidth}},
    {2280,
     {RowCaptionOf("cmbParity"), C(cmbParity), kLeftListWidth},
     {RowCaptionOf("cmbExIoMode"), C(cmbExIoMode), kRightListWidth}},
    // The caption shows one ampersand; it is no access key.
    {2640,
     {RowCaptionOf("cmbControl"), C(cmbControl), kLeftListWidth},
     {RowCaptionOf("cmbPlugPlay"), C(cmbPlugPlay), kRightListWidth}},
    {3000,
     {RowCaptionOf("cmbFowardWait"), C(cmbFowardWait), kLeftListWidth},
     {RowCaptionOf("cmbLblRbnEnd"), C(cmbLblRbnEnd), kRightListWidth}},
    {3360,
     {RowCaptionOf("SeFowardPosition"), C(SeFowardPosition), 1815},
     {RowCaptionOf("cmbPrePeelOff"), C(cmbPrePeelOff), kRightListWidth}},
    {3720,
     {RowCaptionOf("cmbCode"), C(cmbCode), kLeftListWidth},
     {RowCaptionOf("cmbBackSpeed"), C(cmbBackSpeed), kRightListWidth}},
    {4080, {"", std::nullopt, 0}, {RowCaptionOf("cmbMaxiCodeSpec"), C(cmbMaxiCodeSpec), kRightListWidth}},
    {4440,
     {RowCaptionOf("cmbPeelOffStatus"), C(cmbPeelOffStatus), kLeftListWidth},
     {RowCaptionOf("cmbKbIF"), C(cmbKbIF), kRightListWidth}},
    {4800,
     {RowCaptionOf("cmbFeedKey"), C(cmbFeedKey), kLeftListWidth},
     {RowCaptionOf("cmbPeelOffTrq"), C(cmbPeelOffTrq), kRightListWidth}},
    {5160, {RowCaptionOf("cmbKanji"), C(cmbKanji), kLeftListWidth}, {nullptr, std::nullopt, 0}},
    {5520, {RowCaptionOf("SeEuroCode"), C(SeEuroCode), 1905}, {nullptr, std::nullopt, 0}},
};

// The three code boxes in the row at 4080, without spin buttons.
struct CodeBox {
  NamedControl<P> control;
  int left;
};
constexpr int kCodeBoxTop = 4080;
constexpr int kCodeBoxWidth = 540;
const CodeBox kCodeBoxes[] = {{C(SeCode1), 2160}, {C(SeCode2), 2760}, {C(SeCode3), 3360}};

// ---- frame "Adjustment": one column, 360 apart from 480 ----
struct AdjustmentRow {
  const char* caption;
  NamedControl<P> control;
};
constexpr int kAdjustmentFirstTop = 480;
constexpr int kAdjustmentLabelLeft = 120;
constexpr int kAdjustmentLabelWidth = 1800;
constexpr TwipsRect kAdjustmentSpin = {2040, 0, 1335, kSpinHeight};
const AdjustmentRow kAdjustmentRows[] = {
    {RowCaptionOf("SeFeedAdj"), C(SeFeedAdj)},       {RowCaptionOf("SeCutAdj"), C(SeCutAdj)},
    {RowCaptionOf("SeBackAdj"), C(SeBackAdj)},       {RowCaptionOf("SeXAdj"), C(SeXAdj)},
    {RowCaptionOf("SeToneAdjT"), C(SeToneAdjT)},     {RowCaptionOf("SeToneAdjD"), C(SeToneAdjD)},
    {RowCaptionOf("SeRbnAdjFw"), C(SeRbnAdjFw)},     {RowCaptionOf("SeRbnAdjBk"), C(SeRbnAdjBk)},
    {RowCaptionOf("SeThresholdR"), C(SeThresholdR)}, {RowCaptionOf("SeThresholdT"), C(SeThresholdT)},
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
  QLabel* codeBoxLabel = nullptr;
  for (const ParameterRow& row : kParameterRows) {
    QLabel* left = nullptr;
    QLabel* right = nullptr;
    if (row.left.caption)
      left = MakeRowLabel(FrParameter, row.left.caption, {kLeftLabelLeft, row.top, kLeftLabelWidth, kRowLabelHeight});
    if (row.left.control)
      NameRowControls(left,
                      {CreateControl(*this, *row.left.control, FrParameter,
                                     {kLeftControlLeft, row.top, row.left.width, ControlHeight(*row.left.control)})});
    else if (row.top == kCodeBoxTop)
      codeBoxLabel = left;
    if (row.right.caption)
      right =
          MakeRowLabel(FrParameter, row.right.caption, {kRightLabelLeft, row.top, kRightLabelWidth, kRowLabelHeight});
    if (row.right.control)
      NameRowControls(
          right, {CreateControl(*this, *row.right.control, FrParameter,
                                {kRightControlLeft, row.top, row.right.width, ControlHeight(*row.right.control)})});
  }
  QList<QWidget*> codeBoxes;
  for (const CodeBox& box : kCodeBoxes)
    codeBoxes << CreateControl(*this, box.control, FrParameter, {box.left, kCodeBoxTop, kCodeBoxWidth, kSpinHeight});
  // The code boxes continue the row of the code list above them: its caption
  // names them.
  NameRowControls(codeBoxLabel, codeBoxes, cmbCode->accessibleName());
}

void ParameterPage::CreateAdjustmentFrame() {
  FrAdjustment =
      MakeFrame(Canvas(), QStringLiteral("FrAdjustment"), QStringLiteral("Adjustment"), {7680, 360, 3525, 4215});
  int top = kAdjustmentFirstTop;
  for (const AdjustmentRow& row : kAdjustmentRows) {
    QLabel* label =
        MakeRowLabel(FrAdjustment, row.caption, {kAdjustmentLabelLeft, top, kAdjustmentLabelWidth, kRowLabelHeight});
    NameRowControls(label, {CreateControl(*this, row.control, FrAdjustment,
                                          {kAdjustmentSpin.left, top, kAdjustmentSpin.width, kAdjustmentSpin.height})});
    top += kRowStep;
  }
}

void ParameterPage::CreateButtons() {
  for (const ButtonRow& button : kButtons)
    CreateControl(*this, button.control, Canvas(), button.rect, QString::fromLatin1(button.caption));
}

QList<QWidget*> ParameterPage::FocusOrder() const {
  return {
      cmbFontCode,   cmbZeroCode,      cmbSpeed,      cmbDataLeg,       cmbStopBit,       cmbParity,     cmbControl,
      cmbFowardWait, SeFowardPosition, cmbCode,       cmbPeelOffStatus, cmbFeedKey,       cmbKanji,      SeEuroCode,
      cmbAutoHdChk,  cmbAckBusy,       cmbWebPrinter, cmbInputPrime,    cmbRibbonNearEnd, cmbExIoMode,   cmbPlugPlay,
      cmbLblRbnEnd,  cmbPrePeelOff,    cmbBackSpeed,  cmbMaxiCodeSpec,  cmbKbIF,          cmbPeelOffTrq, SeFeedAdj,
      SeCutAdj,      SeBackAdj,        SeXAdj,        SeToneAdjT,       SeToneAdjD,       SeRbnAdjFw,    SeRbnAdjBk,
      SeThresholdR,  SeThresholdT,     btnLoad,       btnSave,          btnRead,          btnSet};
}

QList<QWidget*> ParameterPage::CodeBoxes() const { return {SeCode1, SeCode2, SeCode3}; }

}  // namespace dz
