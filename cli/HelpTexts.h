#pragma once
// The texts of "dazavu --help" and "dazavu COMMAND --help".
#include <QString>

// The help of a command; the overview for an empty or unknown command.
QString HelpText(const QString& p_sCommand);
