#pragma once
// Every message box of the program goes through ShowMessage, so that the
// texts, styles and titles are in one place and tests can answer them
// without a modal dialog.
#include <QString>
#include <functional>

#include "LinkIds.h"

namespace dz {

// Answers of a message box.
enum MessageAnswer : int { AnswerOk = 1, AnswerYes = 6, AnswerNo = 7 };

// Shows a modal message box and returns the button pressed.
int ShowMessage(const QString& text, int style = MsgOkOnly, const QString& title = kAppTitle);

// Replaces what answers the message boxes (tests); pass an empty function to
// go back to real dialogs.
using MessageAnswerer = std::function<int(const QString& text, int style, const QString& title)>;
void SetMessageAnswerer(MessageAnswerer answerer);

}  // namespace dz
