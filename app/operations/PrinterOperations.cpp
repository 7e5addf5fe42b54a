#include "PrinterOperations.h"

#include <QPushButton>

#include "MaintenanceOperations.h"
#include "ReadWriteOperations.h"
#include "SettingsFileOperations.h"
#include "StatusOperation.h"
#include "pages/ExtraSettingPage.h"
#include "pages/MaintenancePage.h"
#include "pages/ParameterPage.h"

namespace dz {

PrinterOperations::PrinterOperations(const OperationContext& p_objContext, QPushButton& p_objGetStatus,
                                     QObject* p_objParent)
    : QObject(p_objParent), m_objContext(p_objContext) {
  OperationContext& ctx = m_objContext;
  ParameterPage& parameter = ctx.parameterPage;
  MaintenancePage& maintenance = ctx.maintenancePage;
  ExtraSettingPage& extra = ctx.extraPage;

  struct Row {
    QPushButton* button;
    void (*operation)(OperationContext&);
  };
  const Row rows[] = {
      {&p_objGetStatus, [](OperationContext& c) { RequestStatus(c); }},
      {parameter.btnLoad, &LoadParameterSettings},
      {parameter.btnSave, &SaveParameterSettings},
      {parameter.btnRead, &ReadParameters},
      {parameter.btnSet, &WriteParameters},
      {maintenance.btnDiagPrint, &DiagPrint},
      {maintenance.btnTestPrint, &TestPrint},
      {maintenance.btnReflect, &ReflectiveAdjust},
      {maintenance.btnTrans, &TransmissiveAdjust},
      {maintenance.btnPaperEnd, &PaperEndAdjust},
      {maintenance.btnThresholdCalib, &ThresholdCalib},
      {maintenance.btnRamClear, &RamClear},
      {maintenance.btnHeadCheck, &HeadCheck},
      {extra.btnLanLoad, &LoadLanSettings},
      {extra.btnLanSave, &SaveLanSettings},
      {extra.btnLanRead, &ReadLanSettings},
      {extra.btnLanSet, &WriteLanSettings},
  };
  for (const Row& row : rows) {
    auto operation = row.operation;
    connect(row.button, &QPushButton::clicked, this, [this, operation] { operation(m_objContext); });
  }
}

}  // namespace dz
