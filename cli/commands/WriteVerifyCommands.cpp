// write and verify: settings files onto each printer, and each printer's
// settings checked against them.
#include "Commands.h"

#include <QJsonArray>

#include "CommandLine.h"
#include "Output.h"
#include "PerPrinter.h"
#include "RecordKinds.h"
#include "SettingsFile.h"
#include "SettingsSources.h"

namespace cli {

namespace {

// Loads every file into a fresh catalogue: the check LOAD makes.
bool CheckFiles(const QStringList& p_objFiles, QString& p_sError) {
  for (const QString& path : p_objFiles) {
    CItemManager items;
    if (!LoadSettingsFile(path, items, p_sError)) return false;
  }
  return true;
}

std::vector<int> KindsOf(const QStringList& p_objFiles) {
  bool params = false, lan = false;
  for (const QString& path : p_objFiles) (KindOfFile(path) == FileKind::Lan ? lan : params) = true;
  std::vector<int> kinds;
  if (params) kinds.insert(kinds.end(), kParameterKinds.begin(), kParameterKinds.end());
  if (lan) kinds.insert(kinds.end(), kLanKinds.begin(), kLanKinds.end());
  return kinds;
}

// The differences between what the printer holds and what the files carry.
std::vector<Difference> VerifyAgainst(PrinterSession& p_objSession, const QStringList& p_objFiles) {
  CItemManager expected;
  QString error;
  for (const QString& path : p_objFiles) LoadSettingsFile(path, expected, error);
  std::vector<Difference> all;
  for (FileKind kind : {FileKind::Parameter, FileKind::Lan}) {
    bool carried = false;
    for (const QString& path : p_objFiles) carried = carried || KindOfFile(path) == kind;
    if (!carried) continue;
    for (Difference& d : CompareSettings(p_objSession.Items(), expected, RowsOf(kind))) all.push_back(d);
  }
  return all;
}

void ReportVerify(const std::vector<Difference>& p_objDifferences, PrinterResult& p_objResult) {
  p_objResult.json[QStringLiteral("differences")] = DifferenceRows(p_objDifferences, "printer", "file");
  for (const Difference& d : p_objDifferences)
    p_objResult.lines << p_objResult.target + QLatin1Char('\t') + DifferenceLine(d);
  if (!p_objDifferences.empty()) p_objResult.exit = kExitDifferent;
}

}  // namespace

int Write(const Options& p_objOptions, bool p_bProgress, bool p_bWrite) {
  const QStringList files = p_objOptions.positional;
  if (files.isEmpty()) return Refuse(p_objOptions, kExitUsage, QStringLiteral("name at least one settings file"));
  QString error;
  if (!CheckFiles(files, error)) return Refuse(p_objOptions, kExitRejected, error);
  const bool verify = p_objOptions.verify || !p_bWrite;
  return RunPerSession(
      p_objOptions,
      [=](const Target&, PrinterSession& session, PrinterResult& result) {
        if (p_bWrite) {
          QJsonArray written;
          for (const QString& path : files) {
            QString loadError;
            LoadSettingsFile(path, session.Items(), loadError);
            // SET on the page of the file: its records from the loaded values.
            const std::vector<std::string> lines = KindOfFile(path) == FileKind::Lan
                                                       ? BuildLanFileLines(session.Items())
                                                       : BuildParameterFileLines(session.Items());
            for (const std::string& line : lines)
              if (!Done(session, result, session.Send(line))) return;
            written.append(path);
            result.lines << QStringLiteral("%1\twritten %2").arg(result.target, path);
          }
          result.json[QStringLiteral("written")] = written;
        }
        if (verify) {
          if (!Done(session, result, session.ReadRecords(KindsOf(files)))) return;
          ReportVerify(VerifyAgainst(session, files), result);
          if (!p_bWrite && result.exit == kExitOk) result.lines << QStringLiteral("%1\tsame").arg(result.target);
        }
        result.ok = true;
      },
      p_bProgress);
}

}  // namespace cli
