#include "pages/MaintenancePage.h"

#include <QLabel>
#include <optional>

#include "common/AccessibleNames.h"
#include "common/PageBuilder.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

using P = MaintenancePage;
#define C(member) DZ_CONTROL(P, member)

constexpr int kSendWidth = 1095;
constexpr int kSendHeight = 375;
constexpr int kLabelLeft = 120;
constexpr int kLabelWidth = 1935;
constexpr int kControlLeft = 2160;

struct Frame {
  NamedControl<P> control;
  const char* caption;
  TwipsRect rect;
};
const Frame kFrames[] = {
    {C(FmDiagPrint), "DIAG PRINT", {120, 360, 5535, 960}},
    {C(FrTestPrint), "TEST PRINT", {120, 1320, 5535, 3120}},
    {C(FrSensorAdjust), "SENSOR ADJUST", {120, 4440, 7815, 1905}},
    {C(FrThresholdCalib), "THRESHOLD CALIB", {5760, 360, 5200, 960}},
    {C(FrRamClear), "RAM CLEAR", {5760, 1320, 5200, 1320}},
    {C(FrHeadCheck), "HEAD CHECK", {5760, 2640, 5200, 960}},
};

// A row inside a frame: an optional label at 120, a list or spin edit at
// 2160 with its width, an optional "SEND" button at its left. The frames'
// rows are created frame by frame in the order of kFrames, which is the
// order of the keyboard focus.
struct Row {
  QGroupBox* P::*frame;
  int top;
  const char* caption;  // nullptr: no label
  std::optional<NamedControl<P>> control;
  int width;
  std::optional<NamedControl<P>> send;
  int sendLeft;
  FocusPlace focus = FocusPlace::InRows;  // of the list or spin edit
};
const Row kRows[] = {
    {&P::FmDiagPrint, 480, "PRT TYPE", C(cmbDiagPrint), 1900, C(btnDiagPrint), 4200},
    {&P::FrTestPrint, 480, "PATTERN", C(cmbPattern), 2145, std::nullopt, 0},
    {&P::FrTestPrint, 840, "ISSUE COUNT", C(SeIssueCount), 1905, std::nullopt, 0},
    {&P::FrTestPrint, 1200, "PRINT SPEED", C(cmbPrintSpeed), 1900, std::nullopt, 0},
    {&P::FrTestPrint, 1560, "SENSOR", C(cmbSensor), 1900, std::nullopt, 0},
    {&P::FrTestPrint, 1920, "PRT TYPE", C(cmbPrtType), 1900, std::nullopt, 0},
    {&P::FrTestPrint, 2280, "TYPE", C(cmbType), 1900, std::nullopt, 0},
    {&P::FrTestPrint, 2640, "LABEL LEN", C(SeLabelLen), 1905, C(btnTestPrint), 4215},
    {&P::FrThresholdCalib, 480, "SENSOR", C(cmbThresholdCalib), 1500, C(btnThresholdCalib), 3840},
    {&P::FrRamClear, 480, "MODE", C(cmbRamClear), 1500, C(btnRamClear), 3840},
    // The destination takes the focus after every page's rows.
    {&P::FrRamClear, 840, nullptr, C(cmbDestination), 1500, std::nullopt, 0, FocusPlace::AfterWindow},
    {&P::FrHeadCheck, 480, nullptr, std::nullopt, 0, C(btnHeadCheck), 120},
};

// Frame "SENSOR ADJUST": label, step text and button per row.
struct SensorRow {
  int top;
  const char* caption;
  const char* step;
  NamedControl<P> send;
};
const SensorRow kSensorRows[] = {
    {480, "REFLECT", "Step1.Put white position on sensor, then click \"SEND\".", C(btnReflect)},
    {960, "TRANS", "Step2.Put gap position on sensor, then click \"SEND\".", C(btnTrans)},
    {1440, "PAPER END", "Step3.Put paper away, then click \"SEND\".", C(btnPaperEnd)},
};
constexpr int kSensorLabelWidth = 1305;
constexpr int kStepLeft = 1440;
constexpr int kStepWidth = 4920;
constexpr int kSensorSendLeft = 6480;

#undef C

int ControlHeight(const NamedControl<P>& control) {
  return std::holds_alternative<UCSpinEdit * P::*>(control.slot) ? kSpinHeight : kListHeight;
}

}  // namespace

MaintenancePage::MaintenancePage(const QSize& tabControlSize, QWidget* parent) : TabPage(tabControlSize, parent) {
  const auto createRow = [this](const Row& row) {
    QGroupBox* frame = this->*row.frame;
    QLabel* label =
        row.caption ? MakeRowLabel(frame, row.caption, {kLabelLeft, row.top, kLabelWidth, kRowLabelHeight}) : nullptr;
    if (row.control) {
      QWidget* control =
          AddControl(*this, *row.control, frame, {kControlLeft, row.top, row.width, ControlHeight(*row.control)},
                     QString(), row.focus);
      // A control without a row label is named by its frame's caption.
      if (label)
        NameRowControls(label, {control});
      else
        SetControlName(control, frame->title());
    }
    if (row.send)
      AddControl(*this, *row.send, frame, {row.sendLeft, row.top, kSendWidth, kSendHeight}, QStringLiteral("SEND"));
  };
  const auto createSensorRow = [this](const SensorRow& row) {
    MakeRowLabel(FrSensorAdjust, row.caption, {kLabelLeft, row.top, kSensorLabelWidth, kRowLabelHeight});
    MakeLabel(FrSensorAdjust, QString(), QString::fromLatin1(row.step),
              {kStepLeft, row.top, kStepWidth, kRowLabelHeight}, Qt::AlignLeft | Qt::AlignVCenter);
    AddControl(*this, row.send, FrSensorAdjust, {kSensorSendLeft, row.top, kSendWidth, kSendHeight},
               QStringLiteral("SEND"));
  };

  for (const Frame& frame : kFrames)
    CreateControl(*this, frame.control, Canvas(), frame.rect, QString::fromLatin1(frame.caption));
  for (const Frame& frame : kFrames) {
    const auto box = std::get<QGroupBox * P::*>(frame.control.slot);
    for (const Row& row : kRows)
      if (row.frame == box) createRow(row);
    if (box == &P::FrSensorAdjust)
      for (const SensorRow& row : kSensorRows) createSensorRow(row);
  }

  // Result text of the head check, right-aligned, empty until a check ran.
  lblHeadCheck = MakeLabel(FrHeadCheck, QStringLiteral("lblHeadCheck"), QString(), {1920, 480, 3105, 300},
                           Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace dz
