#include "common/PageBuilder.h"

#include "common/Twips.h"

namespace dz {

QFont ArialFont(double points, bool bold) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(points);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  return font;
}

void Place(QWidget* widget, const TwipsRect& rect) {
  widget->setProperty(kTwipsRectProperty, QRect(rect.left, rect.top, rect.width, rect.height));
  widget->setGeometry(TwipsToPixels(rect.left), TwipsToPixels(rect.top), TwipsToPixels(rect.width),
                      TwipsToPixels(rect.height));
}

QRect TwipsRectOf(const QWidget* widget) { return widget->property(kTwipsRectProperty).toRect(); }

QGroupBox* MakeFrame(QWidget* parent, const QString& name, const QString& caption, const TwipsRect& rect) {
  auto* frame = new QGroupBox(caption, parent);
  frame->setObjectName(name);
  frame->setFont(ArialFont(kCaptionPoints));
  Place(frame, rect);
  return frame;
}

QLabel* MakeRowLabel(QWidget* parent, const QString& caption, const TwipsRect& rect) {
  auto* label = new QLabel(caption, parent);
  label->setFont(ArialFont(kRowLabelPoints));
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setTextFormat(Qt::PlainText);
  Place(label, rect);
  return label;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, const TwipsRect& rect,
                  Qt::Alignment alignment) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setFont(ArialFont(kWindowFontPoints));
  label->setAlignment(alignment);
  label->setTextFormat(Qt::PlainText);
  Place(label, rect);
  return label;
}

}  // namespace dz
