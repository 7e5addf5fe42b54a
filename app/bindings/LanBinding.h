#pragma once
// Copies between the catalogue and the frame "LAN" of the page "Extra
// Setting", in the order of one binding table.
//
// Lists without a selection are skipped by an update, as on the parameter
// page. The host name is single-byte text: shown as Latin-1 (fill characters
// of code 255 from a read included) and stored as Latin-1.
#include <QChar>

class CItemManager;

namespace dz {

class ExtraSettingPage;

bool RefreshLanSettingItem(ExtraSettingPage& page, CItemManager& items, bool p_bDefaultValue);

// Returns false without changing any item when the host name holds a
// character that has no single-byte code; that character goes to
// p_pBadCharacter when given.
bool UpdateLanSettingItem(ExtraSettingPage& page, CItemManager& items, QChar* p_pBadCharacter = nullptr);

}  // namespace dz
