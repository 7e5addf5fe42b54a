#include "MCommon.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace MCommon {
namespace {

FileDialogRunner& Runner() {
  static FileDialogRunner runner;
  return runner;
}

// The filter record's description entries, which Qt reads as name filters
// ("dt1 files(*.dt1)" names its own pattern).
QStringList NameFilters(const QString& p_sFilter) {
  const QStringList parts = p_sFilter.split(QChar(0), Qt::SkipEmptyParts);
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    if (!description.contains('(')) description += QStringLiteral(" (%1)").arg(parts[i + 1]);
    filters << description;
  }
  return filters;
}

FileDialogAnswer RunPlatformDialog(const FileDialogRecord& p_objRecord, bool p_bSave) {
  const QStringList filters = NameFilters(p_objRecord.lpstrFilter);
  QString selected = filters.value(p_objRecord.nFilterIndex - 1);
  const QString filter = filters.join(QStringLiteral(";;"));
  FileDialogAnswer answer;
  answer.path = p_bSave ? QFileDialog::getSaveFileName(QApplication::activeWindow(), p_objRecord.lpstrTitle,
                                                       p_objRecord.lpstrInitialDir, filter, &selected,
                                                       QFileDialog::DontConfirmOverwrite)
                        : QFileDialog::getOpenFileName(QApplication::activeWindow(), p_objRecord.lpstrTitle,
                                                       p_objRecord.lpstrInitialDir, filter, &selected);
  answer.accepted = !answer.path.isEmpty();
  answer.filterIndex = static_cast<int>(filters.indexOf(selected)) + 1;
  return answer;
}

FileDialogAnswer Run(const FileDialogRecord& p_objRecord, bool p_bSave) {
  return Runner() ? Runner()(p_objRecord, p_bSave) : RunPlatformDialog(p_objRecord, p_bSave);
}

}  // namespace

void SetFileDialogRunner(FileDialogRunner p_objRunner) { Runner() = std::move(p_objRunner); }

QString BuildFileFilter(const QStringList& p_objEntries) {
  if (p_objEntries.isEmpty()) return QString();
  QString filter;
  for (const QString& entry : p_objEntries) filter += entry + QChar(0);
  if (p_objEntries.size() % 2 != 0) filter += QStringLiteral("*.*") + QChar(0);
  return filter + QChar(0);
}

void InitFileDialog(FileDialogRecord& p_objRecord, const QString& p_sFilter, const QString& p_sTitle,
                    const QString& p_sInitialDir) {
  p_objRecord = FileDialogRecord();
  p_objRecord.lpstrFilter = p_sFilter;
  p_objRecord.lpstrTitle = p_sTitle;
  p_objRecord.lpstrInitialDir = p_sInitialDir;
}

bool FileExists(const QString& p_sPath) { return !p_sPath.isEmpty() && QFileInfo::exists(p_sPath); }

QString ShowSaveFileDialog(FileDialogRecord& p_objRecord, const QString& p_sExtension) {
  const FileDialogAnswer answer = Run(p_objRecord, true);
  if (!answer.accepted) return QString();
  p_objRecord.nFilterIndex = answer.filterIndex;
  QString path = answer.path.left(p_objRecord.nMaxFile).trimmed();
  p_objRecord.lpstrFile = path;
  if (path.isEmpty()) return QString();
  const QString suffix = QStringLiteral(".") + p_sExtension;
  if (answer.filterIndex == 1 && path.right(4) != suffix) path += suffix;
  return path;
}

QString ShowOpenFileDialog(FileDialogRecord& p_objRecord) {
  const FileDialogAnswer answer = Run(p_objRecord, false);
  if (!answer.accepted) return QString();
  p_objRecord.nFilterIndex = answer.filterIndex;
  p_objRecord.lpstrFile = answer.path.left(p_objRecord.nMaxFile).trimmed();
  return p_objRecord.lpstrFile;
}

}  // namespace MCommon
