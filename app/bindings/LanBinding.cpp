#include "bindings/LanBinding.h"

#include <QComboBox>
#include <QLineEdit>

#include "CItemManager.h"
#include "bindings/ListPosition.h"
#include "bindings/ValueVariant.h"
#include "pages/ExtraSettingPage.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

using P = ExtraSettingPage;
using M = CItemManager;

enum class Kind { Spin, List, Text };

struct Binding {
  Kind kind;
  UCSpinEdit* P::*spin;
  QComboBox* P::*list;
  QLineEdit* P::*text;
  CItem M::*item;
};

Binding SpinRow(UCSpinEdit* P::*spin, CItem M::*item) { return {Kind::Spin, spin, nullptr, nullptr, item}; }
Binding ListRow(QComboBox* P::*list, CItem M::*item) { return {Kind::List, nullptr, list, nullptr, item}; }
Binding TextRow(QLineEdit* P::*text, CItem M::*item) { return {Kind::Text, nullptr, nullptr, text, item}; }

const std::vector<Binding>& Bindings() {
  static const std::vector<Binding> table = {
      SpinRow(&P::SeIpAddress1, &M::m_objIpAddress1),   SpinRow(&P::SeIpAddress2, &M::m_objIpAddress2),
      SpinRow(&P::SeIpAddress3, &M::m_objIpAddress3),   SpinRow(&P::SeIpAddress4, &M::m_objIpAddress4),
      SpinRow(&P::SeSubNet1, &M::m_objSubnetMask1),     SpinRow(&P::SeSubNet2, &M::m_objSubnetMask2),
      SpinRow(&P::SeSubNet3, &M::m_objSubnetMask3),     SpinRow(&P::SeSubNet4, &M::m_objSubnetMask4),
      SpinRow(&P::SeGateway1, &M::m_objGateway1),       SpinRow(&P::SeGateway2, &M::m_objGateway2),
      SpinRow(&P::SeGateway3, &M::m_objGateway3),       SpinRow(&P::SeGateway4, &M::m_objGateway4),
      ListRow(&P::cmbPort, &M::m_objSocketPortSetting), SpinRow(&P::SeSocetPort, &M::m_objSocketPortNumber),
      ListRow(&P::cmbDhcp, &M::m_objDhcpSetting),       TextRow(&P::txtDhcpName, &M::m_objDhcpClientHost),
  };
  return table;
}

// The first character of a text that has no single-byte code, if any.
bool FindNonLatin1(const QString& text, QChar& found) {
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) {
      found = c;
      return true;
    }
  }
  return false;
}

}  // namespace

bool RefreshLanSettingItem(ExtraSettingPage& page, CItemManager& items, bool p_bDefaultValue) {
  for (const Binding& row : Bindings()) {
    const Value value = (items.*row.item).GetValue(p_bDefaultValue);
    switch (row.kind) {
      case Kind::Spin:
        (page.*row.spin)->SetValue(ToVariant(value));
        break;
      case Kind::List: {
        QComboBox* list = page.*row.list;
        list->setCurrentIndex(ListPosition(value, *list));
        break;
      }
      case Kind::Text: {
        const std::string text = ValueToText(value);
        (page.*row.text)->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        break;
      }
    }
  }
  return true;
}

bool UpdateLanSettingItem(ExtraSettingPage& page, CItemManager& items, QChar* p_pBadCharacter) {
  // Checked before anything is stored, so a refused name changes nothing.
  for (const Binding& row : Bindings()) {
    QChar bad;
    if (row.kind == Kind::Text && FindNonLatin1((page.*row.text)->text(), bad)) {
      if (p_pBadCharacter) *p_pBadCharacter = bad;
      return false;
    }
  }
  for (const Binding& row : Bindings()) {
    CItem& item = items.*row.item;
    switch (row.kind) {
      case Kind::Spin:
        item.SetValue(FromVariant((page.*row.spin)->GetValue()));
        break;
      case Kind::List: {
        const int position = (page.*row.list)->currentIndex();
        if (position >= 0) item.SetValue(static_cast<int32_t>(position));
        break;
      }
      case Kind::Text:
        // Stored as typed: no trimming, no removal of characters.
        item.SetValue(FromVariant(QVariant((page.*row.text)->text())));
        break;
    }
  }
  return true;
}

}  // namespace dz
