// backups: the backup runs the writing commands left, oldest first.
#include "Commands.h"

#include <QJsonArray>
#include <QJsonObject>

#include "Backups.h"
#include "CommandLine.h"
#include "Output.h"
#include "Safeguards.h"

namespace cli {

int Backups(const Options& p_objOptions) {
  if (!p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("backups takes no arguments"));
  const QString folder =
      p_objOptions.Has(kOptionBackupDir) ? p_objOptions.Value(kOptionBackupDir) : dz::DefaultBackupFolder();
  QJsonArray runs;
  QStringList lines;
  for (const dz::BackupListing& run : dz::ListBackups(folder)) {
    QJsonObject entry = dz::ManifestJson(run.manifest);
    entry[QStringLiteral("folder")] = run.folder;
    entry[QStringLiteral("saved")] = QJsonArray::fromStringList(run.saved);
    runs.append(entry);
    lines << QStringLiteral("%1\t%2\t%3\t%4")
                 .arg(run.manifest.time.toUTC().toString(Qt::ISODate), run.manifest.command,
                      run.manifest.targets.join(QLatin1Char(' ')), run.folder);
  }
  QJsonObject document;
  document[QStringLiteral("backup_dir")] = folder;
  document[QStringLiteral("runs")] = runs;
  return Finish(p_objOptions, kExitOk, document, lines);
}

}  // namespace cli
