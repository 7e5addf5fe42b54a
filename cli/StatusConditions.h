#pragma once
// The printer conditions of the status table: each status code with the name
// that monitoring uses for it (snake case of its text) and how serious a
// check takes it by default.
#include <string>
#include <vector>

namespace dz {

enum class Severity { Ok = 0, Warning = 1, Critical = 2 };

struct StatusCondition {
  const char* code;       // the two-character status code
  const char* condition;  // "paper_error", "head_open_on_line", ...
  Severity severity;      // the check's default
};

// Every code of the status table, in the table's order. "00" and "41" both
// mean on line; "40" has no text and is named "no_message".
const std::vector<StatusCondition>& StatusConditions();
// The row of a code; nullptr for a code the table does not hold.
const StatusCondition* FindStatusCondition(const std::string& p_sCode);
// The code as text fit for a line or a label: printable ASCII as it is,
// any other byte as \xNN.
std::string PrintableCode(const std::string& p_sCode);

}  // namespace dz
