// An empty Qt Widgets program: one window of the tool's client size and
// nothing in it. The tool's start-up is compared with this. With "--label"
// the window holds one text label, which shows what bringing up the fonts
// costs on its own.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "BenchProbe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(774, 517);
  if (argc > 1 && std::strcmp(argv[1], "--label") == 0)
    (new QLabel(QStringLiteral("GET STATUS"), &window))->move(24, 8);
  QObject* probe = nullptr;
  dzbench::ReportStartupWhenPainted(window, probe);
  window.show();
  const int rc = QApplication::exec();
  delete probe;
  return rc;
}
