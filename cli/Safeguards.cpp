#include "Safeguards.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QJsonDocument>
#include <QJsonObject>

#include "AuditLog.h"
#include "CommandLine.h"
#include "Output.h"
#include "SettingsFile.h"

namespace cli {

const std::vector<int>& BackupKinds() {
  static const std::vector<int> kinds = {0, 1, 4, 3};
  return kinds;
}

QString CommandLineText(const Options& p_objOptions) {
  QStringList words;
  words << QStringLiteral("dazavu");
  for (const QString& argument : p_objOptions.arguments) {
    const bool plain =
        !argument.isEmpty() && argument.indexOf(QRegularExpression(QStringLiteral("[^\\w@%+=:,./-]"))) < 0;
    words << (plain ? argument
                    : QLatin1Char('\'') + QString(argument).replace(QLatin1String("'"), QLatin1String("'\\''")) +
                          QLatin1Char('\''));
  }
  return words.join(QLatin1Char(' '));
}

bool WriteSafeguards::Prepare(const Options& p_objOptions, QString& p_sError) {
  m_sCommand = CommandLineText(p_objOptions);
  m_sAuditLog = p_objOptions.Has(kOptionAuditLog) ? p_objOptions.Value(kOptionAuditLog) : dz::DefaultAuditLog();
  if (p_objOptions.Has(kOptionNoBackup)) return true;
  m_objManifest.time = QDateTime::currentDateTimeUtc();
  m_objManifest.user = dz::UserName();
  m_objManifest.machine = dz::MachineName();
  m_objManifest.command = m_sCommand;
  for (const Target& target : p_objOptions.targets) m_objManifest.targets << target.Name();
  m_sBackupDir = p_objOptions.Has(kOptionBackupDir) ? p_objOptions.Value(kOptionBackupDir) : dz::DefaultBackupFolder();
  if (!QDir(m_sBackupDir).mkpath(QStringLiteral(".")) || !QFileInfo(m_sBackupDir).isWritable()) {
    p_sError = QStringLiteral("cannot create the backup folder %1 (--backup-dir, or --no-backup)").arg(m_sBackupDir);
    return false;
  }
  m_bBackup = true;
  return true;
}

bool WriteSafeguards::RunFolder(QString& p_sFolder, QString& p_sError) const {
  std::lock_guard<std::mutex> lock(m_objMutex);
  if (!m_pRun && m_sRunError.isEmpty()) {
    auto run = std::make_unique<dz::BackupRun>();
    if (run->Create(m_sBackupDir, m_objManifest, m_sRunError)) m_pRun = std::move(run);
  }
  if (!m_pRun) {
    p_sError = m_sRunError;
    return false;
  }
  p_sFolder = m_pRun->Folder();
  return true;
}

bool WriteSafeguards::Backup(const Target& p_objTarget, CItemManager& p_objItems, PrinterResult& p_objResult) const {
  if (!m_bBackup) return true;
  QString folder, error;
  if (!RunFolder(folder, error) || !m_pRun->Save(p_objTarget.FileStem(), BuildParameterFileLines(p_objItems),
                                                 BuildLanFileLines(p_objItems), error)) {
    p_objResult.ok = false;
    p_objResult.exit = kExitNoAnswer;
    p_objResult.error = error + QStringLiteral("; nothing was written");
    return false;
  }
  QJsonObject files;
  const QString stem = QDir(folder).filePath(p_objTarget.FileStem());
  files[QStringLiteral("folder")] = folder;
  files[QStringLiteral("params")] = stem + QStringLiteral(".dt1");
  files[QStringLiteral("lan")] = stem + QStringLiteral(".dt2");
  p_objResult.json[QStringLiteral("backup")] = files;
  return true;
}

void WriteSafeguards::Audit(const Target& p_objTarget, const std::vector<AuditChange>& p_objChanges,
                            const QString& p_sOutcome, PrinterResult& p_objResult) const {
  QJsonObject line;
  line[QStringLiteral("time")] = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
  line[QStringLiteral("user")] = dz::UserName();
  line[QStringLiteral("machine")] = dz::MachineName();
  line[QStringLiteral("command")] = m_sCommand;
  line[QStringLiteral("target")] = p_objTarget.Name();
  QJsonArray changes;
  for (const AuditChange& change : p_objChanges) {
    QJsonObject row;
    row[QStringLiteral("caption")] = change.caption;
    row[QStringLiteral("before")] = change.before;
    row[QStringLiteral("after")] = change.after;
    changes.append(row);
  }
  line[QStringLiteral("changes")] = changes;
  QString folder;
  {
    std::lock_guard<std::mutex> lock(m_objMutex);
    if (m_pRun) folder = m_pRun->Folder();
  }
  line[QStringLiteral("backup")] = folder.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(folder);
  line[QStringLiteral("outcome")] = p_sOutcome;
  QString error;
  if (dz::AppendAuditLine(m_sAuditLog, QJsonDocument(line).toJson(QJsonDocument::Compact), error)) return;
  p_objResult.json[QStringLiteral("audit_error")] = error;
  Print(stderr, QStringLiteral("dazavu: %1: audit log: %2\n").arg(p_objTarget.Name(), error));
}

}  // namespace cli
