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
  std::vector<std::string> lines;
  QJsonArray paths;
  for (const SettingsFile& file : files) {
    lines.insert(lines.end(), file.lines.begin(), file.lines.end());
    paths.append(file.path);
  }
  // What the printer holds against what the files carry, once its records
  // have arrived.
  const auto compare = [=](AsyncPrinter& printer, PrinterResult& result) {
    std::vector<Difference> all;
    QJsonArray written;
    for (const SettingsFile& file : files) {
      const std::vector<Difference> differences = DifferencesOf(printer, file);
      if (p_bWrite && differences.empty()) {
        written.append(file.path);
        result.lines << QStringLiteral("%1\twritten %2").arg(result.target, file.path);
      }
      all.insert(all.end(), differences.begin(), differences.end());
    }
    if (p_bWrite) result.json[QStringLiteral("written")] = written;
    result.json[QStringLiteral("differences")] = DifferenceRows(all, "printer", "file");
    for (const Difference& d : all) result.lines << result.target + QLatin1Char('\t') + DifferenceLine(d);
    if (!all.empty()) result.exit = kExitDifferent;
    if (!p_bWrite && all.empty()) result.lines << QStringLiteral("%1\tsame").arg(result.target);
    result.ok = true;
  };
  return RunPerPrinterOnLoop(
      p_objOptions,
      [=](const Target&, AsyncPrinter& printer, PrinterResult& result, const std::function<void()>& done) {
        const auto readBack = [=, &printer, &result] {
          printer.ReadRecords(KindsOf(files), [=, &printer, &result](bool ok) {
            if (Done(printer, result, ok)) compare(printer, result);
            done();
          });
        };
        if (!p_bWrite) {
          readBack();
          return;
        }
        // Nothing is written to a printer that has not answered.
        printer.Status([=, &printer, &result](bool ok, const QString&, const QString&) {
          if (!Done(printer, result, ok)) {
            done();
            return;
          }
          // Once begun, a printer's lines and its read-back run to their end.
          printer.Send(lines, [=, &printer, &result](bool sentAll) {
            if (!Done(printer, result, sentAll)) {
              done();
              return;
            }
            result.json[QStringLiteral("sent")] = paths;
            if (verify) {
              readBack();
              return;
            }
            for (const SettingsFile& file : files)
              result.lines << QStringLiteral("%1\tsent %2").arg(result.target, file.path);
            result.ok = true;
            done();
          });
        });
      },
      p_bProgress);
}

}  // namespace cli
