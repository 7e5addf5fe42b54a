// The bash completion the package installs, run by bash against the dazavu
// built here: commands, options, captions after set and list entries.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace {

// The replies for the words given (the last is the one being completed);
// p_sLine is the command line as typed, its words as the shell splits them
// at spaces and at "=".
QStringList Complete(const QString& p_sLine, const QStringList& p_objWords) {
  QProcess bash;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(DAZAVU_BIN)).absolutePath() + QLatin1Char(':') +
                                                 environment.value(QStringLiteral("PATH")));
  bash.setProcessEnvironment(environment);
  QString words;
  for (const QString& word : p_objWords) words += QLatin1Char(' ') + word;
  const QString script = QStringLiteral(
                             "source '%1'; COMP_LINE=\"$1\"; COMP_POINT=${#COMP_LINE}; COMP_WORDS=(%2);"
                             " COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _dazavu; printf '%s\\n' \"${COMPREPLY[@]}\"")
                             .arg(QStringLiteral(DZ_COMPLETION_SCRIPT), words);
  bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script, QStringLiteral("bash"), p_sLine});
  if (!bash.waitForFinished(10000)) return {QStringLiteral("<timeout>")};
  return QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST(CompletionTest, CommandsOptionsCaptionsAndListEntries) {
  EXPECT_EQ(Complete("dazavu re", {"dazavu", "re"}), QStringList({"read", "restore"}));
  EXPECT_EQ(Complete("dazavu set --lan 1 --per", {"dazavu", "set", "--lan", "1", "--per"}), QStringList{"--per-unit"});
  EXPECT_EQ(Complete("dazavu exporter --l", {"dazavu", "exporter", "--l"}), QStringList{"--listen"});
  EXPECT_EQ(Complete("dazavu check --lan 1 --cr", {"dazavu", "check", "--lan", "1", "--cr"}),
            QStringList{"--critical"});
  EXPECT_EQ(Complete("dazavu apply --no-b", {"dazavu", "apply", "--no-b"}), QStringList{"--no-backup"});
  // Captions with blanks come escaped, with the "=" that a value follows.
  EXPECT_EQ(Complete("dazavu set --lan 1 FEED", {"dazavu", "set", "--lan", "1", "FEED"}),
            QStringList({"FEED\\ KEY=", "FEED\\ ADJ.="}));
  // Inside a quote, as typed.
  EXPECT_EQ(Complete("dazavu set --lan 1 'TONE", {"dazavu", "set", "--lan", "1", "\"'TONE\""}),
            QStringList({"'TONE ADJ.<T>=", "'TONE ADJ.<D>="}));
  // A setting no write carries is not offered.
  EXPECT_TRUE(Complete("dazavu set --lan 1 KB", {"dazavu", "set", "--lan", "1", "KB"}).isEmpty());
  // After "=", the entries of the list; the shell replaces only what follows
  // the "=".
  EXPECT_EQ(Complete("dazavu set --lan 1 SPEED=1", {"dazavu", "set", "--lan", "1", "SPEED", "=", "1"}),
            QStringList({"19200bps", "115200bps"}));
  EXPECT_EQ(Complete("dazavu set --lan 1 PARITY=", {"dazavu", "set", "--lan", "1", "PARITY", "="}),
            QStringList({"NONE", "EVEN", "ODD"}));
}

}  // namespace
