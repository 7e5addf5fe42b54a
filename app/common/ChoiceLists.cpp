#include "common/ChoiceLists.h"

#include <QComboBox>
#include <QWidget>

#include "ChoiceListData.h"

namespace dz {

namespace {
ChoiceList ToChoiceList(const ChoiceListData& p_objData) {
  QStringList entries;
  for (const std::string& entry : p_objData.entries)
    entries << QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
  return {p_objData.name, entries, p_objData.selectFirst};
}

void Fill(QComboBox& combo, const ChoiceList& list) {
  combo.clear();
  // Adding to an empty list selects its first entry by itself (a selection
  // change); a list that starts with no selection is cleared again.
  combo.addItems(list.entries);
  combo.setCurrentIndex(list.selectFirst ? 0 : -1);
}
}  // namespace

const ChoiceList& InterfaceChoiceList() {
  static const ChoiceList list = ToChoiceList(InterfaceChoiceListData());
  return list;
}

void FillChoiceList(QComboBox& p_objList, const ChoiceListData& p_objData) { Fill(p_objList, ToChoiceList(p_objData)); }

bool FillChoiceLists(QWidget& root, const std::vector<ChoiceList>& lists) {
  for (const ChoiceList& list : lists) {
    auto* combo = root.findChild<QComboBox*>(QString::fromLatin1(list.name));
    if (!combo) return false;
    Fill(*combo, list);
  }
  return true;
}

}  // namespace dz
