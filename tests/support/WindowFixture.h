#pragma once
// The real main window on the offscreen platform, for the window tests and
// the end-to-end tests: message boxes are answered and recorded, modal
// dialogs are driven by the test, controls are found by object name and
// driven with mouse and key events.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <ostream>
#include <vector>

#include "MessageRecorder.h"
#include "RecordedMessage.h"
#include "common/MessageBox.h"
#include "dialogs/RunModal.h"
#include "main/FmMain.h"
#include "pages/ExtraSettingPage.h"
#include "pages/MaintenancePage.h"
#include "pages/ParameterPage.h"
#include "widgets/UCSpinEdit.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace dz::test {

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale::c());
    window = std::make_unique<FmMain>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::setActiveWindow(window.get());
    // Keyboard tests need the active window; a virtual X server without a
    // window manager (screenshots) never activates one.
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
      ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
  }

  void TearDown() override {
    window.reset();
    SetDialogRunner({});
    QLocale::setDefault(QLocale::c());
  }

  // A control of the main window by object name (fails the test when absent).
  template <class W>
  W* Find(const char* name) const {
    auto* found = window->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QComboBox* List(const char* name) const { return Find<QComboBox>(name); }
  UCSpinEdit* Spin(const char* name) const { return Find<UCSpinEdit>(name); }
  static QLineEdit* Box(UCSpinEdit* spin) { return spin->findChild<QLineEdit*>(QStringLiteral("CText")); }
  QString SpinText(const char* name) const { return Box(Spin(name))->text(); }

  ParameterPage& Parameter() { return *window->pageParameter; }
  MaintenancePage& Maintenance() { return *window->pageMaintenance; }
  ExtraSettingPage& Extra() { return *window->pageExtraSetting; }

  // Clicks a button that must be enabled.
  static void Click(QAbstractButton* button) {
    ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
  }
  bool AllButtonsEnabled() const {
    for (QPushButton* b : window->CommandButtons())
      if (!b->isEnabled()) return false;
    return true;
  }

  // Shows the page that holds a control, as a user clicking its tab would.
  void ShowPageOf(QWidget* control) {
    auto* tabs = Find<QTabWidget>("SSTab1");
    for (int i = 0; i < tabs->count(); ++i) {
      if (tabs->widget(i)->isAncestorOf(control)) {
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        ASSERT_EQ(tabs->currentIndex(), i);
        return;
      }
    }
  }

  // Picks an entry of a list as a user does: click the list to open it,
  // move to the entry with the arrow keys and take it with Enter.
  static void Pick(QComboBox* list, const QString& entry) {
    const int index = list->findText(entry);
    ASSERT_GE(index, 0) << entry.toStdString();
    QTest::mouseClick(list, Qt::LeftButton);
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(view->isVisible());
    QTest::keyClick(view, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_FALSE(view->isVisible());
    ASSERT_EQ(list->currentIndex(), index) << entry.toStdString();
  }

  // Types over a spin edit's text and leaves the box with Tab.
  void TypeInto(UCSpinEdit* spin, const QString& text) {
    QLineEdit* box = Box(spin);
    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
  }

  // Made before the window and gone after it, so every box the window
  // shows, closing included, is answered here.
  MessageRecorder recorder;
  std::vector<RecordedMessage>& messages = recorder.messages;
  std::unique_ptr<FmMain> window;
};

}  // namespace dz::test
