// read: each printer's settings into settings files.
#include "Commands.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

#include "CommandLine.h"
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
  // The files of a printer whose records have arrived.
  const auto saveFiles = [=](const Target& target, AsyncPrinter& printer, PrinterResult& result) {
    QJsonObject files;
    files[QStringLiteral("params")] = QJsonValue::Null;
    files[QStringLiteral("lan")] = QJsonValue::Null;
    const auto save = [&](bool wanted, const QString& single, const char* extension, FileKind kind, const char* key) {
      if (!wanted) return true;
      const QString path =
          outDir.isEmpty() ? single : QDir(outDir).filePath(target.FileStem() + QLatin1String(extension));
      QString error;
      if (!SaveSettingsFile(path, kind, printer.Items(), error)) {
        result.ok = false;
        result.exit = kExitNoAnswer;
        result.error = error;
        return false;
      }
      files[QString::fromLatin1(key)] = path;
      result.lines << QStringLiteral("%1\t%2").arg(result.target, path);
      return true;
    };
    if (!save(params, paramsPath, ".dt1", FileKind::Parameter, "params")) return;
    if (!save(lan, lanPath, ".dt2", FileKind::Lan, "lan")) return;
    result.json[QStringLiteral("files")] = files;
  };
  return RunPerPrinterOnLoop(
      p_objOptions,
      [=](const Target& target, AsyncPrinter& printer, PrinterResult& result, const std::function<void()>& done) {
        std::vector<int> kinds;
        if (params) kinds.insert(kinds.end(), kParameterKinds.begin(), kParameterKinds.end());
        if (lan) kinds.insert(kinds.end(), kLanKinds.begin(), kLanKinds.end());
        printer.ReadRecords(kinds, [=, &target, &printer, &result](bool ok) {
          if (Done(printer, result, ok)) saveFiles(target, printer, result);
          done();
        });
      },
      p_bProgress);
}

}  // namespace cli
