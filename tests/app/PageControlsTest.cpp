// Each page records the controls its layout rows create. A setting whose
// control name is misspelt in a row, or a list without entries, would
// otherwise go unnoticed: the setting would never be shown or stored.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSize>
#include <map>

#include "ShownSettings.h"
#include "pages/ExtraSettingPage.h"
#include "pages/MaintenancePage.h"
#include "pages/ParameterPage.h"
#include "widgets/UCSpinEdit.h"

using namespace dz;

namespace {

// The control type each kind of setting is shown by.
bool IsShownBy(ShownKind kind, QWidget* widget) {
  switch (kind) {
    case ShownKind::List:
    case ShownKind::FontCodeList:
      return qobject_cast<QComboBox*>(widget) != nullptr;
    case ShownKind::Signed:
    case ShownKind::Threshold:
    case ShownKind::Hex:
    case ShownKind::Number:
      return qobject_cast<UCSpinEdit*>(widget) != nullptr;
    case ShownKind::Text:
      return qobject_cast<QLineEdit*>(widget) != nullptr;
    case ShownKind::Hidden:
      return false;
  }
  return false;
}

void ExpectEverySettingBoundOnce(const PageControls& controls, const std::vector<ShownSetting>& settings) {
  std::map<const ShownSetting*, int> bound;
  for (const PageControl& control : controls.All())
    if (control.setting) {
      ++bound[control.setting];
      EXPECT_TRUE(IsShownBy(control.setting->kind, control.widget)) << control.setting->control;
    }
  for (const ShownSetting& setting : settings) {
    if (setting.kind == ShownKind::Hidden) continue;
    EXPECT_EQ(bound[&setting], 1) << setting.control;
  }
  // The rows bind in the settings' own order, which the files and the
  // command line use too.
  std::vector<const ShownSetting*> order;
  for (const PageControl& control : controls.All())
    if (control.setting) order.push_back(control.setting);
  std::vector<const ShownSetting*> expected;
  for (const ShownSetting& setting : settings)
    if (setting.kind != ShownKind::Hidden) expected.push_back(&setting);
  EXPECT_EQ(order, expected);
}

}  // namespace

TEST(PageControlsTest, EverySettingIsBoundOnceToAControlOfItsKindInTheSettingsOrder) {
  const QSize size(800, 450);
  ParameterPage parameter(size);
  ExtraSettingPage extra(size);
  MaintenancePage maintenance(size);
  ExpectEverySettingBoundOnce(parameter.Controls(), ParameterSettings());
  ExpectEverySettingBoundOnce(extra.Controls(), LanSettings());
  for (const PageControl& control : maintenance.Controls().All())
    EXPECT_EQ(control.setting, nullptr) << control.widget->objectName().toStdString();
}

TEST(PageControlsTest, EveryListHasEntriesAndEverySpinEditItsSetUp) {
  const QSize size(800, 450);
  ParameterPage parameter(size);
  ExtraSettingPage extra(size);
  MaintenancePage maintenance(size);
  for (const TabPage* page : std::initializer_list<const TabPage*>{&parameter, &extra, &maintenance}) {
    EXPECT_TRUE(page->Controls().FillLists()) << page->metaObject()->className();
    EXPECT_TRUE(page->Controls().SetUpSpinEdits()) << page->metaObject()->className();
  }
  // The test-print boxes keep their own ranges.
  EXPECT_EQ(maintenance.SeIssueCount->UpDown()->Max(), 5000);
  EXPECT_EQ(maintenance.SeLabelLen->UpDown()->Max(), 9999);
  EXPECT_EQ(maintenance.SeLabelLen->UpDown()->Min(), 100);
}
