#pragma once
// Filling drop-down lists with their entries: each list gets its entries in
// table order and then its first entry selected, except a list that starts
// with no selection (the RAM-clear destination).
#include <QStringList>
#include <vector>

class QComboBox;
class QWidget;

namespace dz {

struct ChoiceListData;

struct ChoiceList {
  const char* name;
  QStringList entries;
  bool selectFirst;
};

// The interface list of the frame "Interface" (filled by the start-up itself).
const ChoiceList& InterfaceChoiceList();

// Fills one list with the entries of its data.
void FillChoiceList(QComboBox& p_objList, const ChoiceListData& p_objData);

// Fills each list of the table, found by object name below root. False (and
// nothing filled after the missing one) when a list of the table is not there.
bool FillChoiceLists(QWidget& root, const std::vector<ChoiceList>& lists);

}  // namespace dz
