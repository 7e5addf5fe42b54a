#pragma once
// One printer setting: its current value, its default, the width and data
// type of the record field that carries it, and a flag that pins it to its
// default. GetValueString gives the exact text of the record field.
#include <cstdint>
#include <string>
#include <variant>

// A value: empty, a whole number, a double or a single-byte text (Latin-1).
using Value = std::variant<std::monostate, int32_t, double, std::string>;

// Data type codes of a record field.
enum : int16_t { TypeText = 0, TypeDecimal = 1, TypeHex = 4 };

// Reads a value as a number: whole and floating-point numbers as they are,
// empty as 0, a text as a decimal number (surrounding blanks and a leading
// sign allowed, "012" reads 12). Returns false (and 0) for a text that is not
// a number.
bool ValueToNumber(const Value& value, double& number);
double ValueToNumber(const Value& value);

// A value as text: empty gives "", a whole number its decimal digits, a double
// its shortest decimal form (27.0 gives "27"), a text itself.
std::string ValueToText(const Value& value);

// Reads a text as hexadecimal: digits 0-9, A-F in either case from the start
// up to the first other character, as a 32-bit unsigned quantity (FFFF gives
// 65535, more than eight digits keep the low 32 bits); no digit gives 0.
int64_t ReadHexText(const std::string& text);
// The value of one hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(char c);

class CItem {
 public:
  Value m_vValue;
  int16_t m_iLength = 0;
  int16_t m_iDataType = TypeText;
  Value m_vDefaultValue;
  bool m_bFixedValue = false;

  void InitializeValue(const Value& p_vValue, bool p_bFixedValue = false);
  bool SetValue(const Value& p_vValue);
  Value GetValue(bool p_bDefaultValue = false) const;
  std::string GetValueString(bool p_bDefaultValue = false) const;

 private:
  static std::string RepeatString(const std::string& text, int count);
  static std::string ZeroPadLeft(const std::string& text, int width);
};
