#include "widgets/UCSpinEdit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "common/MessageBox.h"
#include "common/Twips.h"

namespace dz {
namespace {

constexpr int kTextWidthTwips = 1000;
constexpr int kUpDownWidthTwips = 255;
constexpr int kHeightTwips = 300;
constexpr int kNoLimit = 32767;  // QLineEdit's own maximum

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Reads blanks, an optional sign, digits with at most one `point`, blanks.
// Returns the number times 10^shift, computed from the decimal digits in one
// conversion so that 2.55 shifted by one is exactly 25.5.
std::optional<double> ParseDecimal(const QString& text, const QString& point, int shift,
                                   const QString& minus = QStringLiteral("-"),
                                   const QString& plus = QStringLiteral("+")) {
  const QString s = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (s.startsWith(QLatin1Char('-')) || (!minus.isEmpty() && s.startsWith(minus))) {
    negative = true;
    i = s.startsWith(QLatin1Char('-')) ? 1 : minus.size();
  } else if (s.startsWith(QLatin1Char('+')) || (!plus.isEmpty() && s.startsWith(plus))) {
    i = s.startsWith(QLatin1Char('+')) ? 1 : plus.size();
  }
  std::string digits;
  long long fractionDigits = 0;
  bool seenPoint = false;
  while (i < s.size()) {
    const QChar c = s.at(i);
    if (IsAsciiDigit(c)) {
      digits += static_cast<char>(c.unicode());
      if (seenPoint) ++fractionDigits;
      ++i;
    } else if (!seenPoint && !point.isEmpty() && QStringView(s).mid(i).startsWith(point)) {
      seenPoint = true;
      i += point.size();
    } else {
      return std::nullopt;
    }
  }
  if (digits.empty()) return std::nullopt;
  // No radix character in this form, so strtod's locale does not matter.
  const std::string number =
      (negative ? "-" : "") + digits + "e" + std::to_string(static_cast<long long>(shift) - fractionDigits);
  return std::strtod(number.c_str(), nullptr);
}

// Whole number nearest to x, halves to the even neighbour (25.5 -> 26,
// 24.5 -> 24).
double RoundHalfEven(double x) {
  double r = std::floor(x);
  const double rest = x - r;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
  return r;
}

bool IsNumericType(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
      return true;
    default:
      return false;
  }
}

// A value given by a caller as a number: numbers as they are, texts in the
// program's notation ("+5", "-012", " 1.5 "), null as 0; anything else is not
// a number.
std::optional<double> CallerNumber(const QVariant& v) {
  if (!v.isValid()) return 0.0;
  if (IsNumericType(v)) return v.toDouble();
  if (v.typeId() == QMetaType::QString) return ParseDecimal(v.toString(), QStringLiteral("."), 0);
  if (v.typeId() == QMetaType::QByteArray)
    return ParseDecimal(QString::fromLatin1(v.toByteArray()), QStringLiteral("."), 0);
  return std::nullopt;
}

int32_t ToInt32(const QVariant& v) {
  const std::optional<double> x = CallerNumber(v);
  if (!x || std::isnan(*x)) return 0;
  const double r = RoundHalfEven(*x);
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

int16_t ToInt16(int value) {
  return static_cast<int16_t>(
      qBound(int{std::numeric_limits<int16_t>::min()}, value, int{std::numeric_limits<int16_t>::max()}));
}

// What assistive tools see of a spin edit: the box with its name and only
// the parts that are shown. A part that is hidden, or that lies wholly
// outside the box (the up-down part of a box narrowed by EditWidth), is not
// announced, so no position outside the box is reported.
class SpinEditAccessible : public QAccessibleWidget {
 public:
  explicit SpinEditAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Grouping) {}

  int childCount() const override { return static_cast<int>(Parts().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> parts = Parts();
    return index >= 0 && index < parts.size() ? QAccessible::queryAccessibleInterface(parts[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child ? static_cast<int>(Parts().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
  }

 private:
  QList<QWidget*> Parts() const {
    QList<QWidget*> parts;
    for (QObject* object : widget()->children()) {
      auto* part = qobject_cast<QWidget*>(object);
      if (part && !part->isWindow() && part->isVisibleTo(widget()) && widget()->rect().intersects(part->geometry()))
        parts << part;
    }
    return parts;
  }
};

QAccessibleInterface* SpinEditAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("dz::UCSpinEdit") && object && object->isWidgetType())
    return new SpinEditAccessible(static_cast<QWidget*>(object));
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// UCUpDown

UCUpDown::UCUpDown(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CUpDown"));
  m_pUp = new QToolButton(this);
  m_pUp->setObjectName(QStringLiteral("Up"));
  m_pUp->setArrowType(Qt::UpArrow);
  m_pDown = new QToolButton(this);
  m_pDown->setObjectName(QStringLiteral("Down"));
  m_pDown->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {m_pUp, m_pDown}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
  }
}

void UCUpDown::SetIncrement(int32_t value) {
  if (value >= 1) m_iIncrement = value;
}

bool UCUpDown::StepUp() {
  if (m_iValue >= m_iMax) return false;
  m_iValue = static_cast<int32_t>(std::min<int64_t>(int64_t{m_iValue} + m_iIncrement, m_iMax));
  return true;
}

bool UCUpDown::StepDown() {
  if (m_iValue <= m_iMin) return false;
  m_iValue = static_cast<int32_t>(std::max<int64_t>(int64_t{m_iValue} - m_iIncrement, m_iMin));
  return true;
}

void UCUpDown::resizeEvent(QResizeEvent*) {
  const int upper = height() / 2;
  m_pUp->setGeometry(0, 0, width(), upper);
  m_pDown->setGeometry(0, upper, width(), height() - upper);
}

// ---------------------------------------------------------------------------
// UCSpinEdit

const QString UCSpinEdit::kRangeMessage = QStringLiteral("It is a value that exceeds the useful range. ");

UCSpinEdit::UCSpinEdit(QWidget* parent) : QWidget(parent), m_iUpDownWidth(kUpDownWidthTwips), m_iLength(kNoLimit) {
  static const bool accessibleInstalled = [] {
    QAccessible::installFactory(SpinEditAccessibleFactory);
    return true;
  }();
  Q_UNUSED(accessibleInstalled);
  setFont(QFont(QStringLiteral("Arial"), 9));

  m_pText = new QLineEdit(this);
  m_pText->setObjectName(QStringLiteral("CText"));
  m_pText->setGeometry(0, 0, TwipsToPixels(kTextWidthTwips), TwipsToPixels(kHeightTwips));
  m_pText->installEventFilter(this);

  m_pUpDown = new UCUpDown(this);
  m_pUpDown->setGeometry(TwipsToPixels(kTextWidthTwips), 0, TwipsToPixels(m_iUpDownWidth), TwipsToPixels(kHeightTwips));
  connect(m_pUpDown->UpButton(), &QToolButton::clicked, this, [this] { StepByUpDown(true); });
  connect(m_pUpDown->DownButton(), &QToolButton::clicked, this, [this] { StepByUpDown(false); });

  setFocusProxy(m_pText);
  resize(sizeHint());
}

QSize UCSpinEdit::sizeHint() const {
  return QSize(TwipsToPixels(kTextWidthTwips + kUpDownWidthTwips), TwipsToPixels(kHeightTwips));
}

void UCSpinEdit::Enable(bool p_bValue) {
  m_bEnable = p_bValue;
  m_pText->setEnabled(p_bValue);
}

void UCSpinEdit::EditWidth(int p_iValue) {
  m_iEditWidth = ToInt16(p_iValue);
  m_pText->resize(TwipsToPixels(m_iEditWidth), m_pText->height());
}

void UCSpinEdit::SpinButton(bool p_bValue) {
  m_bSpinButton = p_bValue;
  m_pUpDown->setVisible(p_bValue);
}

void UCSpinEdit::SpinButtonWidth(int p_iValue) {
  m_iSpinButtonWidth = ToInt16(p_iValue);
  const int textWidth = m_bSpinButton ? m_iSpinButtonWidth - m_iUpDownWidth : m_iSpinButtonWidth;
  m_pText->resize(TwipsToPixels(textWidth), m_pText->height());
  m_pUpDown->move(TwipsToPixels(m_iSpinButtonWidth - m_iUpDownWidth), m_pUpDown->y());
}

void UCSpinEdit::InitializeSpinEdit(const QVariant& p_vValue, const QVariant& p_vMax, const QVariant& p_vMin,
                                    const QVariant& p_vIncrement, int p_iLength, int p_iDecimalPoint,
                                    bool p_bHexaMode) {
  m_dDecimalPoint = p_iDecimalPoint;
  m_bHexaMode = p_bHexaMode;
  Enable(true);

  switch (p_iDecimalPoint) {
    case 0:
      m_sFormat = QStringLiteral("0");
      break;
    case 1:
      m_sFormat = QStringLiteral("0.0");
      break;
    case 2:
      m_sFormat = QStringLiteral("0.00");
      break;
    default:
      break;  // other decimal places keep the format they had
  }

  m_pUpDown->SetMax(ToInt32(p_vMax));
  m_pUpDown->SetMin(ToInt32(p_vMin));
  m_pUpDown->SetIncrement(ToInt32(p_vIncrement));
  const int32_t old = m_pUpDown->Value();
  m_pUpDown->SetValue(ToInt32(p_vValue));

  m_iLength = p_iLength > 0 ? p_iLength : kNoLimit;

  Redraw();
  if (m_pUpDown->Value() != old) emit valueChanged(m_pUpDown->Value());
}

void UCSpinEdit::SetMax(const QVariant& p_vValue) { m_pUpDown->SetMax(ToInt32(p_vValue)); }

void UCSpinEdit::SetMin(const QVariant& p_vValue) { m_pUpDown->SetMin(ToInt32(p_vValue)); }

void UCSpinEdit::SetValue(const QVariant& p_vValue) {
  const std::optional<double> x = CallerNumber(p_vValue);
  if (!x || std::isnan(*x)) {
    Redraw();
    return;
  }
  if (*x > m_pUpDown->Max() || *x < m_pUpDown->Min()) {
    ShowMessage(kRangeMessage, MsgOkOnly, kAppTitle);
    Redraw();
    return;
  }
  StoreValue(static_cast<int32_t>(RoundHalfEven(*x)));
}

QVariant UCSpinEdit::GetValue() const {
  if (m_dDecimalPoint != 0) return QVariant(static_cast<int>(m_pUpDown->Value()));
  return QVariant(m_pText->text());
}

void UCSpinEdit::StoreValue(int32_t value) {
  const bool changed = value != m_pUpDown->Value();
  m_pUpDown->SetValue(value);
  Redraw();
  if (changed) emit valueChanged(value);
}

void UCSpinEdit::Redraw() {
  // The limit is for typing; text drawn from v is never cut, so the limit
  // grows to a longer drawn text.
  const QString text = FormatValue(m_pUpDown->Value());
  m_pText->setMaxLength(std::max(m_iLength, static_cast<int>(text.size())));
  m_pText->setText(text);
  m_pText->setModified(false);
}

QString UCSpinEdit::FormatValue(int32_t value) const {
  if (m_bHexaMode) {
    QString hex = QString::number(static_cast<uint32_t>(value), 16).toUpper();
    if (value < 16) hex.prepend(QLatin1Char('0'));
    return hex;
  }
  if (m_dDecimalPoint == 0) return QString::number(value);

  const double shown = value / std::pow(10.0, m_dDecimalPoint);
  QString text;
  const qsizetype point = m_sFormat.indexOf(QLatin1Char('.'));
  if (m_sFormat.isEmpty()) {
    text = QString::number(shown, 'g', 15);
  } else {
    const int places = point < 0 ? 0 : static_cast<int>(m_sFormat.size() - point - 1);
    text = QString::number(shown, 'f', places);
  }
  text.replace(QLatin1Char('.'), QLocale().decimalPoint());
  return text;
}

void UCSpinEdit::TakeOverText(bool p_bOnlyModified) {
  if (m_bTakingOver || (p_bOnlyModified && !m_pText->isModified())) return;
  m_bTakingOver = true;
  const QString typed = m_pText->text();
  m_pText->setModified(false);

  if (m_bHexaMode) {
    // Hexadecimal digits from the start up to the first other character.
    uint64_t number = 0;
    int significant = 0;
    for (const QChar c : typed) {
      if (c.unicode() > 0x7f) break;
      const int digit = static_cast<int>(QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper()));
      if (digit < 0) break;
      if (number != 0 || digit != 0) ++significant;
      if (significant <= 16) number = number * 16 + static_cast<uint64_t>(digit);
    }
    if (significant <= 8) {
      SetValue(static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(number))));
    } else {
      SetValue(std::numeric_limits<double>::infinity());  // beyond 32 bits: out of any range
    }
  } else {
    const QLocale locale;
    const std::optional<double> x = ParseDecimal(typed, locale.decimalPoint(), static_cast<int>(m_dDecimalPoint),
                                                 locale.negativeSign(), locale.positiveSign());
    if (x && !std::isnan(*x)) {
      SetValue(*x);
    } else {
      Redraw();
    }
  }
  m_bTakingOver = false;
}

void UCSpinEdit::StepByUpDown(bool up) {
  TakeOverText(true);
  const int32_t old = m_pUpDown->Value();
  if (up ? m_pUpDown->StepUp() : m_pUpDown->StepDown()) {
    Redraw();
    if (m_pUpDown->Value() != old) emit valueChanged(m_pUpDown->Value());
  }
}

bool UCSpinEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pText) {
    if (event->type() == QEvent::KeyPress && m_pText->isEnabled()) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      const int64_t v = m_pUpDown->Value();
      const int64_t step = m_pUpDown->Increment();
      if (key == Qt::Key_Up && v + step <= m_pUpDown->Max()) {
        StoreValue(static_cast<int32_t>(v + step));
      } else if (key == Qt::Key_Down && v - step >= m_pUpDown->Min()) {
        StoreValue(static_cast<int32_t>(v - step));
      }
      // The key goes on to the text box as usual.
    } else if (event->type() == QEvent::FocusOut) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) TakeOverText(false);
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace dz
