#pragma once
// The numbers that the link layer and the window share: which link is
// which, the styles of the message boxes, and the application title.
#include <QString>

namespace dz {

// The interface index of CInterface and of the window's "Interface" list.
enum LinkIndex : int { kLinkCom = 0, kLinkLan = 1, kLinkUsb = 2 };

// The title of every message box unless another is given.
inline const QString kAppTitle = QStringLiteral("Dazavu Setting Tool");

// Message box styles as the program uses them.
enum MessageStyle : int {
  MsgOkOnly = 0,        // OK, no icon
  MsgYesNo = 4,         // Yes and No, no icon
  MsgCritical = 16,     // OK with the critical icon
  MsgExclamation = 48,  // OK with the exclamation icon
};

}  // namespace dz
