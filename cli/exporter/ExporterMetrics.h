#pragma once
// The exporter's own metrics, as /metrics answers them: probes by outcome,
// a histogram of probe durations, answered requests by path and status, and
// the build.
#include <array>
#include <map>
#include <string>
#include <utility>

#include "StatusProbe.h"

namespace exporter {

class ExporterMetrics {
 public:
  ExporterMetrics();
  void CountProbe(ProbeOutcome p_eOutcome, double p_dSeconds);
  // p_sPath is one of the exporter's paths or "other".
  void CountRequest(const std::string& p_sPath, int p_iStatus);
  std::string Render(const std::string& p_sVersion) const;

  static constexpr std::array<double, 12> kBuckets = {0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 30};

 private:
  std::map<ProbeOutcome, double> m_objProbes;
  std::array<double, kBuckets.size()> m_objBucketCounts{};
  double m_dCount = 0;
  double m_dSum = 0;
  std::map<std::pair<std::string, int>, double> m_objRequests;
};

}  // namespace exporter
