#pragma once
// Prometheus' text exposition format (version 0.0.4): metric families with
// their HELP and TYPE lines, samples with escaped label values.
#include <string>
#include <utility>
#include <vector>

namespace exporter {

using Labels = std::vector<std::pair<std::string, std::string>>;

class MetricsText {
 public:
  // Starts a family: "# HELP name help" and "# TYPE name type".
  void Family(const std::string& p_sName, const char* p_sType, const std::string& p_sHelp);
  void Sample(const std::string& p_sName, const Labels& p_objLabels, double p_dValue);
  void Sample(const std::string& p_sName, double p_dValue) { Sample(p_sName, {}, p_dValue); }
  const std::string& Text() const { return m_sText; }

 private:
  std::string m_sText;
};

// A label value with backslash, double quote and line feed escaped; bytes
// that are not UTF-8 are taken as Latin-1 (the printer's texts are).
std::string EscapeLabelValue(const std::string& p_sValue);
// A sample value: the shortest text that reads back as the same number
// ("13", "0.0125", "1e+20"), "+Inf", "-Inf", "NaN".
std::string FormatValue(double p_dValue);

}  // namespace exporter
