// The program's own start-up (as in app/main.cpp): the main window built,
// its lists filled and its values refreshed, shown and painted once.
#include <QApplication>

#include "BenchProbe.h"
#include "main/FmMain.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Dazavu Setting Tool"));
  QApplication::setApplicationVersion(QStringLiteral("2.3.0.0"));
  const int64_t launch = dzbench::LaunchNs();
  if (launch > 0) dzbench::Figure("startup_app_ms", double(dzbench::NowNs() - launch) / 1e6);
  dz::FmMain window;
  if (launch > 0) dzbench::Figure("startup_window_ms", double(dzbench::NowNs() - launch) / 1e6);
  QObject* probe = nullptr;
  dzbench::ReportStartupWhenPainted(window, probe);
  window.show();
  const int rc = QApplication::exec();
  delete probe;
  return rc;
}
