#include "main/ControlHandlers.h"

#include <QComboBox>
#include <QPushButton>

#include "LinkDispatcher.h"
#include "WindowSerialLink.h"
#include "dialogs/FmInterfaceSetup.h"
#include "dialogs/RunModal.h"
#include "main/FmMain.h"
#include "pages/MaintenancePage.h"
#include "pages/ParameterPage.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {
constexpr int kUsbLink = 2;
constexpr int kManualCodes = 3;
constexpr int kClearParameters = 0;
constexpr int kLinkCount = kLinkUsb + 1;
}  // namespace

void OnInterfaceChanged(FmMain& window, int p_iPosition) {
  if (p_iPosition < 0) return;  // the list is never left without a selection
  window.m_objInterface.SetActiveInterface(static_cast<int16_t>(p_iPosition));
  window.btnSetup->setEnabled(p_iPosition != kUsbLink);
}

void OnControlCodeChanged(ParameterPage& page, int p_iPosition) {
  const bool manual = p_iPosition == kManualCodes;
  for (UCSpinEdit* box : {page.SeCode1, page.SeCode2, page.SeCode3}) box->Enable(manual);
}

void OnRamClearModeChanged(MaintenancePage& page, int p_iPosition) {
  page.cmbDestination->setEnabled(p_iPosition == kClearParameters);
}

void OnSetupClicked(FmMain& window) {
  FmInterfaceSetup dialog(&window);
  dialog.SetComPortResolver(window.Link().Serial().PortResolver());
  if (!dialog.InitializeItem(window.m_objInterface, static_cast<int16_t>(window.cmbInterface->currentIndex()))) return;
  RunModal(dialog);
  if (dialog.m_bCancelFlag) return;

  LinkDispatcher& link = window.Link();
  for (int index = 0; index < kLinkCount; ++index) link.CloseInterface(index);
  link.OpenInterface(window.cmbInterface->currentIndex());
}

}  // namespace dz
