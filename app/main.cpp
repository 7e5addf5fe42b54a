// Dazavu Setting Tool: the main window is the whole program; closing it ends
// the program.
#include <QApplication>

#include "main/FmMain.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Dazavu Setting Tool"));
  QApplication::setApplicationVersion(QStringLiteral("2.3.0.0"));
  dz::FmMain window;
  window.show();
  return QApplication::exec();
}
