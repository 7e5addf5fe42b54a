#pragma once
// The options of a dazavu command line: the printers it names, the values
// given and the switches.
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "Target.h"

namespace cli {

struct Options {
  QString command;
  QStringList arguments;  // the words after the program name, as given
  std::vector<Target> targets;
  QStringList positional;
  std::map<QString, QString> values;     // options with a value, by name without "--"
  std::map<QString, QStringList> lists;  // every value of each, for repeatable options
  bool json = false;
  bool verify = false;    // --verify: kept for older scripts; write verifies anyway
  bool noVerify = false;  // --no-verify: write without the read-back
  bool help = false;
  bool version = false;
  bool jobsGiven = false;
  bool timeoutGiven = false;
  double timeout = 2;
  // All printers run on one event loop; the default lets a fleet of a
  // thousand finish in a few round trips.
  int jobs = 512;
  QString Value(const char* p_sName) const {
    const auto it = values.find(QString::fromLatin1(p_sName));
    return it == values.end() ? QString() : it->second;
  }
  bool Has(const char* p_sName) const { return values.count(QString::fromLatin1(p_sName)) != 0; }
  QStringList Values(const char* p_sName) const {
    const auto it = lists.find(QString::fromLatin1(p_sName));
    return it == lists.end() ? QStringList() : it->second;
  }
};

// Fills the options from the words after the command. Words that do not
// start with "-" (and "-" itself), and every word after "--", are
// positional. False and the reason for an unknown option (short or long), a
// missing value or a value out of range; the options read until then are
// kept (--help among them).
bool ParseOptions(const QStringList& p_objArgs, Options& p_objOptions, QString& p_sError);

}  // namespace cli
