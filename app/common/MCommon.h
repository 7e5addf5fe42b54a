#pragma once
// The file-dialog procedures of the settings files: the filter, the dialog
// record, the Save and Open dialogs with the extension rule, and the file
// existence check. The dialogs are the platform's own, shown through Qt;
// tests put a runner in their place that answers without a modal dialog.
#include <QString>
#include <QStringList>
#include <functional>

namespace MCommon {

// What a file dialog is set up with and what it returns.
struct FileDialogRecord {
  quint32 lStructSize = 76;
  QString lpstrFilter;  // description NUL pattern NUL ... NUL
  QString lpstrFile;    // the chosen path (up to 511 characters)
  int nMaxFile = 511;
  QString lpstrFileTitle;
  int nMaxFileTitle = 511;
  QString lpstrInitialDir;
  QString lpstrTitle;
  quint32 Flags = 0;     // none: the dialog neither asks about overwriting nor demands an existing file
  int nFilterIndex = 1;  // 1 for the first filter of the list
};

// What the user did in a dialog: the path typed or picked and the filter
// selected when it closed (1 for the first).
struct FileDialogAnswer {
  bool accepted = false;
  QString path;
  int filterIndex = 1;
};
using FileDialogRunner = std::function<FileDialogAnswer(const FileDialogRecord& record, bool save)>;
// Replaces the platform dialog (tests); an empty runner restores it.
void SetFileDialogRunner(FileDialogRunner p_objRunner);

// Every entry followed by NUL; "*.*" NUL added for an odd count; one more
// NUL at the end. An empty list gives the empty text.
QString BuildFileFilter(const QStringList& p_objEntries);
void InitFileDialog(FileDialogRecord& p_objRecord, const QString& p_sFilter, const QString& p_sTitle,
                    const QString& p_sInitialDir);
bool FileExists(const QString& p_sPath);
// The chosen path, blanks removed, with "." + extension appended when the
// first filter was selected and the path does not end in it (compared
// case-sensitively); empty on Cancel.
QString ShowSaveFileDialog(FileDialogRecord& p_objRecord, const QString& p_sExtension);
QString ShowOpenFileDialog(FileDialogRecord& p_objRecord);

}  // namespace MCommon
