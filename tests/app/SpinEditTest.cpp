// UCSpinEdit driven as a user drives it: clicks into the box, typing, arrow
// keys, Tab to leave the box, clicks on the up-down part.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>
#include <memory>

#include "MessageRecorder.h"
#include "common/MessageBox.h"
#include "common/Twips.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

class SpinEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    spin = new UCSpinEdit;
    other = new QLineEdit;
    other->setObjectName(QStringLiteral("other"));
    layout->addWidget(spin);
    layout->addWidget(other);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  void TearDown() override {
    window.reset();
    QLocale::setDefault(QLocale::c());
  }

  QLineEdit* Box() const { return spin->findChild<QLineEdit*>(QStringLiteral("CText")); }
  QToolButton* Arrow(const char* name) const {
    return spin->findChild<QWidget*>(QStringLiteral("CUpDown"))->findChild<QToolButton*>(QLatin1String(name));
  }

  // Clicks into the box, replaces its text by typing, and stays in the box.
  void TypeOver(const QString& text) {
    QTest::mouseClick(Box(), Qt::LeftButton);
    ASSERT_TRUE(Box()->hasFocus());
    QTest::keyClick(Box(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Box(), Qt::Key_Delete);
    QTest::keyClicks(Box(), text);
  }

  // Types the text and leaves the box with Tab.
  void Enter(const QString& text) {
    TypeOver(text);
    QTest::keyClick(Box(), Qt::Key_Tab);
    ASSERT_TRUE(other->hasFocus());
  }

  void PressInBox(Qt::Key key) {
    QTest::mouseClick(Box(), Qt::LeftButton);
    QTest::keyClick(Box(), key);
  }

  QString Text() const { return Box()->text(); }
  int Value() const { return spin->GetValue().toInt(); }

  dz::test::MessageRecorder recorder;
  std::vector<dz::test::RecordedMessage>& messages = recorder.messages;
  std::unique_ptr<QWidget> window;
  UCSpinEdit* spin = nullptr;
  QLineEdit* other = nullptr;
};

TEST_F(SpinEditTest, LayoutAtCreationAndWidthProperties) {
  auto* box = Box();
  auto* upDown = spin->findChild<QWidget*>(QStringLiteral("CUpDown"));
  ASSERT_NE(box, nullptr);
  ASSERT_NE(upDown, nullptr);
  EXPECT_EQ(box->geometry(), QRect(0, 0, TwipsToPixels(1000), TwipsToPixels(300)));
  EXPECT_EQ(upDown->geometry(), QRect(TwipsToPixels(1000), 0, TwipsToPixels(255), TwipsToPixels(300)));

  // Resizing the control moves nothing.
  spin->setFixedSize(300, 40);
  QApplication::processEvents();
  EXPECT_EQ(box->width(), TwipsToPixels(1000));

  spin->EditWidth(540);
  EXPECT_EQ(spin->EditWidth(), 540);
  EXPECT_EQ(box->width(), TwipsToPixels(540));

  spin->SpinButtonWidth(1500);  // spin button off: the box takes the whole width
  EXPECT_EQ(box->width(), TwipsToPixels(1500));
  EXPECT_EQ(upDown->x(), TwipsToPixels(1500 - 255));

  spin->SpinButton(true);
  spin->SpinButtonWidth(1500);
  EXPECT_EQ(box->width(), TwipsToPixels(1500 - 255));
  spin->SpinButton(false);
  EXPECT_TRUE(upDown->isHidden());
}

