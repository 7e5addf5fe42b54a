// Renders the three pages of the main window, the interface setup dialog
// (for COM and for LAN) and the About box into PNG files, for a look at the
// layout. Not part of the test run: scripts/screenshots.sh runs it under
// xvfb-run with --gtest_also_run_disabled_tests and DZ_SCREENSHOT_DIR set.
#include <QDir>
#include <QTabWidget>

#include "WindowFixture.h"
#include "dialogs/FmAbout.h"
#include "dialogs/FmInterfaceSetup.h"

namespace dz::test {
namespace {

using WindowScreenshots = WindowFixture;

void Save(QWidget& widget, const QString& folder, const QString& file) {
  const QString path = QDir(folder).filePath(file);
  EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
}

TEST_F(WindowScreenshots, DISABLED_RenderEveryWindow) {
  const QString folder = qEnvironmentVariable("DZ_SCREENSHOT_DIR", QStringLiteral("screenshots"));
  ASSERT_TRUE(QDir().mkpath(folder));

  auto* tabs = Find<QTabWidget>("SSTab1");
  const char* const files[] = {"1-parameter-setting.png", "2-maintenance-mode.png", "3-extra-setting.png"};
  for (int page = 0; page < 3; ++page) {
    tabs->setCurrentIndex(page);
    QTest::qWait(50);
    Save(*window, folder, QString::fromLatin1(files[page]));
  }

  for (int link : {kLinkCom, kLinkLan}) {
    FmInterfaceSetup setup(window.get());
    ASSERT_TRUE(setup.InitializeItem(window->m_objInterface, static_cast<int16_t>(link)));
    setup.show();
    QTest::qWait(50);
    Save(setup, folder,
         link == kLinkCom ? QStringLiteral("4-interface-setup-com.png") : QStringLiteral("5-interface-setup-lan.png"));
  }

  FmAbout about(window.get());
  about.show();
  QTest::qWait(50);
  Save(about, folder, QStringLiteral("6-about.png"));
}

}  // namespace
}  // namespace dz::test
