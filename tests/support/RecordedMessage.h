#pragma once
// A message box as the program asked for it: its text, its style (the
// dz::MessageStyle numbers) and its title.
#include <QString>

namespace dz::test {

struct RecordedMessage {
  QString text;
  int style;
  QString title;
};

}  // namespace dz::test
