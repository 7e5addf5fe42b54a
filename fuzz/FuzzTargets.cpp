// dazavu's option, target and hosts-file parsing with arbitrary words.
// Input: byte 0 picks the part; the rest are NUL-separated words (options)
// or one target text, or a hosts file's bytes.
// Properties: nothing crashes or waits; every printer parsed has a name that
// parses back to the same printer; a value option never takes its value
// from nowhere.
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "Options.h"
#include "Target.h"

namespace {

void CheckTarget(const Target& target) {
  if (target.kind != Target::Lan) return;
  FUZZ_CHECK(!target.host.isEmpty() && target.port != 0, "LAN target \"%s\" without host or port",
             target.Name().toUtf8().constData());
  Target again;
  QString error;
  FUZZ_CHECK(ParseLanTarget(target.Name(), again, error), "\"%s\" does not parse back: %s",
             target.Name().toUtf8().constData(), error.toUtf8().constData());
  FUZZ_CHECK(again.Name() == target.Name(), "\"%s\" parses back as \"%s\"", target.Name().toUtf8().constData(),
             again.Name().toUtf8().constData());
}

QString HostsPath() {
  static QTemporaryDir dir;
  return dir.filePath(QStringLiteral("hosts"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const QByteArray rest(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
  switch (data[0] % 3) {
    case 0: {
      QStringList words;
      for (const QByteArray& word : rest.split('\0')) {
        const QString text = QString::fromUtf8(word);
        // Hosts files are fuzzed on their own; here they would read any path
        // (or standard input).
        if (text.startsWith(QLatin1String("--hosts"))) continue;
        words << text;
      }
      cli::Options options;
      QString error;
      const bool parsed = cli::ParseOptions(words, options, error);
      FUZZ_CHECK(parsed || !error.isEmpty(), "a refused command line without a reason");
      for (const Target& target : options.targets) CheckTarget(target);
      if (parsed) FUZZ_CHECK(options.timeout > 0 && options.timeout <= 3600, "timeout %f", options.timeout);
      if (parsed) FUZZ_CHECK(options.jobs >= 1 && options.jobs <= 1024, "jobs %d", options.jobs);
      break;
    }
    case 1: {
      Target target;
      QString error;
      if (ParseLanTarget(QString::fromUtf8(rest), target, error)) CheckTarget(target);
      break;
    }
    default: {
      QFile file(HostsPath());
      if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
      file.write(rest);
      file.close();
      std::vector<Target> targets;
      QString error;
      const bool read = ReadHostsFile(HostsPath(), targets, error);
      FUZZ_CHECK(read || !error.isEmpty(), "a refused hosts file without a reason");
      for (const Target& target : targets) CheckTarget(target);
      break;
    }
  }
  return 0;
}
