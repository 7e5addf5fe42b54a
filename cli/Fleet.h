#pragma once
// What one printer of a command's run came to.
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include "Target.h"

struct PrinterResult {
  QString target;
  bool ok = false;
  bool started = true;  // false: the run was interrupted before this printer
  int exit = 0;         // 0, 2 (no answer) or 3 (difference found)
  QString error;
  QJsonObject json;   // the command's result keys
  QStringList lines;  // the command's text lines
};
