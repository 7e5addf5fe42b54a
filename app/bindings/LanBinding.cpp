#include "bindings/LanBinding.h"

#include <QLineEdit>

#include "bindings/SettingBinding.h"
#include "pages/ExtraSettingPage.h"

namespace dz {
namespace {

// The first character of a text that has no single-byte code or is one of
// the frame characters "{", "|" and "}" (which would end the DHCP command
// early and start another), if any.
bool FindNonLatin1(const QString& text, QChar& found) {
  for (const QChar c : text) {
    if (c.unicode() > 0xFF || c == QLatin1Char('{') || c == QLatin1Char('|') || c == QLatin1Char('}')) {
      found = c;
      return true;
    }
  }
  return false;
}

}  // namespace

bool RefreshLanSettingItem(ExtraSettingPage& page, CItemManager& items, bool p_bDefaultValue) {
  RefreshSettingControls(page.Controls(), items, p_bDefaultValue);
  return true;
}

bool UpdateLanSettingItem(ExtraSettingPage& page, CItemManager& items, QChar* p_pBadCharacter) {
  // Checked before anything is stored, so a refused name changes nothing.
  QChar bad;
  if (FindNonLatin1(page.txtDhcpName->text(), bad)) {
    if (p_pBadCharacter) *p_pBadCharacter = bad;
    return false;
  }
  UpdateSettingItems(page.Controls(), items);
  return true;
}

}  // namespace dz
