#include "common/ListBox.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QProxyStyle>

#include "common/PageBuilder.h"

namespace dz {
namespace {

class SlimArrowListStyle : public QProxyStyle {
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    if (control == CC_ComboBox && (part == SC_ComboBoxArrow || part == SC_ComboBoxEditField)) {
      constexpr int kArrowWidth = 13;
      const QRect all = option->rect;
      const QRect arrow(all.right() - kArrowWidth, all.top() + 1, kArrowWidth, all.height() - 2);
      const QRect field(all.left() + 1, all.top() + 2, arrow.left() - all.left() - 1, all.height() - 4);
      return visualRect(option->direction, all, part == SC_ComboBoxArrow ? arrow : field);
    }
    return QProxyStyle::subControlRect(control, option, part, widget);
  }
};

bool ReachesDropDown(const QEvent* event) {
  return event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange;
}

}  // namespace

QStyle* ListStyle() {
  // One instance for the program, released with the application.
  static QPointer<QStyle> style;
  if (!style) {
    style = new SlimArrowListStyle;
    style->setParent(qApp);
  }
  return style;
}

ListBox::ListBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setStyle(ListStyle());
  setFont(ArialFont(kWindowFontPoints));
}

void ListBox::changeEvent(QEvent* event) {
  if (!m_bDropDownReady && ReachesDropDown(event)) {
    QWidget::changeEvent(event);  // repaint and new geometry for the box itself
    return;
  }
  QComboBox::changeEvent(event);
}

void ListBox::showPopup() {
  if (!m_bDropDownReady) {
    m_bDropDownReady = true;
    // What the changes held back would have done, in one go.
    QEvent style(QEvent::StyleChange);
    QComboBox::changeEvent(&style);
    QEvent font(QEvent::FontChange);
    QComboBox::changeEvent(&font);
  }
  QComboBox::showPopup();
}

}  // namespace dz
