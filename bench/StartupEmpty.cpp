// An empty Qt Widgets program: one window of the tool's client size and
// nothing in it. The tool's start-up is compared with this.
#include <QApplication>
#include <QWidget>

#include "BenchProbe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(774, 517);
  QObject* probe = nullptr;
  dzbench::ReportStartupWhenPainted(window, probe);
  window.show();
  const int rc = QApplication::exec();
  delete probe;
  return rc;
}
