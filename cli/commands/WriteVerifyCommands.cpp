// write and verify: settings files onto each printer, and each printer's
// settings checked against them.
#include "Commands.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <map>
#include <memory>

#include "CommandLine.h"
#include "Output.h"
#include "PerPrinter.h"
#include "RecordKinds.h"
#include "Safeguards.h"
#include "SettingsFile.h"
#include "SettingsSources.h"

namespace cli {

namespace {

std::vector<int> KindsOf(const std::vector<SettingsFile>& p_objFiles) {
  std::vector<int> kinds;
  for (const SettingsFile& file : p_objFiles) {
    const std::vector<int>& more = file.kind == FileKind::Lan ? kLanKinds : kParameterKinds;
    kinds.insert(kinds.end(), more.begin(), more.end());
  }
  return kinds;
}

// The differences between what the printer holds and what one file
// carries, on the settings both have.
std::vector<Difference> DifferencesOf(PrinterSession& p_objSession, const SettingsFile& p_objFile) {
  CItemManager expected;
  LoadSettings(p_objFile, expected);
  return CompareSettings(p_objSession.Items(), expected, RowsCompared(p_objFile.kind));
}

// "192.168.010.020" of the ".dt2" IP address line, as 192.168.10.20.
QString StaticAddressOf(const SettingsFile& p_objFile) {
  QStringList parts;
  for (int i = 0; i < 4; ++i)
    parts << QString::number(QString::fromLatin1(p_objFile.lines[0].substr(6 + 4 * i, 3).c_str()).toInt());
  return parts.join(QLatin1Char('.'));
}

// Writes the checked files to a printer that has answered a status request,
// after saving its settings; reads back and compares unless p_bVerify is
// false; writes the audit line.
void WriteFilesJob(const std::vector<SettingsFile>& p_objFiles, bool p_bVerify, const WriteSafeguards& p_objGuards,
                   const Target& p_objTarget, PrinterSession& p_objSession, PrinterResult& p_objResult) {
  // Nothing is written to a printer that has not answered.
  QString text, code;
  if (!Done(p_objSession, p_objResult, p_objSession.Status(text, code))) return;
  // The backup reads what the printer holds; the audit names what the files
  // change of it (a setting the printer does not report is not known).
  std::vector<AuditChange> changes;
  if (p_objGuards.BackingUp()) {
    if (!Done(p_objSession, p_objResult, p_objSession.ReadRecords(BackupKinds()))) return;
    if (!p_objGuards.Backup(p_objTarget, p_objSession.Items(), p_objResult)) return;
    for (const SettingsFile& file : p_objFiles) {
      CItemManager expected;
      LoadSettings(file, expected);
      for (const Difference& d : CompareSettings(p_objSession.Items(), expected, RowsCompared(file.kind)))
        changes.push_back({QString::fromLatin1(d.row->caption), Latin1(d.a), Latin1(d.b)});
    }
  }
  QJsonArray sent;
  for (const SettingsFile& file : p_objFiles) {
    for (const std::string& line : file.lines)
      if (!Done(p_objSession, p_objResult, p_objSession.Send(line))) {
        p_objGuards.Audit(p_objTarget, changes, QStringLiteral("error: ") + p_objResult.error, p_objResult);
        return;
      }
    sent.append(file.path);
  }
  p_objResult.json[QStringLiteral("sent")] = sent;
  if (!p_bVerify) {
    for (const SettingsFile& file : p_objFiles)
      p_objResult.lines << QStringLiteral("%1\tsent %2").arg(p_objResult.target, file.path);
    p_objResult.ok = true;
    p_objGuards.Audit(p_objTarget, changes, QStringLiteral("sent"), p_objResult);
    return;
  }
  if (!Done(p_objSession, p_objResult, p_objSession.ReadRecords(KindsOf(p_objFiles)))) {
    p_objGuards.Audit(p_objTarget, changes, QStringLiteral("error: ") + p_objResult.error, p_objResult);
    return;
  }
  std::vector<Difference> all;
  QJsonArray written;
  for (const SettingsFile& file : p_objFiles) {
    const std::vector<Difference> differences = DifferencesOf(p_objSession, file);
    if (differences.empty()) {
      written.append(file.path);
      p_objResult.lines << QStringLiteral("%1\twritten %2").arg(p_objResult.target, file.path);
    }
    all.insert(all.end(), differences.begin(), differences.end());
  }
  p_objResult.json[QStringLiteral("written")] = written;
  p_objResult.json[QStringLiteral("differences")] = DifferenceRows(all, "printer", "file");
  for (const Difference& d : all) p_objResult.lines << p_objResult.target + QLatin1Char('\t') + DifferenceLine(d);
  if (!all.empty()) p_objResult.exit = kExitDifferent;
  p_objResult.ok = true;
  p_objGuards.Audit(p_objTarget, changes, all.empty() ? QStringLiteral("ok") : QStringLiteral("different"),
                    p_objResult);
}

}  // namespace

int Write(const Options& p_objOptions, bool p_bProgress, bool p_bWrite) {
  if (p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("name at least one settings file"));
  // Each file is read once and checked whole before any printer is
  // contacted; its checked lines are what every printer is sent.
  std::vector<SettingsFile> files;
  bool params = false, lan = false;
  for (const QString& path : p_objOptions.positional) {
    SettingsFile file;
    QString error;
    if (!ReadSettingsFileChecked(path, file, error)) return Refuse(p_objOptions, kExitRejected, error);
    bool& seen = file.kind == FileKind::Lan ? lan : params;
    if (seen)
      return Refuse(p_objOptions, kExitUsage,
                    QStringLiteral("name at most one parameter (.dt1) and one LAN (.dt2) settings file"));
    seen = true;
    files.push_back(file);
  }
  if (p_bWrite && p_objOptions.targets.size() > 1) {
    for (const SettingsFile& file : files) {
      // The DHCP line's setting 0 is DHCP off: the file gives the printer
      // its static address, which only one printer may have.
      if (file.kind == FileKind::Lan && file.lines[4][4] == '0')
        return Refuse(p_objOptions, kExitUsage,
                      QStringLiteral("%1 sets the static address %2 (DHCP OFF): it can be written to one printer, "
                                     "not to %3")
                          .arg(file.path, StaticAddressOf(file))
                          .arg(p_objOptions.targets.size()));
    }
  }
  const bool verify = !p_bWrite || !p_objOptions.noVerify;
  auto guards = std::make_shared<WriteSafeguards>();
  QString error;
  if (p_bWrite && !guards->Prepare(p_objOptions, error)) return Refuse(p_objOptions, kExitUsage, error);
  return RunPerSession(
      p_objOptions,
      [=](const Target& target, PrinterSession& session, PrinterResult& result) {
        if (p_bWrite) {
          WriteFilesJob(files, verify, *guards, target, session, result);
          return;
        }
        if (!Done(session, result, session.ReadRecords(KindsOf(files)))) return;
        std::vector<Difference> all;
        for (const SettingsFile& file : files) {
          const std::vector<Difference> differences = DifferencesOf(session, file);
          all.insert(all.end(), differences.begin(), differences.end());
        }
        result.json[QStringLiteral("differences")] = DifferenceRows(all, "printer", "file");
        for (const Difference& d : all) result.lines << result.target + QLatin1Char('\t') + DifferenceLine(d);
        if (!all.empty()) result.exit = kExitDifferent;
        if (all.empty()) result.lines << QStringLiteral("%1\tsame").arg(result.target);
        result.ok = true;
      },
      p_bProgress);
}

int Restore(const Options& p_objOptions, bool p_bProgress) {
  const QString from = p_objOptions.Value("from");
  if (from.isEmpty() || !p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("restore takes --from DIR and no other arguments"));
  if (!QFileInfo(from).isDir()) return Refuse(p_objOptions, kExitUsage, QStringLiteral("%1 is not a folder").arg(from));
  // Each printer's own files, each read once and checked whole before any
  // printer is contacted, as write checks its files.
  std::map<QString, std::vector<SettingsFile>> own;
  for (const Target& target : p_objOptions.targets) {
    std::vector<SettingsFile>& files = own[target.FileStem()];
    for (const char* extension : {".dt1", ".dt2"}) {
      const QString path = QDir(from).filePath(target.FileStem() + QLatin1String(extension));
      if (!QFileInfo::exists(path)) continue;
      SettingsFile file;
      QString error;
      if (!ReadSettingsFileChecked(path, file, error)) return Refuse(p_objOptions, kExitRejected, error);
      files.push_back(file);
    }
  }
  auto guards = std::make_shared<WriteSafeguards>();
  QString error;
  if (!guards->Prepare(p_objOptions, error)) return Refuse(p_objOptions, kExitUsage, error);
  return RunPerSession(
      p_objOptions,
      [=](const Target& target, PrinterSession& session, PrinterResult& result) {
        const auto files = own.find(target.FileStem());
        if (files == own.end() || files->second.empty()) {
          result.error = QStringLiteral("no %1.dt1 or %1.dt2 in %2").arg(target.FileStem(), from);
          return;
        }
        WriteFilesJob(files->second, true, *guards, target, session, result);
      },
      p_bProgress);
}

}  // namespace cli
