#include "ProbeMetrics.h"

#include "MetricsText.h"
#include "StatusConditions.h"

namespace exporter {

int StatusCodeNumber(const ProbeResult& p_objResult) {
  const std::string& code = p_objResult.code;
  if (!p_objResult.answered || code.size() != 2 || code[0] < '0' || code[0] > '9' || code[1] < '0' || code[1] > '9')
    return -1;
  return (code[0] - '0') * 10 + (code[1] - '0');
}

std::string RenderProbe(const ProbeResult& p_objResult, double p_dSeconds, const DriftMetrics* p_pDrift) {
  MetricsText text;
  text.Family("dazavu_up", "gauge", "Whether the printer answered the status request with a valid status reply.");
  text.Sample("dazavu_up", p_objResult.answered ? 1 : 0);
  text.Family("dazavu_status_code", "gauge", "The printer's status code as a number, -1 without a reply.");
  text.Sample("dazavu_status_code", StatusCodeNumber(p_objResult));
  text.Family("dazavu_printer_condition", "gauge",
              "1 for the condition of the status table the printer reports, 0 for every other.");
  for (const dz::StatusCondition& row : dz::StatusConditions())
    text.Sample("dazavu_printer_condition", {{"code", row.code}, {"condition", row.condition}},
                p_objResult.answered && p_objResult.code == row.code ? 1 : 0);
  if (p_objResult.answered) {
    text.Family("dazavu_status_info", "gauge", "The status code and its text, as the window shows it.");
    text.Sample("dazavu_status_info", {{"code", dz::PrintableCode(p_objResult.code)}, {"text", p_objResult.text}}, 1);
  }
  text.Family("dazavu_probe_duration_seconds", "gauge", "How long the probe took.");
  text.Sample("dazavu_probe_duration_seconds", p_dSeconds);
  if (p_pDrift && p_pDrift->compared) {
    text.Family("dazavu_settings_differences", "gauge", "The number of settings that differ from the profile.");
    text.Sample("dazavu_settings_differences", static_cast<double>(p_pDrift->captions.size()));
    text.Family("dazavu_settings_difference", "gauge", "1 for each setting that differs from the profile.");
    for (const std::string& caption : p_pDrift->captions)
      text.Sample("dazavu_settings_difference", {{"caption", caption}}, 1);
  }
  return text.Text();
}

}  // namespace exporter
