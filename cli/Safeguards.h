#pragma once
// What every command that writes printers does around the write: a backup
// of each printer's current settings first (a run folder under --backup-dir,
// else the state folder; --no-backup skips it), and a line in the audit log
// (--audit-log, else the state folder's audit.jsonl) for each printer
// written. A printer whose backup could not be saved is not written; an
// audit log that cannot be written stops nothing but is reported.
#include <QJsonArray>
#include <QString>
#include <memory>
#include <mutex>
#include <vector>

#include "Backups.h"
#include "CItemManager.h"
#include "Fleet.h"
#include "Options.h"

namespace cli {

// The options of the writing commands.
inline const char* const kOptionBackupDir = "backup-dir";
inline const char* const kOptionNoBackup = "no-backup";
inline const char* const kOptionAuditLog = "audit-log";

// The read kinds whose records make the files of a backup.
const std::vector<int>& BackupKinds();

struct AuditChange {
  QString caption;
  QString before;
  QString after;
};

class WriteSafeguards {
 public:
  // Unless --no-backup, makes the backup folder and notes the run's
  // manifest; the run's own folder is made with the first printer's backup,
  // so a run that reaches no printer leaves none. False and the reason when
  // the backup folder cannot be made (nothing has been sent then).
  bool Prepare(const Options& p_objOptions, QString& p_sError);
  bool BackingUp() const { return m_bBackup; }

  // Saves the printer's settings, held by the catalogue after a read of
  // BackupKinds(), as the files `read` writes. On failure the result says
  // why and the printer must not be written. Does nothing without backups.
  bool Backup(const Target& p_objTarget, CItemManager& p_objItems, PrinterResult& p_objResult) const;

  // Appends the printer's audit line: time, user, machine, command, target,
  // the settings changed with before and after, the backup folder and the
  // outcome ("ok", "different" or the error). A failure is added to the
  // result ("audit_error") and printed on standard error.
  void Audit(const Target& p_objTarget, const std::vector<AuditChange>& p_objChanges, const QString& p_sOutcome,
             PrinterResult& p_objResult) const;

 private:
  // The run's folder, made once by whichever printer's job comes first.
  bool RunFolder(QString& p_sFolder, QString& p_sError) const;

  QString m_sCommand;
  QString m_sAuditLog;
  bool m_bBackup = false;
  QString m_sBackupDir;
  dz::BackupManifest m_objManifest;
  mutable std::mutex m_objMutex;
  mutable std::unique_ptr<dz::BackupRun> m_pRun;
  mutable QString m_sRunError;
};

// The command line as the user gave it, for manifests and the audit log.
QString CommandLineText(const Options& p_objOptions);

}  // namespace cli
