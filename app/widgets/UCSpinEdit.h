#pragma once
// UCSpinEdit: the program's numeric entry control. A text box ("CText") with
// an up-down part ("CUpDown") on its right edits one whole number, the spin
// value v, between a minimum and a maximum in fixed steps. The box shows v as
// plain decimal text, as decimal text with d decimal places (v / 10^d, the
// separator taken from the user's locale), or as upper-case hexadecimal with a
// leading zero below 16.
//
// Text typed into the box reaches v only when the box loses the focus (or
// just before a click on the up-down part steps v). Values outside the range
// are refused with the message "It is a value that exceeds the useful range. ".
//
// Choices this control makes where its behaviour is open:
// - The up-down part never leaves the limits: a click that would pass a limit
//   moves v to the limit itself; at (or beyond) the limit it does nothing. The
//   Up and Down arrow keys in the text box instead step only when the whole
//   step fits and otherwise do nothing.
// - The up-down buttons never take the focus. A click on them first takes
//   over text typed into the box (as leaving the box would), then steps.
// - Leaving the box takes its text over every time, changed or not: an
//   unchanged value inside the range shows nothing, a value outside it (one
//   set by InitializeSpinEdit, which does not check the range) raises the
//   range message. Losing the focus to another window or to a popup menu
//   does not take it over; the box still holds the typed text when the focus
//   returns. A click on the up-down part takes over only text the user
//   changed since it was last drawn.
// - Typed decimal text counts as a number when it is: optional blanks, an
//   optional sign, ASCII digits with at most one decimal separator of the
//   user's locale, optional blanks, and at least one digit (".5", "5." and
//   "-012" are numbers). Group separators, exponents and the other locale's
//   separator are not: such text is discarded silently like letters.
// - SetValue reads texts in the program's own notation (blanks, sign, digits,
//   "." as the decimal point); a text that is not a number is ignored: v stays,
//   the text is redrawn from v and no message is shown. An invalid (null)
//   QVariant counts as 0.
// - InitializeSpinEdit, SetMax and SetMin convert their arguments to 32-bit
//   integers (halves to even, clamped to the 32-bit range); texts are read
//   like SetValue texts, anything else counts as 0. A step below 1 is ignored
//   (the previous step, 1 at creation, stays).
// - InitializeSpinEdit leaves the text box enabled, so Enable() always
//   reports the box's real state.
// - The character limit of InitializeSpinEdit limits typing only; text drawn
//   from v is never cut (a drawn text longer than the limit raises the limit
//   to its own length until the next drawing).
#include <QVariant>
#include <QWidget>

#include <cstdint>

class QLineEdit;
class QToolButton;

namespace dz {

// The up-down part: two stacked arrow buttons ("Up", "Down") that hold the
// spin value with its limits and step.
class UCUpDown : public QWidget {
  Q_OBJECT

 public:
  explicit UCUpDown(QWidget* parent = nullptr);

  int32_t Value() const { return m_iValue; }
  int32_t Max() const { return m_iMax; }
  int32_t Min() const { return m_iMin; }
  int32_t Increment() const { return m_iIncrement; }

  // Plain stores: no range check, no signal.
  void SetValue(int32_t value) { m_iValue = value; }
  void SetMax(int32_t value) { m_iMax = value; }
  void SetMin(int32_t value) { m_iMin = value; }
  void SetIncrement(int32_t value);

  // One step up or down that stops at the limit; false when v did not move.
  bool StepUp();
  bool StepDown();

  QToolButton* UpButton() const { return m_pUp; }
  QToolButton* DownButton() const { return m_pDown; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* m_pUp;
  QToolButton* m_pDown;
  // The up-down control's own defaults until the owner initialises it.
  int32_t m_iValue = 0;
  int32_t m_iMax = 10;
  int32_t m_iMin = 0;
  int32_t m_iIncrement = 1;
};

class UCSpinEdit : public QWidget {
  Q_OBJECT

 public:
  // The range message, trailing blank included.
  static const QString kRangeMessage;

  explicit UCSpinEdit(QWidget* parent = nullptr);

  // Enable: enables or disables the text box only; the up-down part stays
  // usable.
  bool Enable() const { return m_bEnable; }
  void Enable(bool p_bValue);

  // EditWidth (twips): width of the text box.
  int EditWidth() const { return m_iEditWidth; }
  void EditWidth(int p_iValue);

  // SpinButton: shows or hides the up-down part.
  bool SpinButton() const { return m_bSpinButton; }
  void SpinButton(bool p_bValue);

  // SpinButtonWidth (twips): total width w; the up-down part moves to the
  // right edge w and the text box fills the rest (all of w when the spin
  // button is off).
  int SpinButtonWidth() const { return m_iSpinButtonWidth; }
  void SpinButtonWidth(int p_iValue);

  // Sets decimal places, hexadecimal mode, limits, step and value (no range
  // check), the typing limit (0: none), and draws the value.
  void InitializeSpinEdit(const QVariant& p_vValue, const QVariant& p_vMax, const QVariant& p_vMin,
                          const QVariant& p_vIncrement, int p_iLength = 0, int p_iDecimalPoint = 0,
                          bool p_bHexaMode = false);

  // New limits; v and the text stay as they are.
  void SetMax(const QVariant& p_vValue);
  void SetMin(const QVariant& p_vValue);

  // Sets v from a number or a signed decimal text ("+0", "-012", " 12 "),
  // rounded halves to even; outside the limits shows the range message and
  // keeps v.
  void SetValue(const QVariant& p_vValue);

  // With decimal places: v as int (25 while 2.5 is shown). Without: the text
  // box's current text as QString, also text typed but not yet taken over.
  QVariant GetValue() const;

  QLineEdit* TextBox() const { return m_pText; }
  UCUpDown* UpDown() const { return m_pUpDown; }

  QSize sizeHint() const override;

 signals:
  // v changed, by any path.
  void valueChanged(int value);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Redraw();
  QString FormatValue(int32_t value) const;
  void TakeOverText(bool p_bOnlyModified);
  void StoreValue(int32_t value);
  void StepByUpDown(bool up);

  QLineEdit* m_pText;
  UCUpDown* m_pUpDown;
  int m_iUpDownWidth;  // twips; the up-down part keeps its width
  int m_iLength;       // typing limit in characters
  bool m_bTakingOver = false;

  bool m_bEnable = true;
  int16_t m_iEditWidth = 0;
  bool m_bSpinButton = false;
  int16_t m_iSpinButtonWidth = 0;
  bool m_bHexaMode = false;
  double m_dDecimalPoint = 0;
  QString m_sFormat;
};

}  // namespace dz
