#include "MaintenanceOperations.h"

#include <QComboBox>
#include <QLabel>

#include "CInterface.h"
#include "CommandRunner.h"
#include "LinkDispatcher.h"
#include "MaintenanceCommands.h"
#include "PrinterSequences.h"
#include "Replies.h"
#include "StatusOperation.h"
#include "pages/MaintenancePage.h"
#include "widgets/UCSpinEdit.h"

namespace dz {

namespace {
int Position(const QComboBox* p_objList) { return p_objList->currentIndex(); }

int32_t SpinNumber(const UCSpinEdit* p_objSpin) {
  // Boxes without decimal places give their shown text.
  return p_objSpin->GetValue().toString().trimmed().toInt();
}

// A sequence of commands without a reply inside one busy state. The pause
// after a step is taken when the step went out; the window goes on after a
// failed step where the sequence says so, and then still pauses at the end.
void RunSteps(OperationContext& ctx, const PrinterSequence& p_objSequence) {
  ctx.link.BeginBusy();
  for (const SequenceStep& step : p_objSequence.steps) {
    bool replyExpected = false;
    const bool sent = SendCommandText(ctx, step.command, replyExpected);
    if (!sent && !p_objSequence.windowGoesOnAfterFailure) break;
    if ((sent || p_objSequence.windowGoesOnAfterFailure) && step.pauseAfterMs > 0)
      ctx.link.WaitSeconds(step.pauseAfterMs / 1000.0);
  }
  ctx.link.EndBusy();
}

// A one-command sequence as one transaction.
void RunOne(OperationContext& ctx, const PrinterSequence& p_objSequence) {
  bool replyExpected = false;
  RunCommand(ctx, p_objSequence.steps.front().command, replyExpected, 0);
}
}  // namespace

void DiagPrint(OperationContext& ctx) { RunOne(ctx, DiagPrintSequence(Position(ctx.maintenancePage.cmbDiagPrint))); }

void RamClear(OperationContext& ctx) {
  const MaintenancePage& page = ctx.maintenancePage;
  RunOne(ctx, RamClearSequence(Position(page.cmbRamClear), Position(page.cmbDestination)));
}

void ThresholdCalib(OperationContext& ctx) {
  RunOne(ctx, ThresholdCalibSequence(Position(ctx.maintenancePage.cmbThresholdCalib)));
}

void TestPrint(OperationContext& ctx) {
  const MaintenancePage& page = ctx.maintenancePage;
  TestPrintSettings settings;
  settings.pattern = Position(page.cmbPattern);
  settings.labelLength = SpinNumber(page.SeLabelLen);
  settings.issueCount = SpinNumber(page.SeIssueCount);
  settings.printSpeed = Position(page.cmbPrintSpeed);
  settings.sensor = Position(page.cmbSensor);
  settings.cutType = Position(page.cmbType);
  settings.printType = Position(page.cmbPrtType);
  RunOne(ctx, TestPrintSequence(settings));
}

void ReflectiveAdjust(OperationContext& ctx) { RunSteps(ctx, ReflectiveAdjustSequence()); }

void TransmissiveAdjust(OperationContext& ctx) { RunSteps(ctx, TransmissiveAdjustSequence()); }

// The second command goes out whatever became of the first.
void PaperEndAdjust(OperationContext& ctx) { RunSteps(ctx, PaperEndAdjustSequence()); }

void HeadCheck(OperationContext& ctx) {
  LinkDispatcher& link = ctx.link;
  link.State().m_bHeadCheckMode = true;
  link.State().m_bReplyExpected = true;
  ctx.lblStatus.setText(QString());
  ctx.maintenancePage.lblHeadCheck->setText(QString());
  const bool usb = ctx.iface.GetActiveInterface() == kLinkUsb;
  const std::vector<SequenceStep> steps = StepsForLink(HeadCheckSequence(), usb);
  RunCommand(ctx, steps.front().command, link.State().m_bReplyExpected, kStatusReplyLength);
  if (!usb) {
    // The reply comes through the link's receive path, during or after this second.
    link.WaitSeconds(1);
    return;
  }
  // Over USB the printer is asked again once it has finished the check.
  link.BeginBusy();
  link.WaitSeconds(steps.front().pauseAfterMs / 1000.0);
  link.State().m_bHeadCheckMode = true;
  link.State().m_bReplyExpected = true;
  RequestStatus(ctx);
}

}  // namespace dz
