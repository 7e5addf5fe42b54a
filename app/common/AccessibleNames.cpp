#include "common/AccessibleNames.h"

#include <QLabel>
#include <QWidget>

namespace dz {

void SetControlName(QWidget* p_pControl, const QString& p_sName) {
  if (!p_pControl) return;
  p_pControl->setAccessibleName(p_sName);
  // A compound control (a spin edit) hands the focus to one part: that part
  // is what a screen reader announces when it is entered.
  if (QWidget* part = p_pControl->focusProxy()) part->setAccessibleName(p_sName);
}

void NameRowControls(QLabel* p_pLabel, const QList<QWidget*>& p_objControls, const QString& p_sCaption) {
  if (!p_pLabel || p_objControls.isEmpty()) return;
  QString caption = p_pLabel->text();
  if (caption.isEmpty()) {
    caption = p_sCaption;
    p_pLabel->setAccessibleName(caption);
  }
  if (p_objControls.size() == 1) {
    SetControlName(p_objControls.front(), caption);
  } else {
    for (qsizetype i = 0; i < p_objControls.size(); ++i)
      SetControlName(p_objControls[i], caption + QLatin1Char(' ') + QString::number(i + 1));
  }
  if (!caption.contains(QLatin1Char('&'))) p_pLabel->setBuddy(p_objControls.front());
}

}  // namespace dz
