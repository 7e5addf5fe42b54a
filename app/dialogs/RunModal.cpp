#include "dialogs/RunModal.h"

#include <QDialog>

namespace dz {
namespace {
DialogRunner& Runner() {
  static DialogRunner runner;
  return runner;
}
}  // namespace

void SetDialogRunner(DialogRunner runner) { Runner() = std::move(runner); }

void RunModal(QDialog& dialog) {
  if (Runner()) {
    Runner()(dialog);
    return;
  }
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.exec();
}

}  // namespace dz
