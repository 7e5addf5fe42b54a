#include "CItem.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Parses [blanks][sign]digits[.digits][blanks] (or [sign].digits). Anything
// else is not a number.
bool ParseDecimalText(const std::string& text, double& number) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  double value = 0.0;
  int digits = 0;
  while (i < n && IsDigit(text[i])) {
    value = value * 10.0 + (text[i] - '0');
    ++i;
    ++digits;
  }
  if (i < n && text[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < n && IsDigit(text[i])) {
      value += (text[i] - '0') * scale;
      scale /= 10.0;
      ++i;
      ++digits;
    }
  }
  while (i < n && IsBlank(text[i])) ++i;
  if (digits == 0 || i != n || !std::isfinite(value)) {
    number = 0.0;
    return false;
  }
  number = negative ? -value : value;
  return true;
}

// A number rounded to a whole number with halves away from zero, kept inside
// what a 64-bit integer holds so that no conversion overflows.
int64_t RoundToWhole(double number) {
  if (!std::isfinite(number)) return 0;
  constexpr double kLimit = 9.0e18;
  if (number > kLimit) number = kLimit;
  if (number < -kLimit) number = -kLimit;
  return static_cast<int64_t>(std::llround(number));
}

}  // namespace

bool ValueToNumber(const Value& value, double& number) {
  if (const auto* i = std::get_if<int32_t>(&value)) {
    number = *i;
    return true;
  }
  if (const auto* d = std::get_if<double>(&value)) {
    number = std::isfinite(*d) ? *d : 0.0;
    return std::isfinite(*d);
  }
  if (const auto* s = std::get_if<std::string>(&value)) return ParseDecimalText(*s, number);
  number = 0.0;
  return true;
}

double ValueToNumber(const Value& value) {
  double number = 0.0;
  ValueToNumber(value, number);
  return number;
}

std::string ValueToText(const Value& value) {
  if (const auto* i = std::get_if<int32_t>(&value)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value)) {
    if (!std::isfinite(*d)) return "0";
    if (std::floor(*d) == *d && std::fabs(*d) < 1e15) return std::to_string(static_cast<int64_t>(*d));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", *d);
    return buffer;
  }
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  return std::string();
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int64_t ReadHexText(const std::string& text) {
  uint32_t number = 0;
  for (char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) break;
    number = (number << 4) | static_cast<uint32_t>(digit);
  }
  return number;
}

void CItem::InitializeValue(const Value& p_vValue, bool p_bFixedValue) {
  m_vValue = p_vValue;
  m_vDefaultValue = p_vValue;
  m_bFixedValue = p_bFixedValue;
}

bool CItem::SetValue(const Value& p_vValue) {
  if (m_iDataType == TypeHex) {
    // The text form is read as hexadecimal, so a whole number 27 (text "27")
    // stores 39: callers hand hexadecimal items a hexadecimal text.
    m_vValue = static_cast<double>(ReadHexText(ValueToText(p_vValue)));
  } else {
    m_vValue = p_vValue;
  }
  return true;
}

Value CItem::GetValue(bool p_bDefaultValue) const {
  return (p_bDefaultValue || m_bFixedValue) ? m_vDefaultValue : m_vValue;
}

std::string CItem::GetValueString(bool p_bDefaultValue) const {
  const Value v = GetValue(p_bDefaultValue);
  double number = 0.0;
  const bool numeric = ValueToNumber(v, number);

  if (m_iDataType == TypeDecimal) {
    // A text that does not read as a number (a garbled field cut out of a
    // reply or a file) is written back as it stands, filled with "0" on the
    // left to the field width: the record keeps its layout and the printer
    // gets back what it sent, instead of a silently invented 0.
    if (!numeric) return ZeroPadLeft(ValueToText(v), m_iLength);
    const int64_t whole = RoundToWhole(std::fabs(number));
    const std::string digits = std::to_string(whole);
    const std::string pattern = RepeatString("0", m_iLength);
    return digits.size() >= pattern.size() ? digits : pattern.substr(digits.size()) + digits;
  }

  if (m_iDataType == TypeHex) {
    // Same rule for a hexadecimal item that holds an unreadable text (only
    // possible for a default, SetValue always stores a number).
    if (!numeric) return ZeroPadLeft(ValueToText(v), m_iLength);
    const int64_t whole = std::llrint(std::fmod(std::nearbyint(number), 4294967296.0));
    const uint32_t bits = static_cast<uint32_t>(whole);  // negatives as 32-bit two's complement
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", bits);
    return ZeroPadLeft(buffer, m_iLength);
  }

  return ValueToText(v);
}

std::string CItem::RepeatString(const std::string& text, int count) {
  std::string result;
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

std::string CItem::ZeroPadLeft(const std::string& text, int width) {
  if (static_cast<int>(text.size()) >= width) return text;
  return std::string(static_cast<size_t>(width) - text.size(), '0') + text;
}