TEST_F(SpinEditTest, DecimalBoxTakesOverTypedTextWhenLeft) {
  spin->InitializeSpinEdit(0, 500, -500, 1, 5, 1);
  ASSERT_EQ(Text(), QStringLiteral("0.0"));

  Enter(QStringLiteral("50.1"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, QStringLiteral("It is a value that exceeds the useful range. "));
  EXPECT_EQ(messages[0].style, static_cast<int>(MsgOkOnly));
  EXPECT_EQ(messages[0].title, QStringLiteral("Dazavu Setting Tool"));
  EXPECT_EQ(Text(), QStringLiteral("0.0"));
  EXPECT_EQ(spin->GetValue(), QVariant(0));

  Enter(QStringLiteral("50"));
  EXPECT_EQ(spin->GetValue(), QVariant(500));
  EXPECT_EQ(Text(), QStringLiteral("50.0"));

  for (const char* junk : {"abc", "", "1.2.3", "1e2", "+"}) {
    Enter(QString::fromLatin1(junk));
    EXPECT_EQ(Text(), QStringLiteral("50.0")) << junk;
    EXPECT_EQ(Value(), 500) << junk;
  }
  EXPECT_EQ(messages.size(), 1u);

  Enter(QStringLiteral(" -50"));
  EXPECT_EQ(Value(), -500);
  EXPECT_EQ(Text(), QStringLiteral("-50.0"));
  Enter(QStringLiteral(".5"));
  EXPECT_EQ(Value(), 5);
  EXPECT_EQ(Text(), QStringLiteral("0.5"));

  // Huge numbers are refused, not wrapped.
  Enter(QStringLiteral("99999"));
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(Value(), 5);
}

TEST_F(SpinEditTest, HalvesRoundToTheEvenNeighbour) {
  spin->InitializeSpinEdit(0, 500, -500, 1, 5, 1);
  Enter(QStringLiteral("2.55"));
  EXPECT_EQ(Value(), 26);
  EXPECT_EQ(Text(), QStringLiteral("2.6"));
  Enter(QStringLiteral("2.45"));
  EXPECT_EQ(Value(), 24);
  EXPECT_EQ(Text(), QStringLiteral("2.4"));
  Enter(QStringLiteral("-2.45"));
  EXPECT_EQ(Value(), -24);

  spin->SetValue(25.5);
  EXPECT_EQ(Value(), 26);
  spin->SetValue(QStringLiteral("24.5"));
  EXPECT_EQ(Value(), 24);
  // The range is checked before rounding.
  spin->SetValue(500.4);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Value(), 24);
}

TEST_F(SpinEditTest, ArrowKeysStepOnlyWhenTheWholeStepFits) {
  spin->InitializeSpinEdit(495, 500, -500, 5, 5, 1);
  PressInBox(Qt::Key_Up);
  EXPECT_EQ(Value(), 500);
  EXPECT_EQ(Text(), QStringLiteral("50.0"));
  QTest::keyClick(Box(), Qt::Key_Up);
  EXPECT_EQ(Value(), 500);

  spin->InitializeSpinEdit(495, 498, -498, 5, 5, 1);
  PressInBox(Qt::Key_Up);
  EXPECT_EQ(Value(), 495);
  EXPECT_EQ(Text(), QStringLiteral("49.5"));

  spin->InitializeSpinEdit(-495, 498, -498, 5, 5, 1);
  PressInBox(Qt::Key_Down);
  EXPECT_EQ(Value(), -495);
  QTest::keyClick(Box(), Qt::Key_Up);
  EXPECT_EQ(Value(), -490);
  QTest::keyClick(Box(), Qt::Key_Down);
  EXPECT_EQ(Value(), -495);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SpinEditTest, TypedValueOffTheStepGridStepsFromWhereItIs) {
  spin->InitializeSpinEdit(0, 50, -50, 5, 5, 1);
  Enter(QStringLiteral("2.3"));
  EXPECT_EQ(Value(), 23);
  PressInBox(Qt::Key_Up);
  EXPECT_EQ(Value(), 28);
  EXPECT_EQ(Text(), QStringLiteral("2.8"));
}

