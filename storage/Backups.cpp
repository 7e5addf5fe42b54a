#include "Backups.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSysInfo>
#include <QtGlobal>

#include "SettingsFileStore.h"

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace dz {
namespace {

constexpr const char* kManifest = "manifest.json";

}  // namespace

QString StateFolder() {
  const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir(xdg).filePath(QStringLiteral("dazavu"));
  return QDir(QDir::homePath()).filePath(QStringLiteral(".local/state/dazavu"));
}

QString DefaultBackupFolder() { return QDir(StateFolder()).filePath(QStringLiteral("backups")); }

QString UserName() {
  for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
    const QString user = qEnvironmentVariable(name);
    if (!user.isEmpty()) return user;
  }
#ifdef Q_OS_UNIX
  if (const passwd* entry = getpwuid(geteuid())) return QString::fromLocal8Bit(entry->pw_name);
#endif
  return QStringLiteral("unknown");
}

QString MachineName() { return QSysInfo::machineHostName(); }

QJsonObject ManifestJson(const BackupManifest& p_objManifest) {
  QJsonObject json;
  json[QStringLiteral("time")] = p_objManifest.time.toUTC().toString(Qt::ISODate);
  json[QStringLiteral("user")] = p_objManifest.user;
  json[QStringLiteral("machine")] = p_objManifest.machine;
  json[QStringLiteral("command")] = p_objManifest.command;
  json[QStringLiteral("targets")] = QJsonArray::fromStringList(p_objManifest.targets);
  return json;
}

bool ReadManifest(const QString& p_sRunFolder, BackupManifest& p_objManifest) {
  QFile file(QDir(p_sRunFolder).filePath(QString::fromLatin1(kManifest)));
  if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20)) return false;
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return false;
  const QJsonObject json = document.object();
  p_objManifest.time = QDateTime::fromString(json[QStringLiteral("time")].toString(), Qt::ISODate);
  p_objManifest.user = json[QStringLiteral("user")].toString();
  p_objManifest.machine = json[QStringLiteral("machine")].toString();
  p_objManifest.command = json[QStringLiteral("command")].toString();
  p_objManifest.targets.clear();
  for (const QJsonValue& target : json[QStringLiteral("targets")].toArray()) p_objManifest.targets << target.toString();
  return p_objManifest.time.isValid();
}

bool BackupRun::Create(const QString& p_sBackupDir, const BackupManifest& p_objManifest, QString& p_sError) {
  QDir base(p_sBackupDir);
  if (!base.mkpath(QStringLiteral("."))) {
    p_sError = QStringLiteral("cannot create the backup folder %1").arg(p_sBackupDir);
    return false;
  }
  const QString stamp = p_objManifest.time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHHmmss")) + QLatin1Char('Z');
  for (int n = 1; n < 1000; ++n) {
    const QString name = n == 1 ? stamp : QStringLiteral("%1-%2").arg(stamp).arg(n);
    if (base.exists(name)) continue;
    // mkdir fails when another run took the name meanwhile: try the next.
    if (!base.mkdir(name)) {
      if (base.exists(name)) continue;
      break;
    }
    m_sFolder = base.filePath(name);
    const QByteArray manifest = QJsonDocument(ManifestJson(p_objManifest)).toJson(QJsonDocument::Indented);
    if (!WriteFileAtomically(QDir(m_sFolder).filePath(QString::fromLatin1(kManifest)), manifest)) {
      p_sError = QStringLiteral("cannot write %1").arg(QDir(m_sFolder).filePath(QString::fromLatin1(kManifest)));
      return false;
    }
    return true;
  }
  p_sError = QStringLiteral("cannot create a run folder in %1").arg(p_sBackupDir);
  return false;
}

bool BackupRun::Save(const QString& p_sStem, const std::vector<std::string>& p_objParameterLines,
                     const std::vector<std::string>& p_objLanLines, QString& p_sError) const {
  const QDir folder(m_sFolder);
  for (const auto& [extension, lines] :
       {std::make_pair(".dt1", &p_objParameterLines), std::make_pair(".dt2", &p_objLanLines)}) {
    const QString path = folder.filePath(p_sStem + QLatin1String(extension));
    if (!WriteSettingsFile(path, *lines)) {
      p_sError = QStringLiteral("cannot save the backup %1").arg(path);
      return false;
    }
  }
  return true;
}

std::vector<BackupListing> ListBackups(const QString& p_sBackupDir) {
  std::vector<BackupListing> runs;
  const QDir base(p_sBackupDir);
  for (const QString& name : base.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    BackupListing run;
    run.folder = base.filePath(name);
    if (!ReadManifest(run.folder, run.manifest)) continue;
    for (const QString& file :
         QDir(run.folder).entryList({QStringLiteral("*.dt1"), QStringLiteral("*.dt2")}, QDir::Files, QDir::Name)) {
      const QString stem = file.left(file.size() - 4);
      if (!run.saved.contains(stem)) run.saved << stem;
    }
    runs.push_back(run);
  }
  std::stable_sort(runs.begin(), runs.end(),
                   [](const BackupListing& a, const BackupListing& b) { return a.manifest.time < b.manifest.time; });
  return runs;
}

}  // namespace dz
