#include "MetricsText.h"

#include <charconv>
#include <cmath>

namespace exporter {

namespace {

// Whether the bytes are well-formed UTF-8.
bool IsUtf8(const std::string& p_sText) {
  size_t i = 0;
  while (i < p_sText.size()) {
    const auto byte = static_cast<unsigned char>(p_sText[i]);
    const int extra = byte < 0x80 ? 0 : (byte >> 5) == 6 ? 1 : (byte >> 4) == 14 ? 2 : (byte >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= p_sText.size()) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(p_sText[i + static_cast<size_t>(k)]) >> 6) != 2) return false;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

std::string Latin1ToUtf8(const std::string& p_sText) {
  std::string out;
  for (char c : p_sText) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

}  // namespace

void MetricsText::Family(const std::string& p_sName, const char* p_sType, const std::string& p_sHelp) {
  m_sText += "# HELP " + p_sName + ' ' + p_sHelp + "\n# TYPE " + p_sName + ' ' + p_sType + '\n';
}

void MetricsText::Sample(const std::string& p_sName, const Labels& p_objLabels, double p_dValue) {
  m_sText += p_sName;
  if (!p_objLabels.empty()) {
    m_sText += '{';
    for (size_t i = 0; i < p_objLabels.size(); ++i) {
      if (i) m_sText += ',';
      m_sText += p_objLabels[i].first + "=\"" + EscapeLabelValue(p_objLabels[i].second) + '"';
    }
    m_sText += '}';
  }
  m_sText += ' ' + FormatValue(p_dValue) + '\n';
}

std::string EscapeLabelValue(const std::string& p_sValue) {
  const std::string text = IsUtf8(p_sValue) ? p_sValue : Latin1ToUtf8(p_sValue);
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '"')
      out += "\\\"";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

std::string FormatValue(double p_dValue) {
  if (std::isnan(p_dValue)) return "NaN";
  if (std::isinf(p_dValue)) return p_dValue > 0 ? "+Inf" : "-Inf";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, p_dValue);
  return std::string(buffer, result.ptr);
}

}  // namespace exporter
