#pragma once
// One probe of a LAN printer: a status request and, for a drift check, the
// reads of some records, all within one deadline. The exporter sees only this
// interface; the implementation behind it owns the connection.
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Commands.h"

namespace exporter {

enum class ProbeOutcome {
  Success,      // a valid status reply (and every record asked for)
  Unreachable,  // the connection failed or was lost
  Timeout,      // no whole reply before the deadline
  BadReply,     // an answer that is not a status (or record) reply
};
// "success", "unreachable", "timeout", "bad_reply".
const char* OutcomeName(ProbeOutcome p_eOutcome);

struct ProbeRequest {
  QHostAddress address;
  quint16 port = 8000;
  QDeadlineTimer deadline;
  std::vector<int> readKinds;  // records to read after the status, in order
};

struct ProbeResult {
  ProbeOutcome outcome = ProbeOutcome::Unreachable;
  bool answered = false;  // a valid status reply arrived
  std::string code;       // its two-character status code
  std::string text;       // its text as the window shows it
  QString error;          // what went wrong, when something did
  bool recordsRead = false;
  std::map<int, Bytes> records;  // reply frame of each read kind
};

using ProbeDone = std::function<void(const ProbeResult&)>;

class StatusProbe {
 public:
  virtual ~StatusProbe() = default;
  // Starts a probe; p_fnDone is called once, on this thread, by the deadline
  // at the latest. Probes run side by side; none waits for another.
  virtual void Start(const ProbeRequest& p_objRequest, ProbeDone p_fnDone) = 0;
};

}  // namespace exporter
