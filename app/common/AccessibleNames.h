#pragma once
// Names for assistive tools. A control has no caption of its own; the row's
// caption label, which the layout already created, names it.
#include <QList>
#include <QString>

class QLabel;
class QWidget;

namespace dz {

// Gives the controls of one row the caption of the row label: one control
// takes the caption itself, several take the caption and their number
// ("IP ADDRESS 1" to "IP ADDRESS 4"). The label becomes the first control's
// buddy unless its caption holds an "&", which would turn into an access key.
// An empty label (a row that continues the row above) takes p_sCaption, so
// it is not announced by the name of its frame.
void NameRowControls(QLabel* p_pLabel, const QList<QWidget*>& p_objControls, const QString& p_sCaption = QString());

// Names one control, and the part it hands the focus to (a spin edit's text
// box).
void SetControlName(QWidget* p_pControl, const QString& p_sName);

}  // namespace dz
