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
std::vector<Difference> DifferencesOf(AsyncPrinter& p_objPrinter, const SettingsFile& p_objFile) {
  CItemManager expected;
  LoadSettings(p_objFile, expected);
  return CompareSettings(p_objPrinter.Items(), expected, RowsCompared(p_objFile.kind));
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
// false; writes the audit line. Each step starts the next when its reply is
// in; p_fnDone is called once at the end.
void WriteFilesJob(const std::vector<SettingsFile>& p_objFiles, bool p_bVerify,
                   std::shared_ptr<const WriteSafeguards> p_objGuards, const Target& p_objTarget,
                   AsyncPrinter& p_objPrinter, PrinterResult& p_objResult, const std::function<void()>& p_fnDone) {
  struct Job {
    std::vector<SettingsFile> files;
    bool verify;
    std::shared_ptr<const WriteSafeguards> guards;
    const Target& target;
    AsyncPrinter& printer;
    PrinterResult& result;
    std::function<void()> done;
    std::vector<AuditChange> changes;
  };
  auto job = std::make_shared<Job>(
      Job{p_objFiles, p_bVerify, std::move(p_objGuards), p_objTarget, p_objPrinter, p_objResult, p_fnDone, {}});
  const auto fail = [job](const QString& p_sOutcomePrefix) {
    job->guards->Audit(job->target, job->changes, p_sOutcomePrefix + job->result.error, job->result);
    job->done();
  };
  const auto compare = [job] {
    std::vector<Difference> all;
    QJsonArray written;
    for (const SettingsFile& file : job->files) {
      const std::vector<Difference> differences = DifferencesOf(job->printer, file);
      if (differences.empty()) {
        written.append(file.path);
        job->result.lines << QStringLiteral("%1\twritten %2").arg(job->result.target, file.path);
      }
      all.insert(all.end(), differences.begin(), differences.end());
    }
    job->result.json[QStringLiteral("written")] = written;
    job->result.json[QStringLiteral("differences")] = DifferenceRows(all, "printer", "file");
    for (const Difference& d : all) job->result.lines << job->result.target + QLatin1Char('\t') + DifferenceLine(d);
    if (!all.empty()) job->result.exit = kExitDifferent;
    job->result.ok = true;
    job->guards->Audit(job->target, job->changes, all.empty() ? QStringLiteral("ok") : QStringLiteral("different"),
                       job->result);
    job->done();
  };
  const auto send = [job, fail, compare] {
    std::vector<std::string> lines;
    QJsonArray paths;
    for (const SettingsFile& file : job->files) {
      lines.insert(lines.end(), file.lines.begin(), file.lines.end());
      paths.append(file.path);
    }
    // Once begun, a printer's lines and its read-back run to their end.
    job->printer.Send(lines, [job, fail, compare, paths](bool p_bSent) {
      if (!Done(job->printer, job->result, p_bSent)) return fail(QStringLiteral("error: "));
      job->result.json[QStringLiteral("sent")] = paths;
      if (!job->verify) {
        for (const SettingsFile& file : job->files)
          job->result.lines << QStringLiteral("%1\tsent %2").arg(job->result.target, file.path);
        job->result.ok = true;
        job->guards->Audit(job->target, job->changes, QStringLiteral("sent"), job->result);
        return job->done();
      }
      job->printer.ReadRecords(KindsOf(job->files), [job, fail, compare](bool p_bRead) {
        if (!Done(job->printer, job->result, p_bRead)) return fail(QStringLiteral("error: "));
        compare();
      });
    });
  };
  // Nothing is written to a printer that has not answered.
  p_objPrinter.Status([job, send](bool p_bOk, const QString&, const QString&) {
    if (!Done(job->printer, job->result, p_bOk)) return job->done();
    if (!job->guards->BackingUp()) return send();
    // The backup reads what the printer holds; the audit names what the files
    // change of it (a setting the printer does not report is not known).
    job->printer.ReadRecords(BackupKinds(), [job, send](bool p_bRead) {
      if (!Done(job->printer, job->result, p_bRead)) return job->done();
      if (!job->guards->Backup(job->target, job->printer.Items(), job->result)) return job->done();
      for (const SettingsFile& file : job->files) {
        CItemManager expected;
        LoadSettings(file, expected);
        for (const Difference& d : CompareSettings(job->printer.Items(), expected, RowsCompared(file.kind)))
          job->changes.push_back({QString::fromLatin1(d.row->caption), Latin1(d.a), Latin1(d.b)});
      }
      send();
    });
  });
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
  return RunPerPrinterOnLoop(
      p_objOptions,
      [=](const Target& target, AsyncPrinter& printer, PrinterResult& result, const std::function<void()>& done) {
        if (p_bWrite) {
          WriteFilesJob(files, verify, guards, target, printer, result, done);
          return;
        }
        printer.ReadRecords(KindsOf(files), [=, &printer, &result](bool ok) {
          if (Done(printer, result, ok)) {
            std::vector<Difference> all;
            for (const SettingsFile& file : files) {
              const std::vector<Difference> differences = DifferencesOf(printer, file);
              all.insert(all.end(), differences.begin(), differences.end());
            }
            result.json[QStringLiteral("differences")] = DifferenceRows(all, "printer", "file");
            for (const Difference& d : all) result.lines << result.target + QLatin1Char('\t') + DifferenceLine(d);
            if (!all.empty()) result.exit = kExitDifferent;
            if (all.empty()) result.lines << QStringLiteral("%1\tsame").arg(result.target);
            result.ok = true;
          }
          done();
        });
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
  return RunPerPrinterOnLoop(
      p_objOptions,
      [=](const Target& target, AsyncPrinter& printer, PrinterResult& result, const std::function<void()>& done) {
        const auto files = own.find(target.FileStem());
        if (files == own.end() || files->second.empty()) {
          result.error = QStringLiteral("no %1.dt1 or %1.dt2 in %2").arg(target.FileStem(), from);
          return done();
        }
        WriteFilesJob(files->second, true, guards, target, printer, result, done);
      },
      p_bProgress);
}

}  // namespace cli
