#include "SettingsFileOperations.h"

#include <QCoreApplication>

#include "CItemManager.h"
#include "SettingsFile.h"
#include "SettingsFileStore.h"
#include "bindings/LanBinding.h"
#include "bindings/ParameterBinding.h"
#include "common/MCommon.h"
#include "common/MessageBox.h"
#include "ReadWriteOperations.h"

namespace dz {

namespace {

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

}  // namespace

void SaveParameterSettings(OperationContext& ctx) {
  const QString path = AskSavePath(kParameterFile);
  if (path.isEmpty()) return;
  if (!UpdateParameterSettingItem(ctx.parameterPage, ctx.items)) {
    ShowMessage(kAbnormal, MsgOkOnly, kAppTitle);
    return;
  }
  const bool written = WriteSettingsFile(path, BuildParameterFileLines(ctx.items));
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
  if (RefuseFramedClientId(ctx.items, true)) return;
  const bool written = WriteSettingsFile(path, BuildLanFileLines(ctx.items));
  ShowMessage(written ? kNormal : kAbnormal, MsgOkOnly, kAppTitle);
}

void LoadParameterSettings(OperationContext& ctx) {
  const QString path = AskLoadPath(kParameterFile);
  if (path.isEmpty()) return;
  std::string content;
  if (!ReadSettingsFile(path, content) || !LoadParameterFile(ctx.items, content)) {
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
  if (!ReadSettingsFile(path, content) || !LoadLanFile(ctx.items, content)) {
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
