#pragma once
// The metrics of one probe, as /probe answers them.
#include <string>
#include <vector>

#include "StatusProbe.h"

namespace exporter {

struct DriftMetrics {
  bool compared = false;              // the records were read and compared
  std::vector<std::string> captions;  // the settings that differ
};

// dazavu_up, dazavu_status_code, one dazavu_printer_condition a status
// code of the table, dazavu_status_info (after a reply),
// dazavu_probe_duration_seconds and, with a profile whose records were read,
// dazavu_settings_differences and one dazavu_settings_difference a setting.
std::string RenderProbe(const ProbeResult& p_objResult, double p_dSeconds, const DriftMetrics* p_pDrift);

// The status code as a number: "13" is 13; -1 without a reply or for a code
// that is not two digits.
int StatusCodeNumber(const ProbeResult& p_objResult);

}  // namespace exporter
