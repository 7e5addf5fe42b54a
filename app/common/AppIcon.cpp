#include "common/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace dz {
namespace {

// Drawn on a 64 x 64 grid and scaled to the pixmap size.
QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);

  // Printer body.
  QPainterPath body;
  body.addRoundedRect(QRectF(4, 14, 56, 34), 6, 6);
  painter.fillPath(body, QColor(0x2f, 0x4f, 0x7f));
  painter.setPen(QPen(QColor(0x1a, 0x2c, 0x48), 2));
  painter.drawPath(body);

  // Label slot.
  painter.fillRect(QRectF(12, 40, 40, 4), QColor(0x10, 0x18, 0x28));

  // Label leaving the printer, with a bar code on it.
  painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(16, 42, 32, 20));
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  const double bars[][2] = {{19, 2}, {22.5, 1}, {25, 3}, {29.5, 1}, {32, 2}, {35.5, 1}, {38, 3}, {42.5, 1}, {44, 1.5}};
  for (const auto& bar : bars) painter.drawRect(QRectF(bar[0], 46, bar[1], 12));

  // Status lamp.
  painter.setBrush(QColor(0x4c, 0xd9, 0x64));
  painter.drawEllipse(QPointF(50, 23), 3.5, 3.5);
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  // The installed program shows the same icon as its desktop menu entry; a
  // program run from its build folder draws its own.
  QIcon drawn;
  for (int size : {16, 24, 32, 48, 64}) drawn.addPixmap(DrawIcon(size));
  return QIcon::fromTheme(QStringLiteral("dazavu-setting-tool"), drawn);
}

}  // namespace dz
