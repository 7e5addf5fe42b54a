// read: each printer's settings into settings files.
#include "Commands.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

#include "CommandLine.h"
#include "FileWriters.h"
#include "Output.h"
#include "PerPrinter.h"
#include "RecordKinds.h"
#include "SettingsSources.h"

namespace cli {

int Read(const Options& p_objOptions, bool p_bProgress) {
  const QString outDir = p_objOptions.Value("out-dir");
  bool params = p_objOptions.Has("params");
  bool lan = p_objOptions.Has("lan-settings");
  if (!outDir.isEmpty() && !params && !lan) params = lan = true;
  if (!params && !lan)
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("read needs --params, --lan-settings or --out-dir"));
  if (p_objOptions.targets.size() > 1 && outDir.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("read of more than one printer needs --out-dir"));
  if (!p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage,
                  QStringLiteral("read takes no argument %1").arg(p_objOptions.positional[0]));
  if (!outDir.isEmpty()) {
    // A missing folder is created with its parents.
    if (QFileInfo::exists(outDir) && !QFileInfo(outDir).isDir())
      return Refuse(p_objOptions, kExitUsage, QStringLiteral("%1 is not a folder").arg(outDir));
    if (!QDir().mkpath(outDir))
      return Refuse(p_objOptions, kExitUsage, QStringLiteral("cannot create the folder %1").arg(outDir));
  }
  const QString paramsPath = p_objOptions.Value("params");
  const QString lanPath = p_objOptions.Value("lan-settings");
  // The files of a printer whose records have arrived: built here, written
  // by the file writers, reported when they are on the disk.
  const auto saveFiles = [=](const Target& target, AsyncPrinter& printer, PrinterResult& result,
                             const std::function<void()>& done) {
    struct Wanted {
      bool wanted;
      QString single;
      const char* extension;
      FileKind kind;
      const char* key;
    };
    const Wanted all[] = {{params, paramsPath, ".dt1", FileKind::Parameter, "params"},
                          {lan, lanPath, ".dt2", FileKind::Lan, "lan"}};
    std::vector<FileToWrite> files;
    std::vector<const char*> keys;
    for (const Wanted& w : all) {
      if (!w.wanted) continue;
      const QString path =
          outDir.isEmpty() ? w.single : QDir(outDir).filePath(target.FileStem() + QLatin1String(w.extension));
      files.push_back({path, SettingsFileLines(w.kind, printer.Items())});
      keys.push_back(w.key);
    }
    WriteFilesInBackground(files, [files, keys, &result, done](size_t written, const QString& error) {
      QJsonObject json;
      json[QStringLiteral("params")] = QJsonValue::Null;
      json[QStringLiteral("lan")] = QJsonValue::Null;
      for (size_t i = 0; i < written; ++i) {
        json[QString::fromLatin1(keys[i])] = files[i].path;
        result.lines << QStringLiteral("%1\t%2").arg(result.target, files[i].path);
      }
      if (written < files.size()) {
        result.ok = false;
        result.exit = kExitNoAnswer;
        result.error = error;
      } else {
        result.json[QStringLiteral("files")] = json;
      }
      done();
    });
  };
  return RunPerPrinterOnLoop(
      p_objOptions,
      [=](const Target& target, AsyncPrinter& printer, PrinterResult& result, const std::function<void()>& done) {
        std::vector<int> kinds;
        if (params) kinds.insert(kinds.end(), kParameterKinds.begin(), kParameterKinds.end());
        if (lan) kinds.insert(kinds.end(), kLanKinds.begin(), kLanKinds.end());
        printer.ReadRecords(kinds, [=, &target, &printer, &result](bool ok) {
          if (Done(printer, result, ok))
            saveFiles(target, printer, result, done);
          else
            done();
        });
      },
      p_bProgress);
}

}  // namespace cli
