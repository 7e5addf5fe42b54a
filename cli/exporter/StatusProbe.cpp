#include "StatusProbe.h"

namespace exporter {

const char* OutcomeName(ProbeOutcome p_eOutcome) {
  switch (p_eOutcome) {
    case ProbeOutcome::Success:
      return "success";
    case ProbeOutcome::Unreachable:
      return "unreachable";
    case ProbeOutcome::Timeout:
      return "timeout";
    case ProbeOutcome::BadReply:
      return "bad_reply";
  }
  return "unknown";
}

}  // namespace exporter
