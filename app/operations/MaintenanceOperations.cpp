#include "MaintenanceOperations.h"

#include <QComboBox>
#include <QLabel>

#include "CInterface.h"
#include "CommandRunner.h"
#include "LinkDispatcher.h"
#include "MaintenanceCommands.h"
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

// One adjustment step: its command, then a second for the printer to act.
void SensorStep(OperationContext& ctx, const std::string& p_sCommand) {
  ctx.link.BeginBusy();
  bool replyExpected = false;
  if (SendCommandText(ctx, p_sCommand, replyExpected)) ctx.link.WaitSeconds(1);
  ctx.link.EndBusy();
}
}  // namespace

void DiagPrint(OperationContext& ctx) {
  bool replyExpected = false;
  RunCommand(ctx, BuildDiagPrintCommand(Position(ctx.maintenancePage.cmbDiagPrint)), replyExpected, 0);
}

void RamClear(OperationContext& ctx) {
  bool replyExpected = false;
  const MaintenancePage& page = ctx.maintenancePage;
  RunCommand(ctx, BuildRamClearCommand(Position(page.cmbRamClear), Position(page.cmbDestination)), replyExpected, 0);
}

void ThresholdCalib(OperationContext& ctx) {
  bool replyExpected = false;
  RunCommand(ctx, BuildThresholdCalibCommand(Position(ctx.maintenancePage.cmbThresholdCalib)), replyExpected, 0);
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
  bool replyExpected = false;
  RunCommand(ctx, BuildTestPrintCommand(settings), replyExpected, 0);
}

void ReflectiveAdjust(OperationContext& ctx) { SensorStep(ctx, BuildReflectiveAdjustCommand()); }

void TransmissiveAdjust(OperationContext& ctx) { SensorStep(ctx, BuildTransmissiveAdjustCommand()); }

void PaperEndAdjust(OperationContext& ctx) {
  ctx.link.BeginBusy();
  for (int step : {0, 1}) {
    // The second command goes out whatever became of the first.
    bool replyExpected = false;
    SendCommandText(ctx, BuildPaperEndAdjustCommand(step), replyExpected);
  }
  ctx.link.WaitSeconds(1);
  ctx.link.EndBusy();
}

void HeadCheck(OperationContext& ctx) {
  LinkDispatcher& link = ctx.link;
  link.State().m_bHeadCheckMode = true;
  link.State().m_bReplyExpected = true;
  ctx.lblStatus.setText(QString());
  ctx.maintenancePage.lblHeadCheck->setText(QString());
  RunCommand(ctx, BuildHeadCheckCommand(), link.State().m_bReplyExpected, kStatusReplyLength);
  if (ctx.iface.GetActiveInterface() != kLinkUsb) {
    // The reply comes through the link's receive path, during or after this second.
    link.WaitSeconds(1);
    return;
  }
  // Over USB the printer is asked again once it has finished the check.
  link.BeginBusy();
  link.WaitSeconds(5);
  link.State().m_bHeadCheckMode = true;
  link.State().m_bReplyExpected = true;
  RequestStatus(ctx);
}

}  // namespace dz
