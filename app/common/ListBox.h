#pragma once
// The window's drop-down list: list-only (no typing), in the window font and
// the list style, whose arrow button is slimmer than the application style's
// so that the longest entries fit the narrow lists.
//
// The drop-down part is built when the list first opens, not when the list
// is created: a plain combo box builds it again for every change of font or
// style, which for the window's forty lists would cost more at start-up than
// the rest of the window. Until the list first opens, such changes reach the
// box alone; the drop-down takes them over just before it first shows.
#include <QComboBox>

class QStyle;

namespace dz {

class ListBox : public QComboBox {
  Q_OBJECT

 public:
  explicit ListBox(QWidget* parent = nullptr);

  void showPopup() override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  bool m_bDropDownReady = false;
};

// The style of every drop-down list (one instance for the program).
QStyle* ListStyle();

}  // namespace dz
