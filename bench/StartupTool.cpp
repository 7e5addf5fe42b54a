// The program's own start-up (as in app/main.cpp): the main window built,
// its lists filled and its values refreshed, shown and painted once.
#include <QApplication>

#include "BenchProbe.h"
#include "main/FmMain.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Dazavu Setting Tool"));
  QApplication::setApplicationVersion(QStringLiteral("2.3.0.0"));
  dz::FmMain window;
  QObject* probe = nullptr;
  dzbench::ReportStartupWhenPainted(window, probe);
  window.show();
  const int rc = QApplication::exec();
  delete probe;
  return rc;
}
