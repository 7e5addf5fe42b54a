#pragma once
// The small handlers of the main window: the interface list, the control-code
// list, the RAM-clear mode list and the "Setup" button.
namespace dz {

class FmMain;
class ParameterPage;
class MaintenancePage;

// Makes the chosen link active (0 COM, 1 LAN, 2 USB) without opening or
// closing anything; "Setup" is usable for COM and LAN only.
void OnInterfaceChanged(FmMain& window, int p_iPosition);
// The three code boxes take typing only in "MANUAL"; they keep their values.
void OnControlCodeChanged(ParameterPage& page, int p_iPosition);
// The destination list is usable only for "PARAMETER"; it keeps its selection.
void OnRamClearModeChanged(MaintenancePage& page, int p_iPosition);
// Runs the interface setup dialog for the selected link; when it was left
// with "SET", closes the three links and opens the selected one.
void OnSetupClicked(FmMain& window);

}  // namespace dz