TEST_F(SpinEditTest, SetMaxBelowTheValueKeepsItAndBlocksStepsUp) {
  spin->InitializeSpinEdit(300, 500, 0, 1, 4);
  spin->SetMax(200);
  EXPECT_EQ(Text(), QStringLiteral("300"));
  PressInBox(Qt::Key_Up);
  EXPECT_EQ(Text(), QStringLiteral("300"));
  QTest::mouseClick(Arrow("Up"), Qt::LeftButton);
  EXPECT_EQ(Text(), QStringLiteral("300"));
  spin->SetMin(250);
  QTest::keyClick(Box(), Qt::Key_Down);
  EXPECT_EQ(Text(), QStringLiteral("299"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(SpinEditTest, HexadecimalBox) {
  spin->InitializeSpinEdit(176, 255, 32, 1, 5, 0, true);
  EXPECT_EQ(Text(), QStringLiteral("B0"));

  Enter(QStringLiteral("1b"));  // 27 is below 32
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, UCSpinEdit::kRangeMessage);
  EXPECT_EQ(Text(), QStringLiteral("B0"));

  Enter(QStringLiteral("ff"));
  EXPECT_EQ(Text(), QStringLiteral("FF"));
  EXPECT_EQ(spin->GetValue(), QVariant(QStringLiteral("FF")));

  Enter(QStringLiteral("G1"));  // no digits read as 0, below 32
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(Text(), QStringLiteral("FF"));

  Enter(QStringLiteral("7Fz"));  // digits up to the first other character
  EXPECT_EQ(Text(), QStringLiteral("7F"));

  spin->InitializeSpinEdit(10, 255, 0, 1, 5, 0, true);
  EXPECT_EQ(Text(), QStringLiteral("0A"));
  Enter(QStringLiteral("5"));
  EXPECT_EQ(Text(), QStringLiteral("05"));
  Enter(QStringLiteral("A"));
  EXPECT_EQ(Text(), QStringLiteral("0A"));
  Enter(QStringLiteral("G1"));
  EXPECT_EQ(Text(), QStringLiteral("00"));
  EXPECT_EQ(messages.size(), 2u);
  PressInBox(Qt::Key_Up);
  EXPECT_EQ(Text(), QStringLiteral("01"));

  Enter(QStringLiteral("1000000FF"));  // beyond 32 bits: out of range, not wrapped
  EXPECT_EQ(messages.size(), 3u);
  EXPECT_EQ(Text(), QStringLiteral("01"));
}

TEST_F(SpinEditTest, GetValueOfPlainBoxIsTheTextEvenBeforeItIsTakenOver) {
  spin->InitializeSpinEdit(760, 9999, 100, 1, 4);
  EXPECT_EQ(spin->GetValue(), QVariant(QStringLiteral("760")));
  TypeOver(QStringLiteral("1234"));
  EXPECT_EQ(spin->GetValue(), QVariant(QStringLiteral("1234")));
  QTest::keyClick(Box(), Qt::Key_Tab);
  EXPECT_EQ(spin->GetValue(), QVariant(QStringLiteral("1234")));

  // Typing is limited to four characters.
  TypeOver(QStringLiteral("56789"));
  EXPECT_EQ(spin->GetValue(), QVariant(QStringLiteral("5678")));

  // A box with decimal places gives the step count, not the text.
  spin->InitializeSpinEdit(14, 40, 0, 1, 4, 1);
  EXPECT_EQ(spin->GetValue(), QVariant(14));
  EXPECT_EQ(spin->GetValue().typeId(), QMetaType::Int);
  TypeOver(QStringLiteral("2.0"));
  EXPECT_EQ(spin->GetValue(), QVariant(14));
}

TEST_F(SpinEditTest, DisabledBoxTakesNoTypingButTheUpDownPartSteps) {
  spin->InitializeSpinEdit(0, 15, -15, 1, 3);
  spin->Enable(false);
  EXPECT_FALSE(spin->Enable());
  QTest::mouseClick(Box(), Qt::LeftButton);
  EXPECT_FALSE(Box()->hasFocus());
  QTest::keyClicks(Box(), QStringLiteral("7"));
  QTest::keyClick(Box(), Qt::Key_Up);
  EXPECT_EQ(Text(), QStringLiteral("0"));

  QTest::mouseClick(Arrow("Up"), Qt::LeftButton);
  EXPECT_EQ(Text(), QStringLiteral("1"));
  QTest::mouseClick(Arrow("Down"), Qt::LeftButton);
  QTest::mouseClick(Arrow("Down"), Qt::LeftButton);
  EXPECT_EQ(Text(), QStringLiteral("-1"));

  spin->Enable(true);
  EXPECT_TRUE(spin->Enable());
  Enter(QStringLiteral("7"));
  EXPECT_EQ(Text(), QStringLiteral("7"));

  // Disabling the box while the user types in it takes the text over.
  TypeOver(QStringLiteral("-9"));
  spin->Enable(false);
  EXPECT_FALSE(Box()->hasFocus());
  EXPECT_EQ(Text(), QStringLiteral("-9"));
  QTest::mouseClick(Arrow("Up"), Qt::LeftButton);
  EXPECT_EQ(Text(), QStringLiteral("-8"));
}

TEST_F(SpinEditTest, UpDownPartStopsAtTheLimit) {
  spin->InitializeSpinEdit(495, 498, -498, 5, 5, 1);
  QSignalSpy changed(spin, &UCSpinEdit::valueChanged);
  QTest::mouseClick(Arrow("Up"), Qt::LeftButton);
  EXPECT_EQ(Value(), 498);
  EXPECT_EQ(Text(), QStringLiteral("49.8"));
  QTest::mouseClick(Arrow("Up"), Qt::LeftButton);
  EXPECT_EQ(Value(), 498);
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).toInt(), 498);

  QTest::mouseClick(Arrow("Down"), Qt::LeftButton);
  EXPECT_EQ(Value(), 493);

  // Typed text is taken over before the click steps it; the focus stays in the box.
  TypeOver(QStringLiteral("-49.7"));
  QTest::mouseClick(Arrow("Down"), Qt::LeftButton);
  EXPECT_EQ(Value(), -498);
  EXPECT_TRUE(Box()->hasFocus());
  QTest::mouseClick(Arrow("Down"), Qt::LeftButton);
  EXPECT_EQ(Value(), -498);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SpinEditTest, SetValueReadsSignedDecimalTexts) {
  spin->InitializeSpinEdit(0, 500, -500, 1, 5, 1);
  spin->SetValue(QStringLiteral("-012"));
  EXPECT_EQ(Value(), -12);
  EXPECT_EQ(Text(), QStringLiteral("-1.2"));
  spin->SetValue(QStringLiteral("+0"));
  EXPECT_EQ(Value(), 0);
  EXPECT_EQ(Text(), QStringLiteral("0.0"));
  spin->SetValue(QStringLiteral(" 12 "));
  EXPECT_EQ(Value(), 12);
  EXPECT_TRUE(messages.empty());

  // Not a number: ignored without a message.
  spin->SetValue(QStringLiteral("12"));
  for (const QVariant& junk : {QVariant(QStringLiteral("abc")), QVariant(QString()), QVariant(QStringLiteral("1,5")),
                               QVariant(std::numeric_limits<double>::quiet_NaN())}) {
    spin->SetValue(junk);
    EXPECT_EQ(Value(), 12) << junk.toString().toStdString();
  }
  EXPECT_TRUE(messages.empty());

  spin->SetValue(QStringLiteral("501"));
  spin->SetValue(QStringLiteral("-99999999999999999999999"));
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(Value(), 12);

  spin->SetValue(QVariant());  // an empty value counts as 0
  EXPECT_EQ(Value(), 0);

  // A plain box, as the page bindings use it.
  spin->InitializeSpinEdit(0, 0, -15, 1, 3);
  spin->SetValue(QStringLiteral("-012"));
  EXPECT_EQ(spin->GetValue(), QVariant(QStringLiteral("-12")));
}

