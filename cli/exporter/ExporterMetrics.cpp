#include "ExporterMetrics.h"

#include "MetricsText.h"

namespace exporter {

ExporterMetrics::ExporterMetrics() {
  for (ProbeOutcome outcome :
       {ProbeOutcome::Success, ProbeOutcome::Unreachable, ProbeOutcome::Timeout, ProbeOutcome::BadReply})
    m_objProbes[outcome] = 0;
}

void ExporterMetrics::CountProbe(ProbeOutcome p_eOutcome, double p_dSeconds) {
  m_objProbes[p_eOutcome] += 1;
  m_dCount += 1;
  m_dSum += p_dSeconds;
  for (size_t i = 0; i < kBuckets.size(); ++i)
    if (p_dSeconds <= kBuckets[i]) m_objBucketCounts[i] += 1;
}

void ExporterMetrics::CountRequest(const std::string& p_sPath, int p_iStatus) {
  m_objRequests[{p_sPath, p_iStatus}] += 1;
}

std::string ExporterMetrics::Render(const std::string& p_sVersion) const {
  MetricsText text;
  text.Family("dazavu_exporter_build_info", "gauge", "The exporter's version; always 1.");
  text.Sample("dazavu_exporter_build_info", {{"version", p_sVersion}}, 1);
  text.Family("dazavu_exporter_probes_total", "counter", "Probes done, by outcome.");
  for (const auto& [outcome, count] : m_objProbes)
    text.Sample("dazavu_exporter_probes_total", {{"outcome", OutcomeName(outcome)}}, count);
  text.Family("dazavu_exporter_probe_duration_seconds", "histogram", "How long the probes took.");
  for (size_t i = 0; i < kBuckets.size(); ++i)
    text.Sample("dazavu_exporter_probe_duration_seconds_bucket", {{"le", FormatValue(kBuckets[i])}},
                m_objBucketCounts[i]);
  text.Sample("dazavu_exporter_probe_duration_seconds_bucket", {{"le", "+Inf"}}, m_dCount);
  text.Sample("dazavu_exporter_probe_duration_seconds_sum", m_dSum);
  text.Sample("dazavu_exporter_probe_duration_seconds_count", m_dCount);
  text.Family("dazavu_exporter_http_requests_total", "counter", "HTTP requests answered, by path and status code.");
  for (const auto& [key, count] : m_objRequests)
    text.Sample("dazavu_exporter_http_requests_total", {{"code", std::to_string(key.second)}, {"path", key.first}},
                count);
  return text.Text();
}

}  // namespace exporter
