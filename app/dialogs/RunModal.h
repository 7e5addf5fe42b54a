#pragma once
// Every modal dialog of the program (the interface setup dialog, the About
// box) is run through RunModal, so that tests can drive a dialog without a
// nested event loop that waits for a user.
#include <functional>

class QDialog;

namespace dz {

// Shows the dialog modally and returns when it is closed.
void RunModal(QDialog& dialog);

// Replaces what runs the dialogs (tests): the runner gets the dialog, may
// show it and click its buttons, and returns when done. Pass an empty
// function to go back to real modal dialogs.
using DialogRunner = std::function<void(QDialog& dialog)>;
void SetDialogRunner(DialogRunner runner);

}  // namespace dz
