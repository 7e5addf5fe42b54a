#include "pages/PageControls.h"

#include <QComboBox>

#include "ChoiceListData.h"
#include "ShownSettings.h"
#include "SpinSetupData.h"
#include "common/ChoiceLists.h"
#include "widgets/UCSpinEdit.h"

namespace dz {

QWidget* PageControls::Add(QWidget* p_pWidget, FocusPlace p_eFocus) {
  const std::string name = p_pWidget->objectName().toStdString();
  PageControl control{p_pWidget, p_eFocus, FindShownSetting(name.c_str()), nullptr, nullptr};
  if (qobject_cast<QComboBox*>(p_pWidget)) control.list = FindChoiceList(name);
  if (qobject_cast<UCSpinEdit*>(p_pWidget)) control.spin = FindSpinSetup(name);
  m_objControls.push_back(control);
  return p_pWidget;
}

QList<QWidget*> PageControls::FocusOrder() const {
  QList<QWidget*> order;
  for (FocusPlace place : {FocusPlace::InRows, FocusPlace::AfterPage})
    for (const PageControl& control : m_objControls)
      if (control.focus == place) order << control.widget;
  return order;
}

QList<QWidget*> PageControls::FocusAfterWindow() const {
  QList<QWidget*> order;
  for (const PageControl& control : m_objControls)
    if (control.focus == FocusPlace::AfterWindow) order << control.widget;
  return order;
}

bool PageControls::FillLists() const {
  bool complete = true;
  for (const PageControl& control : m_objControls) {
    auto* combo = qobject_cast<QComboBox*>(control.widget);
    if (!combo) continue;
    if (control.list)
      FillChoiceList(*combo, *control.list);
    else
      complete = false;
  }
  return complete;
}

bool PageControls::SetUpSpinEdits() const {
  bool complete = true;
  for (const PageControl& control : m_objControls) {
    auto* spin = qobject_cast<UCSpinEdit*>(control.widget);
    if (!spin) continue;
    if (const SpinSetupData* s = control.spin)
      spin->InitializeSpinEdit(s->value, s->max, s->min, s->step, s->chars, s->decimals, s->hex);
    else
      complete = false;
  }
  return complete;
}

}  // namespace dz
