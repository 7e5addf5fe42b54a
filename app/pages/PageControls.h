#pragma once
// What a page knows of the controls it created from its layout rows, in the
// order of those rows. Each control is looked up once, by its object name,
// in what the window shows of the settings: the setting it shows, the
// entries of its list, the set-up of its spin edit. The start-up fills the
// lists and sets up the spin edits from here, the bindings copy through the
// controls that show a setting, and the keyboard focus follows the rows.
#include <QList>
#include <vector>

class QWidget;

namespace dz {

struct ShownSetting;
struct ChoiceListData;
struct SpinSetupData;

// Where a control stands in the window's keyboard focus order.
enum class FocusPlace {
  InRows,       // in the order of the page's rows
  AfterPage,    // after the page's rows (the code boxes)
  AfterWindow,  // after the rows of every page (the RAM-clear destination)
};

struct PageControl {
  QWidget* widget;
  FocusPlace focus;
  const ShownSetting* setting;  // nullptr: the control shows no setting
  const ChoiceListData* list;   // the entries of a list
  const SpinSetupData* spin;    // the set-up of a spin edit
};

class PageControls {
 public:
  // Records a control that a layout row has just created; returns it.
  QWidget* Add(QWidget* p_pWidget, FocusPlace p_eFocus = FocusPlace::InRows);

  const std::vector<PageControl>& All() const { return m_objControls; }

  // The page's part of the focus order: its rows, then what follows them.
  QList<QWidget*> FocusOrder() const;
  // What follows the rows of every page.
  QList<QWidget*> FocusAfterWindow() const;

  // Gives each list its entries, then selects the first one (or none, for a
  // list that starts without a selection). False when a list has no entries
  // to take, or a spin edit no set-up; the others are still filled.
  bool FillLists() const;
  bool SetUpSpinEdits() const;

 private:
  std::vector<PageControl> m_objControls;
};

}  // namespace dz
