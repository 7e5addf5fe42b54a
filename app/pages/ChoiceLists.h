#pragma once
// The entries of every drop-down list of the main window. The lists are
// found by object name below a root widget; each gets its entries in table
// order and then its first entry selected, except the RAM-clear destination
// list, which is left with no selection.
#include <QStringList>
#include <vector>

class QWidget;

namespace dz {

struct ChoiceList {
  const char* name;
  QStringList entries;
  bool selectFirst;
};

// The lists of the three pages, in the order they are filled.
const std::vector<ChoiceList>& MainWindowChoiceLists();
// The interface list of the frame "Interface" (filled by the start-up itself).
const ChoiceList& InterfaceChoiceList();

// Fills each list of the table below root. False (and nothing filled after
// the missing one) when a list of the table is not there.
bool FillChoiceLists(QWidget& root, const std::vector<ChoiceList>& lists);

}  // namespace dz
