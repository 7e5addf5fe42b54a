// What dazavu sends for a settings file: for any file the whole-file check
// accepts, the lines it hands on (the lines every printer is sent) are
// exactly the file's own lines, one command each, and their byte form is
// their bytes.
// Input: the file's bytes, checked as a parameter and as a LAN settings file.
#include <cstdint>
#include <string>

#include "Commands.h"
#include "FieldChecks.h"
#include "FuzzCheck.h"

namespace {

void CheckSent(SettingsFileKind kind, const std::string& file) {
  std::vector<std::string> lines;
  const std::string problem = CheckSettingsFile(kind, file, lines);
  if (!problem.empty()) {
    FUZZ_CHECK(lines.empty(), "a rejected file hands on %zu lines", lines.size());
    return;
  }
  FUZZ_CHECK(lines.size() == (kind == SettingsFileKind::Lan ? 5u : 2u), "%zu lines accepted", lines.size());
  // The lines are the file, in order, each followed by a line end (CR LF,
  // LF or CR; the last one may have none) and nothing else.
  size_t at = 0;
  for (const std::string& line : lines) {
    FUZZ_CHECK(file.compare(at, line.size(), line) == 0, "line \"%s\" is not the file's at %zu", line.c_str(), at);
    at += line.size();
    if (at < file.size() && file[at] == '\r') ++at;
    if (at < file.size() && file[at] == '\n') ++at;
  }
  FUZZ_CHECK(at == file.size(), "%zu bytes of the file are in no line", file.size() - at);
  for (const std::string& line : lines) {
    // One command a line: one "{" at its start, "|" and "}" only in its end.
    FUZZ_CHECK(line.size() > 6 && line[0] == '{' && line.compare(line.size() - 2, 2, "|}") == 0, "line \"%s\"",
               line.c_str());
    FUZZ_CHECK(line.find_first_of("{|}", 1) == line.size() - 2, "line \"%s\" holds a frame character inside",
               line.c_str());
    for (unsigned char c : line)
      FUZZ_CHECK(c == 0xFF || !IsControlByte(c), "line \"%s\" holds the control byte %02x", line.c_str(), c);
    Bytes bytes;
    TextToBytes(line, bytes);
    FUZZ_CHECK(std::string(bytes.begin(), bytes.end()) == line, "the byte form of \"%s\" differs", line.c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  CheckSent(SettingsFileKind::Parameter, file);
  CheckSent(SettingsFileKind::Lan, file);
  return 0;
}
