#pragma once
// Building blocks for the fixed-position layouts of the windows: positions in
// twips, the Arial fonts, and the creation of a named control into a page's
// public member from one row of a layout table.
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStyle>
#include <variant>

#include "common/ListBox.h"

namespace dz {

// Spin edits come from widgets/; a layout that creates them includes
// widgets/UCSpinEdit.h itself.
class UCSpinEdit;

// Left, top, width, height in twips, relative to the containing frame or page.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

// Fixed sizes shared by the layouts (twips).
constexpr int kListHeight = 345;
constexpr int kSpinHeight = 375;
constexpr int kRowLabelHeight = 345;

// Point sizes of the window fonts.
constexpr double kWindowFontPoints = 9.0;
constexpr double kRowLabelPoints = 9.75;
constexpr double kCaptionPoints = 12.0;

QFont ArialFont(double points, bool bold = false);

// Moves and sizes a widget to a twips rectangle, and keeps the rectangle in
// the widget's property kTwipsRectProperty (a QRect in twips).
void Place(QWidget* widget, const TwipsRect& rect);
inline constexpr const char* kTwipsRectProperty = "twipsRect";
// The twips rectangle a widget was placed at (empty when it was not placed).
QRect TwipsRectOf(const QWidget* widget);

// A frame with its caption in the caption font.
QGroupBox* MakeFrame(QWidget* parent, const QString& name, const QString& caption, const TwipsRect& rect);
// A right-aligned row label (no object name: row labels are not addressed).
QLabel* MakeRowLabel(QWidget* parent, const QString& caption, const TwipsRect& rect);
// A plain label in the window font.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, const TwipsRect& rect,
                  Qt::Alignment alignment);

// The member of a page (or dialog) that receives a created control.
template <class Page>
using ControlSlot = std::variant<QComboBox * Page::*, UCSpinEdit * Page::*, QPushButton * Page::*, QLineEdit * Page::*,
                                 QLabel * Page::*, QGroupBox * Page::*>;

// One named control: its object name and the member it goes into.
template <class Page>
struct NamedControl {
  const char* name;
  ControlSlot<Page> slot;
};

// NamedControl for a member, with the member's own name as object name.
#define DZ_CONTROL(Page, member) \
  ::dz::NamedControl<Page> { #member, &Page::member }

// Creates the control of a slot in the window font, names it, places it and
// stores it in the page's member. Lists are ListBoxes; buttons and labels
// get the caption.
template <class Page>
QWidget* CreateControl(Page& page, const NamedControl<Page>& control, QWidget* parent, const TwipsRect& rect,
                       const QString& caption = QString()) {
  QWidget* created = std::visit(
      [&](auto member) -> QWidget* {
        using Widget = std::remove_pointer_t<std::remove_reference_t<decltype(page.*member)>>;
        Widget* widget = nullptr;
        if constexpr (std::is_same_v<Widget, QComboBox>)
          widget = new ListBox(parent);
        else
          widget = new Widget(parent);
        page.*member = widget;
        if constexpr (std::is_same_v<Widget, QPushButton> || std::is_same_v<Widget, QLabel> ||
                      std::is_same_v<Widget, QLineEdit>)
          widget->setText(caption);
        if constexpr (std::is_same_v<Widget, QGroupBox>) widget->setTitle(caption);
        return widget;
      },
      control.slot);
  created->setObjectName(QString::fromLatin1(control.name));
  created->setFont(
      ArialFont(std::holds_alternative<QGroupBox * Page::*>(control.slot) ? kCaptionPoints : kWindowFontPoints));
  Place(created, rect);
  return created;
}

}  // namespace dz
