#include "pages/TabPage.h"

#include <QTabWidget>

namespace dz {

TabPage::TabPage(const QSize& tabControlSize, QWidget* parent) : QWidget(parent), m_pCanvas(new QWidget(this)) {
  m_pCanvas->setObjectName(QStringLiteral("Canvas"));
  m_pCanvas->resize(tabControlSize);
}

void TabPage::AlignCanvas() {
  // The nearest tab control above this page; until the page is inserted
  // into one the canvas stays at the page's origin.
  for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(up)) {
      m_pCanvas->move(-mapTo(tabs, QPoint(0, 0)));
      return;
    }
  }
}

void TabPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  AlignCanvas();
}

void TabPage::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  AlignCanvas();
}

void TabPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  AlignCanvas();
}

}  // namespace dz
