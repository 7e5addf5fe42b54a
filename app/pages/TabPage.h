#pragma once
// A page of the tab control whose controls are placed relative to the tab
// control's own top-left corner (the tab row included), as the window layout
// gives them. The controls sit on a canvas the size of the tab control that
// is kept shifted so that its origin lies on the tab control's origin; the
// page clips what lies under the tab row.
#include <QWidget>

#include "common/PageBuilder.h"
#include "pages/PageControls.h"

namespace dz {

class TabPage : public QWidget {
  Q_OBJECT

 public:
  // tabControlSize: the tab control's size in pixels.
  TabPage(const QSize& tabControlSize, QWidget* parent = nullptr);

  // Parent for the page's frames and buttons.
  QWidget* Canvas() const { return m_pCanvas; }

  // The controls the page created from its layout rows, in row order.
  const PageControls& Controls() const { return m_objControls; }

 protected:
  // Creates a control of a layout row (see CreateControl) and records it.
  template <class Page>
  QWidget* AddControl(Page& page, const NamedControl<Page>& control, QWidget* parent, const TwipsRect& rect,
                      const QString& caption = QString(), FocusPlace focus = FocusPlace::InRows) {
    return m_objControls.Add(CreateControl(page, control, parent, rect, caption), focus);
  }

  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void AlignCanvas();
  QWidget* m_pCanvas;
  PageControls m_objControls;
};

}  // namespace dz
