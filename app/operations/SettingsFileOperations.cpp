#include "SettingsFileOperations.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include "CItemManager.h"
#include "SettingsFile.h"
#include "bindings/LanBinding.h"
#include "bindings/ParameterBinding.h"
#include "common/MCommon.h"
#include "common/MessageBox.h"
#include "ReadWriteOperations.h"

namespace dz {

namespace {

// A settings file holds a few hundred bytes; anything far larger is not one.
constexpr qint64 kLargestSettingsFile = 1 << 20;

const QString kNormal = QStringLiteral("Normal termination");
const QString kAbnormal = QStringLiteral("Abnormal termination");

struct FileKind {
  const char* saveDescription;
  const char* loadDescription;
  const char* pattern;
  const char* extension;
};
const FileKind kParameterFile = {"dt1 files(*.dt1)", "dat files(*.dt1)", "*.dt1", "dt1"};
const FileKind kLanFile = {"dt2 files(*.dt2)", "dat files(*.dt2)", "*.dt2", "dt2"};

QString Filter(const char* p_sDescription, const char* p_sPattern) {
  return MCommon::BuildFileFilter({QString::fromLatin1(p_sDescription), QString::fromLatin1(p_sPattern),
                                   QStringLiteral("All files(*.*)"), QStringLiteral("*.*")});
}

// Asks for the path to save to, and whether an existing file may be
// replaced. Empty when the user cancelled or declined.
QString AskSavePath(const FileKind& p_objKind) {
  MCommon::FileDialogRecord record;
  MCommon::InitFileDialog(record, Filter(p_objKind.saveDescription, p_objKind.pattern), QStringLiteral("Save File"),
                          QCoreApplication::applicationDirPath());
  const QString path = MCommon::ShowSaveFileDialog(record, QString::fromLatin1(p_objKind.extension));
  if (path.isEmpty()) return QString();
  if (MCommon::FileExists(path) &&
      ShowMessage(QStringLiteral("The file already exists. Do you overwrite?"), MsgYesNo, kAppTitle) != AnswerYes)
    return QString();
  return path;
}

QString AskLoadPath(const FileKind& p_objKind) {
  MCommon::FileDialogRecord record;
  MCommon::InitFileDialog(record, Filter(p_objKind.loadDescription, p_objKind.pattern), QStringLiteral("Load File"),
                          QCoreApplication::applicationDirPath());
  return MCommon::ShowOpenFileDialog(record);
}

QByteArray FileBytes(const std::vector<std::string>& p_objLines) {
  const std::string text = JoinFileLines(p_objLines);
  return QByteArray(text.data(), static_cast<int>(text.size()));
}

// The whole file, or nothing when it cannot be read or is far too large.
bool ReadWholeFile(const QString& p_sPath, std::string& p_sContent) {
  QFile file(p_sPath);
  if (!file.open(QIODevice::ReadOnly)) return false;
  if (file.size() > kLargestSettingsFile) return false;
  const QByteArray bytes = file.read(kLargestSettingsFile + 1);
  if (bytes.size() > kLargestSettingsFile || file.error() != QFileDevice::NoError) return false;
  p_sContent.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return true;
}

}  // namespace

bool WriteFileAtomically(const QString& p_sPath, const QByteArray& p_byContent) {
  QSaveFile file(p_sPath);
  // A folder where the user may write the file but not create new ones (a
  // writable file in a read-only folder) has no room for the temporary file:
  // there the file is written in place. Everywhere else it is replaced whole.
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // A short write or a failed flush (disk full, file size limit) must not
  // reach commit, which can report success and leave a truncated file.
  if (file.write(p_byContent) != p_byContent.size() || !file.flush()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

void SaveParameterSettings(OperationContext& ctx) {
  const QString path = AskSavePath(kParameterFile);
  if (path.isEmpty()) return;
  if (!UpdateParameterSettingItem(ctx.parameterPage, ctx.items)) {
    ShowMessage(kAbnormal, MsgOkOnly, kAppTitle);
    return;
  }
  const bool written = WriteFileAtomically(path, FileBytes(BuildParameterFileLines(ctx.items)));
  ShowMessage(written ? kNormal : kAbnormal, MsgOkOnly, kAppTitle);
}

void SaveLanSettings(OperationContext& ctx) {
  const QString path = AskSavePath(kLanFile);
  if (path.isEmpty()) return;
  QChar bad;
  if (!UpdateLanSettingItem(ctx.extraPage, ctx.items, &bad)) {
    if (!bad.isNull())
      ShowMessage(HostNameCharacterMessage(bad, true), MsgExclamation, kAppTitle);
    else
      ShowMessage(kAbnormal, MsgOkOnly, kAppTitle);
    return;
  }
  const bool written = WriteFileAtomically(path, FileBytes(BuildLanFileLines(ctx.items)));
  ShowMessage(written ? kNormal : kAbnormal, MsgOkOnly, kAppTitle);
}

void LoadParameterSettings(OperationContext& ctx) {
  const QString path = AskLoadPath(kParameterFile);
  if (path.isEmpty()) return;
  std::string content;
  if (!ReadWholeFile(path, content) || !LoadParameterFile(ctx.items, content)) {
    ShowMessage(kAbnormal, MsgOkOnly, kAppTitle);
    return;
  }
  if (RefreshParameterSettingItem(ctx.parameterPage, ctx.items, false)) {
    ShowMessage(kNormal, MsgOkOnly, kAppTitle);
  } else {
    ShowMessage(QStringLiteral("Error RefreshParameterSettingItem"), MsgOkOnly, kAppTitle);
    ShowMessage(kAbnormal, MsgOkOnly, kAppTitle);
  }
}

void LoadLanSettings(OperationContext& ctx) {
  const QString path = AskLoadPath(kLanFile);
  if (path.isEmpty()) return;
  std::string content;
  if (!ReadWholeFile(path, content) || !LoadLanFile(ctx.items, content)) {
    ShowMessage(kAbnormal, MsgOkOnly, kAppTitle);
    return;
  }
  if (RefreshLanSettingItem(ctx.extraPage, ctx.items, false)) {
    ShowMessage(kNormal, MsgOkOnly, kAppTitle);
  } else {
    ShowMessage(QStringLiteral("Error RefreshParameterSettingItem"), MsgOkOnly, kAppTitle);
    ShowMessage(kAbnormal, MsgOkOnly, kAppTitle);
  }
}

}  // namespace dz
