// The spin edit's taking over of typed text when the text box loses the focus.
// Input: byte 0 mode (bits 0-1: decimal places 0-2, 3 = hexadecimal; bits
// 2-3: locale; bit 4: limits times 65536, reaching the 32-bit ends; bit 5:
// the text is Latin-1 rather than UTF-8), bytes 1-2 and 3-4 the limits
// (16-bit), byte 5 the step, bytes 6-7 the value, byte 8 the typing limit,
// the rest the typed text.
#include <cmath>
#include <cstdint>
#include <cstring>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>

#include "FuzzCheck.h"
#include "common/MessageBox.h"
#include "widgets/UCSpinEdit.h"

namespace {

struct Harness {
  QApplication* app = nullptr;
  dz::UCSpinEdit* edit = nullptr;
  int messages = 0;
  int signals_ = 0;
  int lastSignalled = 0;
};

Harness& Instance() {
  static Harness h;
  if (!h.app) {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    h.app = new QApplication(argc, argv);
    h.edit = new dz::UCSpinEdit;
    dz::SetMessageAnswerer([](const QString& text, int, const QString&) {
      FUZZ_CHECK(text == dz::UCSpinEdit::kRangeMessage, "unexpected message \"%s\"", text.toUtf8().constData());
      ++h.messages;
      return static_cast<int>(dz::AnswerOk);
    });
    QObject::connect(h.edit, &dz::UCSpinEdit::valueChanged, [](int value) {
      ++h.signals_;
      h.lastSignalled = value;
    });
  }
  return h;
}

int16_t Read16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

// Types text into the box and leaves it. Returns what the box held when it
// was left: the typing limit cuts longer text.
QString TypeAndLeave(dz::UCSpinEdit& edit, const QString& text) {
  edit.TextBox()->setText(text);
  edit.TextBox()->setModified(true);
  const QString held = edit.TextBox()->text();
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(edit.TextBox(), &leave);
  return held;
}

// The value the shown text stands for, read independently of the control.
bool ReadShown(const QString& shown, bool hex, int places, int64_t& value) {
  if (hex) {
    static const QRegularExpression digits(QStringLiteral("^[0-9A-F]{2,9}$"));
    if (!digits.match(shown).hasMatch()) return false;
    bool ok = false;
    value = static_cast<int32_t>(static_cast<uint32_t>(shown.toULongLong(&ok, 16)));
    return ok;
  }
  QString plain = shown;
  plain.replace(QLocale().decimalPoint(), QStringLiteral("."));
  const QRegularExpression form(places == 0 ? QStringLiteral("^-?[0-9]+$")
                                            : QStringLiteral("^-?[0-9]+\\.[0-9]{%1}$").arg(places));
  if (!form.match(plain).hasMatch()) return false;
  bool ok = false;
  value = std::llround(plain.toDouble(&ok) * std::pow(10.0, places));
  return ok;
}

// For plain typed numbers the taken-over value is known in advance.
bool ExpectedFromTyped(const QString& typed, bool hex, int places, double& number) {
  if (hex) {
    static const QRegularExpression prefix(QStringLiteral("^[0-9A-Fa-f]{1,8}(?![0-9A-Fa-f])"));
    const QRegularExpressionMatch m = prefix.match(typed);
    if (!m.hasMatch()) return false;
    number = static_cast<int32_t>(static_cast<uint32_t>(m.captured(0).toULongLong(nullptr, 16)));
    return true;
  }
  if (places != 0) return false;
  static const QRegularExpression whole(QStringLiteral("^ *[+-]?[0-9]{1,9} *$"));
  if (!whole.match(typed).hasMatch()) return false;
  number = typed.trimmed().toLongLong();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  Harness& h = Instance();
  dz::UCSpinEdit& edit = *h.edit;

  const bool hex = (data[0] & 3) == 3;
  const int places = hex ? 0 : data[0] & 3;
  static const QLocale kLocales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                     QLocale(QLocale::French, QLocale::Switzerland),
                                     QLocale(QLocale::Arabic, QLocale::Egypt)};
  QLocale::setDefault(kLocales[(data[0] >> 2) & 3]);
  const int64_t scale = (data[0] & 16) ? 65536 : 1;
  int64_t lo = Read16(data + 1) * scale, hi = Read16(data + 3) * scale;
  if (lo > hi) std::swap(lo, hi);
  lo = std::max<int64_t>(lo, INT32_MIN);
  hi = std::min<int64_t>(hi, INT32_MAX);
  const int step = std::max(1, int{data[5]});
  const int64_t start = std::clamp<int64_t>(Read16(data + 6) * scale, lo, hi);
  const int limit = data[8] % 16;
  const char* text = reinterpret_cast<const char*>(data + 9);
  const int length = static_cast<int>(size - 9);
  const QString typed = (data[0] & 32) ? QString::fromLatin1(text, length) : QString::fromUtf8(text, length);

  edit.InitializeSpinEdit(static_cast<qlonglong>(start), static_cast<qlonglong>(hi), static_cast<qlonglong>(lo), step,
                          limit, places, hex);
  FUZZ_CHECK(edit.UpDown()->Value() == start, "initial value %d, not %lld", edit.UpDown()->Value(),
             static_cast<long long>(start));

  h.messages = 0;
  h.signals_ = 0;
  const QString what = TypeAndLeave(edit, typed);
  const int32_t v = edit.UpDown()->Value();
  const QString shown = edit.TextBox()->text();

  FUZZ_CHECK(v >= lo && v <= hi, "value %d outside [%lld, %lld]", v, static_cast<long long>(lo),
             static_cast<long long>(hi));
  FUZZ_CHECK(h.messages <= 1, "%d messages for one take-over", h.messages);
  if (h.messages == 1) FUZZ_CHECK(v == start, "the range message was shown but the value moved to %d", v);
  if (v != start)
    FUZZ_CHECK(h.signals_ == 1 && h.lastSignalled == v, "value moved to %d with %d signals", v, h.signals_);
  else
    FUZZ_CHECK(h.signals_ == 0, "value stayed but %d signals", h.signals_);

  // The shown text is derived from the value.
  int64_t read = 0;
  FUZZ_CHECK(ReadShown(shown, hex, places, read), "shown \"%s\" is no value text", shown.toUtf8().constData());
  FUZZ_CHECK(read == v, "shown \"%s\" reads %lld, value %d", shown.toUtf8().constData(), static_cast<long long>(read),
             v);

  double number = 0;
  if (ExpectedFromTyped(what, hex, places, number)) {
    if (number >= lo && number <= hi)
      FUZZ_CHECK(v == number && h.messages == 0, "typed \"%s\" in range gave %d", what.toUtf8().constData(), v);
    else
      FUZZ_CHECK(v == start && h.messages == 1, "typed \"%s\" out of range gave %d, %d messages",
                 what.toUtf8().constData(), v, h.messages);
  }

  // Taking over the shown text again changes nothing and says nothing.
  h.messages = 0;
  h.signals_ = 0;
  TypeAndLeave(edit, shown);
  FUZZ_CHECK(edit.UpDown()->Value() == v && edit.TextBox()->text() == shown && h.messages == 0 && h.signals_ == 0,
             "taking over shown \"%s\" (value %d) gave \"%s\" (value %d), %d messages", shown.toUtf8().constData(), v,
             edit.TextBox()->text().toUtf8().constData(), edit.UpDown()->Value(), h.messages);
  return 0;
}
