#include "common/PageBuilder.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>

#include "common/Twips.h"

namespace dz {
namespace {

class SlimArrowListStyle : public QProxyStyle {
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    if (control == CC_ComboBox && (part == SC_ComboBoxArrow || part == SC_ComboBoxEditField)) {
      constexpr int kArrowWidth = 13;
      const QRect all = option->rect;
      const QRect arrow(all.right() - kArrowWidth, all.top() + 1, kArrowWidth, all.height() - 2);
      const QRect field(all.left() + 1, all.top() + 2, arrow.left() - all.left() - 1, all.height() - 4);
      return visualRect(option->direction, all, part == SC_ComboBoxArrow ? arrow : field);
    }
    return QProxyStyle::subControlRect(control, option, part, widget);
  }
};

}  // namespace

QStyle* ListStyle() {
  // One instance for the program, released with the application.
  static QPointer<QStyle> style;
  if (!style) {
    style = new SlimArrowListStyle;
    style->setParent(qApp);
  }
  return style;
}

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
