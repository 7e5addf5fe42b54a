#pragma once
// The tab control of the main window: one row of tabs that share the control's
// width equally.
#include <QTabWidget>

namespace dz {

class TabControl : public QTabWidget {
  Q_OBJECT

 public:
  explicit TabControl(QWidget* parent = nullptr);
};

}  // namespace dz
