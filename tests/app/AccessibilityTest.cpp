// The window as a screen reader reads it through Qt's accessibility
// interface: every control carries its row caption as its name.
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "WindowFixture.h"
#include "dialogs/FmInterfaceSetup.h"

namespace dz::test {
namespace {

using AccessibilityTest = WindowFixture;

QString AccessibleName(QObject* object) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
  return face ? face->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

// The accessible children of an interface that are (or stand for) widgets.
QList<QWidget*> AccessibleChildWidgets(QObject* object) {
  QList<QWidget*> widgets;
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
  if (!face) return widgets;
  for (int i = 0; i < face->childCount(); ++i)
    if (QAccessibleInterface* child = face->child(i))
      if (auto* widget = qobject_cast<QWidget*>(child->object())) widgets << widget;
  return widgets;
}

QLabel* LabelFor(QWidget* root, QWidget* control) {
  for (QLabel* label : root->findChildren<QLabel*>())
    if (label->buddy() == control) return label;
  return nullptr;
}

TEST_F(AccessibilityTest, EveryControlIsNamedByItsRowCaption) {
  const std::pair<const char*, const char*> expected[] = {
      {"cmbFontCode", "FONT CODE"},
      {"cmbAutoHdChk", "AUTO HD CHK"},
      {"cmbPlugPlay", "PLUG & PLAY"},
      {"SeFowardPosition", "FOWARD POSITION"},
      {"SeEuroCode", "EURO CODE"},
      {"SeCode1", "CODE 1"},
      {"SeCode2", "CODE 2"},
      {"SeCode3", "CODE 3"},
      {"SeIpAddress1", "IP ADDRESS 1"},
      {"SeIpAddress4", "IP ADDRESS 4"},
      {"SeSubNet2", "SUBNET MASK 2"},
      {"SeGateway3", "DEFAULT GATEWAY 3"},
      {"cmbDhcp", "DHCP"},
      {"txtDhcpName", "DHCP HOST NAME"},
      {"cmbInterface", "Interface"},
  };
  for (const auto& [name, caption] : expected) {
    QWidget* control = Find<QWidget>(name);
    ASSERT_TRUE(control) << name;
    if (qobject_cast<QComboBox*>(control)) {
      // A list's accessible text on this platform is its current entry; its
      // name goes with it as the accessible name, and its buddy label (where
      // there is one) is its label relation.
      EXPECT_EQ(control->accessibleName(), QString::fromLatin1(caption)) << name;
      continue;
    }
    EXPECT_EQ(AccessibleName(control), QString::fromLatin1(caption)) << name;
    // A spin edit's text box, which takes the focus, says the same.
    if (auto* spin = qobject_cast<UCSpinEdit*>(control)) {
      EXPECT_EQ(AccessibleName(spin->TextBox()), caption) << name;
    }
  }
  // The label relation of a list leads to its row label.
  QAccessibleInterface* font = QAccessible::queryAccessibleInterface(Find<QWidget>("cmbFontCode"));
  const auto labels = font->relations(QAccessible::Label);
  QStringList labelNames;
  for (const auto& label : labels) labelNames << label.first->text(QAccessible::Name);
  EXPECT_TRUE(labelNames.contains(QStringLiteral("FONT CODE"))) << labelNames.join(", ").toStdString();

  // Every spin edit, list and text box of the window has a name.
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (!qobject_cast<UCSpinEdit*>(control) && !qobject_cast<QComboBox*>(control) &&
        !(qobject_cast<QLineEdit*>(control) && control->objectName() == QLatin1String("txtDhcpName"))) {
      continue;
    }
    EXPECT_FALSE(control->accessibleName().isEmpty())
        << control->objectName().toStdString() << " in " << control->parentWidget()->objectName().toStdString();
  }
}

TEST_F(AccessibilityTest, RowLabelsAreBuddiesWithoutAccessKeys) {
  QWidget* frame = Find<QWidget>("FrParameter");
  QLabel* font = LabelFor(frame, Find<QWidget>("cmbFontCode"));
  ASSERT_TRUE(font);
  EXPECT_EQ(font->text(), QStringLiteral("FONT CODE"));
  QLabel* lan = LabelFor(Find<QWidget>("FrLan"), Find<QWidget>("SeIpAddress1"));
  ASSERT_TRUE(lan);
  EXPECT_EQ(lan->text(), QStringLiteral("IP ADDRESS"));
  // "PLUG & PLAY" as a buddy would turn " " into an access key: it stays a
  // plain label showing its ampersand.
  EXPECT_EQ(LabelFor(frame, Find<QWidget>("cmbPlugPlay")), nullptr);

  // The empty label of the code-box row belongs to the code boxes and is not
  // announced by the frame's name.
  QLabel* codes = LabelFor(frame, Find<QWidget>("SeCode1"));
  ASSERT_TRUE(codes);
  EXPECT_TRUE(codes->text().isEmpty());
  EXPECT_EQ(AccessibleName(codes), QStringLiteral("CODE"));
}

TEST_F(AccessibilityTest, HiddenUpDownPartsStayOutOfTheTree) {
  UCSpinEdit* code = Spin("SeCode1");
  // A code box is narrowed to its text box; its up-down part lies beyond.
  ASSERT_FALSE(code->rect().intersects(code->UpDown()->geometry()));
  EXPECT_EQ(AccessibleChildWidgets(code), (QList<QWidget*>{code->TextBox()}));
  UCSpinEdit* position = Spin("SeFowardPosition");
  ASSERT_TRUE(position->UpDown()->isVisibleTo(position));
  EXPECT_EQ(AccessibleChildWidgets(position), (QList<QWidget*>{position->TextBox(), position->UpDown()}));
  // The parts a screen reader may reach lie inside their box.
  for (QWidget* part : AccessibleChildWidgets(position))
    EXPECT_TRUE(position->rect().contains(part->geometry())) << part->objectName().toStdString();
}

TEST_F(AccessibilityTest, SetupDialogOctetsAndListsAreNamed) {
  FmInterfaceSetup dialog;
  const std::pair<const char*, const char*> expected[] = {
      {"SeLan1", "IP-Address 1"}, {"SeLan4", "IP-Address 4"}, {"cmbComPort", "COM PORT"}, {"cmbParity", "PARITY"}};
  for (const auto& [name, caption] : expected) {
    auto* control = dialog.findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_TRUE(control) << name;
    EXPECT_EQ(AccessibleName(control), QString::fromLatin1(caption)) << name;
  }
}

}  // namespace
}  // namespace dz::test
