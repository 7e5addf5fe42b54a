#pragma once
// Copies between the catalogue and the frame "LAN" of the page "Extra
// Setting", in the order of the frame's rows, as bindings/SettingBinding.h
// describes for each kind of control. The host name is single-byte text: shown as Latin-1 (fill characters
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
