#pragma once
// Backups of printers' settings before they are written: one folder per run
// of a command, BACKUP_DIR/YYYY-MM-DDTHHMMSSZ/, holding for each printer the
// files `read --out-dir` writes (HOST_PORT.dt1 and .dt2) and a manifest.json
// that says when, by whom, with which command and for which printers.
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace dz {

// The tool's folder for state: $XDG_STATE_HOME/dazavu, or
// ~/.local/state/dazavu when XDG_STATE_HOME is unset or not absolute.
QString StateFolder();
// StateFolder()/backups.
QString DefaultBackupFolder();
// The login name of the user running the tool, and the machine's host name.
QString UserName();
QString MachineName();

struct BackupManifest {
  QDateTime time;  // UTC
  QString user;
  QString machine;
  QString command;      // the command line as given
  QStringList targets;  // every printer the run names
};

class BackupRun {
 public:
  // Creates the run's folder under p_sBackupDir (made when missing) and
  // writes its manifest. Two runs within one second get folders "…Z",
  // "…Z-2", "…Z-3". False and the reason when either cannot be written.
  bool Create(const QString& p_sBackupDir, const BackupManifest& p_objManifest, QString& p_sError);
  QString Folder() const { return m_sFolder; }
  // Saves one printer's files as FOLDER/STEM.dt1 and STEM.dt2. Printers of
  // one run save into different files, so jobs may call it side by side.
  bool Save(const QString& p_sStem, const std::vector<std::string>& p_objParameterLines,
            const std::vector<std::string>& p_objLanLines, QString& p_sError) const;

 private:
  QString m_sFolder;
};

// The manifest as JSON and back.
QJsonObject ManifestJson(const BackupManifest& p_objManifest);
bool ReadManifest(const QString& p_sRunFolder, BackupManifest& p_objManifest);

struct BackupListing {
  QString folder;  // the run's folder
  BackupManifest manifest;
  QStringList saved;  // the file stems saved, HOST_PORT
};
// The runs under the backup folder, oldest first; folders without a
// readable manifest are left out.
std::vector<BackupListing> ListBackups(const QString& p_sBackupDir);

}  // namespace dz
