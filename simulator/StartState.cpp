#include "StartState.h"

#include <cstdlib>

#include "PrinterFields.h"

namespace dzsim {

namespace {

// A small generator of its own, so that a seed gives the same state on every
// machine.
struct Generator {
  std::uint32_t state;
  std::uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  char From(const char* alphabet, std::size_t size) { return alphabet[Next() % size]; }
};

constexpr char kDigits[] = "0123456789";
constexpr char kIdCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr char kHostCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789-";

std::string ScrambledValue(const FieldSpec& field, Generator& random) {
  const std::string factory = field.factory;
  const std::string name = field.name;
  if (factory == "+") return "-";
  if (factory == "-") return "+";
  std::string value;
  if (name == "DhcpClientHost") {
    const std::size_t length = 1 + random.Next() % 12;
    for (std::size_t i = 0; i < length; ++i) value += random.From(kHostCharacters, sizeof kHostCharacters - 1);
    value.resize(static_cast<std::size_t>(field.width), static_cast<char>(0xFF));
    return value;
  }
  const bool id = name == "DhcpClientId";
  do {
    value.clear();
    for (int i = 0; i < field.width; ++i)
      value += id ? random.From(kIdCharacters, sizeof kIdCharacters - 1) : random.From(kDigits, sizeof kDigits - 1);
  } while (value == factory);
  return value;
}

}  // namespace

void ScrambleFields(PrinterModel& model, std::uint32_t seed) {
  Generator random{seed * 2654435761u + 1u};
  for (const FieldSpec& field : kFields) model.SetField(field.name, ScrambledValue(field, random));
}

bool LoadStateText(PrinterModel& model, const std::string& text, std::string& error) {
  std::size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      error = "line " + std::to_string(number) + ": not Name=value";
      return false;
    }
    const std::string name = line.substr(0, equals);
    std::string value;
    for (std::size_t i = equals + 1; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 3 < line.size() && line[i + 1] == 'x') {
        value += static_cast<char>(std::strtol(line.substr(i + 2, 2).c_str(), nullptr, 16));
        i += 3;
      } else {
        value += line[i];
      }
    }
    if (!model.SetField(name, value)) {
      error = "line " + std::to_string(number) + ": " + name + " is no field or the value is not " +
              std::to_string(PrinterModel::FieldWidth(name)) + " characters wide";
      return false;
    }
  }
  return true;
}

}  // namespace dzsim
