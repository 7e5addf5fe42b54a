// What the exporter takes from a scrape and from a printer: the query
// string, the target, and a status code and text that end up in labels.
// Input: byte 0 picks the part; the rest is the query string, the target
// text, or a code (two bytes) and a status text.
// Properties: nothing crashes; a refused query or target has a reason; an
// accepted target has a host and a port and is never a URL; the metrics
// text of any code and text is one sample a line, every label value closed
// and free of raw line feeds.
#include <cctype>
#include <cstdint>
#include <map>
#include <string>

#include "ExporterAddresses.h"
#include "FuzzCheck.h"
#include "ProbeMetrics.h"

namespace {

// Walks one sample line: name, optional {labels}, space, value.
bool WellFormedSample(const std::string& p_sLine) {
  size_t i = 0;
  while (i < p_sLine.size() && (isalnum(static_cast<unsigned char>(p_sLine[i])) || p_sLine[i] == '_')) ++i;
  if (i == 0) return false;
  if (i < p_sLine.size() && p_sLine[i] == '{') {
    ++i;
    while (i < p_sLine.size() && p_sLine[i] != '}') {
      while (i < p_sLine.size() && p_sLine[i] != '=') ++i;
      if (i + 1 >= p_sLine.size() || p_sLine[i + 1] != '"') return false;
      i += 2;
      while (i < p_sLine.size() && p_sLine[i] != '"') {
        if (p_sLine[i] == '\\') ++i;
        ++i;
      }
      if (i >= p_sLine.size()) return false;
      ++i;  // the closing quote
      if (i < p_sLine.size() && p_sLine[i] == ',') ++i;
    }
    if (i >= p_sLine.size()) return false;
    ++i;
  }
  return i < p_sLine.size() && p_sLine[i] == ' ' && i + 1 < p_sLine.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const QByteArray rest(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
  switch (data[0] % 3) {
    case 0: {
      std::map<QString, QString> params;
      QString error;
      if (!exporter::ParseQuery(rest, params, error)) FUZZ_CHECK(!error.isEmpty(), "a refused query without a reason");
      break;
    }
    case 1: {
      exporter::ProbeTarget target;
      QString error;
      const QString text = QString::fromUtf8(rest);
      if (!exporter::ParseProbeTarget(text, target, error)) {
        FUZZ_CHECK(!error.isEmpty(), "a refused target without a reason");
        break;
      }
      FUZZ_CHECK(!target.host.isEmpty() && target.port != 0, "target \"%s\" without host or port",
                 text.toUtf8().constData());
      for (QChar c : {QChar('/'), QChar('@'), QChar(' '), QChar('?'), QChar('#'), QChar('%')})
        FUZZ_CHECK(!target.host.contains(c), "host \"%s\"", target.host.toUtf8().constData());
      if (target.host.contains(QLatin1Char(':')))
        FUZZ_CHECK(target.address.protocol() == QAbstractSocket::IPv6Protocol, "host \"%s\" with a colon",
                   target.host.toUtf8().constData());
      break;
    }
    case 2: {
      if (rest.size() < 2) break;
      exporter::ProbeResult result;
      result.answered = true;
      result.code = rest.left(2).toStdString();
      result.text = rest.mid(2).toStdString();
      exporter::DriftMetrics drift;
      drift.compared = true;
      drift.captions.push_back(result.text);
      const std::string text = exporter::RenderProbe(result, 0.5, &drift);
      size_t start = 0;
      while (start < text.size()) {
        const size_t end = text.find('\n', start);
        FUZZ_CHECK(end != std::string::npos, "the text does not end with a line feed");
        const std::string line = text.substr(start, end - start);
        if (line.rfind("# ", 0) != 0) FUZZ_CHECK(WellFormedSample(line), "sample line: %s", line.c_str());
        start = end + 1;
      }
      break;
    }
  }
  return 0;
}
