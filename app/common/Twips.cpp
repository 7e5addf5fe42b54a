#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

namespace dz {

int TwipsToPixels(int twips) {
  qreal dpi = 96.0;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const qreal logical = screen->logicalDotsPerInch();
    if (logical > 0) dpi = logical;
  }
  return qRound(twips * dpi / 1440.0);
}

}  // namespace dz
