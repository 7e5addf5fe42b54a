#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace dz {
namespace {
MessageAnswerer& Answerer() {
  static MessageAnswerer answerer;
  return answerer;
}
}  // namespace

void SetMessageAnswerer(MessageAnswerer answerer) { Answerer() = std::move(answerer); }

int ShowMessage(const QString& text, int style, const QString& title) {
  if (Answerer()) return Answerer()(text, style, title);

  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(title);
  box.setText(text);
  switch (style) {
    case MsgYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MsgCritical:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MsgExclamation:
      box.setIcon(QMessageBox::Warning);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  const int pressed = box.exec();
  if (pressed == QMessageBox::Yes) return AnswerYes;
  if (pressed == QMessageBox::No) return AnswerNo;
  return AnswerOk;
}

}  // namespace dz