TEST_F(SpinEditTest, DecimalSeparatorFollowsTheLocale) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  spin->InitializeSpinEdit(14, 40, 0, 1, 4, 1);
  EXPECT_EQ(Text(), QStringLiteral("1,4"));
  Enter(QStringLiteral("2,5"));
  EXPECT_EQ(Value(), 25);
  EXPECT_EQ(Text(), QStringLiteral("2,5"));
  Enter(QStringLiteral("3.5"));  // the point is no decimal separator here
  EXPECT_EQ(Value(), 25);
  EXPECT_TRUE(messages.empty());

  spin->InitializeSpinEdit(-99999, 100000, -100000, 1, 0, 2);
  EXPECT_EQ(Text(), QStringLiteral("-999,99"));  // no group separator
}

TEST_F(SpinEditTest, LeavingTheBoxTakesItsTextOverEveryTime) {
  spin->InitializeSpinEdit(5, 10, 0, 1);
  int changes = 0;
  QObject::connect(spin, &UCSpinEdit::valueChanged, [&changes] { ++changes; });

  // Unchanged and inside the range: nothing shows, nothing changes.
  QTest::mouseClick(Box(), Qt::LeftButton);
  QTest::keyClick(Box(), Qt::Key_Tab);
  ASSERT_TRUE(other->hasFocus());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Text(), QStringLiteral("5"));
  EXPECT_EQ(changes, 0);

  // Text that reached the box without typing is taken over too.
  Box()->setText(QStringLiteral("7"));
  QTest::mouseClick(Box(), Qt::LeftButton);
  QTest::keyClick(Box(), Qt::Key_Tab);
  EXPECT_EQ(spin->UpDown()->Value(), 7);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(messages.empty());

  // A value set outside the range is refused when the box is left.
  spin->InitializeSpinEdit(20, 10, 0, 1);
  QTest::mouseClick(Box(), Qt::LeftButton);
  QTest::keyClick(Box(), Qt::Key_Tab);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, QStringLiteral("It is a value that exceeds the useful range. "));
  EXPECT_EQ(Text(), QStringLiteral("20"));
  EXPECT_EQ(spin->UpDown()->Value(), 20);
}

}  // namespace
}  // namespace dz
