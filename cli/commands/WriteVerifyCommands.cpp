// write and verify: settings files onto each printer, and each printer's
// settings checked against them.
#include "Commands.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <memory>

#include "CommandLine.h"
#include "Output.h"
#include "PerPrinter.h"
#include "RecordKinds.h"
#include "Safeguards.h"
#include "SettingInput.h"
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

namespace {

// Writes the files as the window's SET sends them, after the backup, then
// reads back and compares when asked, and writes the audit line.
void WriteFilesJob(const QStringList& p_objFiles, bool p_bVerify, const WriteSafeguards& p_objGuards,
                   const Target& p_objTarget, PrinterSession& p_objSession, PrinterResult& p_objResult) {
  // What the printer held, when a backup reads it first.
  CItemManager before;
  const bool backingUp = p_objGuards.BackingUp();
  if (backingUp) {
    if (!Done(p_objSession, p_objResult, p_objSession.ReadRecords(BackupKinds()))) return;
    const std::vector<CItem*> from = p_objSession.Items().AllItems();
    const std::vector<CItem*> to = before.AllItems();
    for (size_t i = 0; i < from.size() && i < to.size(); ++i) to[i]->m_vValue = from[i]->m_vValue;
    if (!p_objGuards.Backup(p_objTarget, before, p_objResult)) return;
  }
  // The settings the files change, for the audit log.
  std::vector<AuditChange> changes;
  if (backingUp) {
    CItemManager expected;
    QString error;
    for (const QString& path : p_objFiles) LoadSettingsFile(path, expected, error);
    for (FileKind kind : {FileKind::Parameter, FileKind::Lan}) {
      bool carried = false;
      for (const QString& path : p_objFiles) carried = carried || KindOfFile(path) == kind;
      if (!carried) continue;
      for (const Difference& d : CompareSettings(before, expected, RowsOf(kind)))
        if (dz::IsReportedByPrinter(*d.row))
          changes.push_back({QString::fromLatin1(d.row->caption), Latin1(d.a), Latin1(d.b)});
    }
  }
  QJsonArray written;
  for (const QString& path : p_objFiles) {
    QString loadError;
    LoadSettingsFile(path, p_objSession.Items(), loadError);
    // SET on the page of the file: its records from the loaded values.
    const std::vector<std::string> lines = KindOfFile(path) == FileKind::Lan
                                               ? BuildLanFileLines(p_objSession.Items())
                                               : BuildParameterFileLines(p_objSession.Items());
    for (const std::string& line : lines)
      if (!Done(p_objSession, p_objResult, p_objSession.Send(line))) {
        p_objGuards.Audit(p_objTarget, changes, QStringLiteral("error: ") + p_objResult.error, p_objResult);
        return;
      }
    written.append(path);
    p_objResult.lines << QStringLiteral("%1\twritten %2").arg(p_objResult.target, path);
  }
  p_objResult.json[QStringLiteral("written")] = written;
  if (p_bVerify) {
    if (!Done(p_objSession, p_objResult, p_objSession.ReadRecords(KindsOf(p_objFiles)))) {
      p_objGuards.Audit(p_objTarget, changes, QStringLiteral("error: ") + p_objResult.error, p_objResult);
      return;
    }
    ReportVerify(VerifyAgainst(p_objSession, p_objFiles), p_objResult);
  }
  p_objResult.ok = true;
  p_objGuards.Audit(p_objTarget, changes,
                    p_objResult.exit == kExitOk ? QStringLiteral("ok") : QStringLiteral("different"), p_objResult);
}

}  // namespace

int Write(const Options& p_objOptions, bool p_bProgress, bool p_bWrite) {
  const QStringList files = p_objOptions.positional;
  if (files.isEmpty()) return Refuse(p_objOptions, kExitUsage, QStringLiteral("name at least one settings file"));
  QString error;
  if (!CheckFiles(files, error)) return Refuse(p_objOptions, kExitRejected, error);
  const bool verify = p_objOptions.verify || !p_bWrite;
  auto guards = std::make_shared<WriteSafeguards>();
  if (p_bWrite && !guards->Prepare(p_objOptions, error)) return Refuse(p_objOptions, kExitUsage, error);
  return RunPerSession(
      p_objOptions,
      [=](const Target& target, PrinterSession& session, PrinterResult& result) {
        if (p_bWrite) {
          WriteFilesJob(files, verify, *guards, target, session, result);
          return;
        }
        if (!Done(session, result, session.ReadRecords(KindsOf(files)))) return;
        ReportVerify(VerifyAgainst(session, files), result);
        if (result.exit == kExitOk) result.lines << QStringLiteral("%1\tsame").arg(result.target);
        result.ok = true;
      },
      p_bProgress);
}

int Restore(const Options& p_objOptions, bool p_bProgress) {
  const QString from = p_objOptions.Value("from");
  if (from.isEmpty() || !p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("restore takes --from DIR and no other arguments"));
  if (!QFileInfo(from).isDir()) return Refuse(p_objOptions, kExitUsage, QStringLiteral("%1 is not a folder").arg(from));
  // Each printer's own files, all checked as LOAD does before any is sent.
  QStringList all;
  for (const Target& target : p_objOptions.targets)
    for (const char* extension : {".dt1", ".dt2"}) {
      const QString path = QDir(from).filePath(target.FileStem() + QLatin1String(extension));
      if (QFileInfo::exists(path)) all << path;
    }
  QString error;
  if (!CheckFiles(all, error)) return Refuse(p_objOptions, kExitRejected, error);
  auto guards = std::make_shared<WriteSafeguards>();
  if (!guards->Prepare(p_objOptions, error)) return Refuse(p_objOptions, kExitUsage, error);
  return RunPerSession(
      p_objOptions,
      [=](const Target& target, PrinterSession& session, PrinterResult& result) {
        QStringList files;
        for (const char* extension : {".dt1", ".dt2"}) {
          const QString path = QDir(from).filePath(target.FileStem() + QLatin1String(extension));
          if (all.contains(path)) files << path;
        }
        if (files.isEmpty()) {
          result.error = QStringLiteral("no %1.dt1 or %1.dt2 in %2").arg(target.FileStem(), from);
          return;
        }
        WriteFilesJob(files, true, *guards, target, session, result);
      },
      p_bProgress);
}

}  // namespace cli
