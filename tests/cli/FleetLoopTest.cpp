// dazavu's printers share one event loop: with room for all of them they are
// asked side by side, with --jobs 1 one after the other. Read from the order
// in which one simulator received the commands of all its printers.
#include <gtest/gtest.h>

#include "CliFixture.h"

namespace {

// The "HOST:PORT" of every command line the simulator logged after p_iFrom
// whose command is p_sCommand (any command when empty).
QStringList Senders(const QByteArray& p_byLog, qsizetype p_iFrom, const QByteArray& p_sCommand = QByteArray()) {
  QStringList hosts;
  for (const QByteArray& line : p_byLog.mid(p_iFrom).split('\n')) {
    const qsizetype arrow = line.indexOf(" << ");
    if (!line.startsWith("lan ") || arrow < 0) continue;
    if (!p_sCommand.isEmpty() && line.mid(arrow + 4) != p_sCommand) continue;
    hosts << QString::fromLatin1(line.mid(4, arrow - 4));
  }
  return hosts;
}

}  // namespace

TEST_F(CliTest, PrintersAreAskedSideBySideAndAtMostJobsAtATime) {
  // Every reply comes 80 ms late: a printer's next command waits for it.
  ASSERT_TRUE(StartFleet(6, {"--mode", "delay", "--param", "80"}));
  QStringList lan;
  for (int i = 0; i < 6; ++i) lan << "--lan" << Lan(i);

  const CliRun all = Dazavu(QStringList{"read", "--out-dir", Path("all")} + lan);
  ASSERT_EQ(all.exit, 0) << all.err.constData();
  ASSERT_TRUE(m_objSim->WaitFor("<< {Z5;3|}", 6));
  QByteArray log = m_objSim->Output();
  // Every printer had its first read before any had its second.
  const QStringList order = Senders(log, 0);
  ASSERT_EQ(order.size(), 24);
  EXPECT_EQ(Senders(log, 0, "{Z5;0|}").size(), 6);
  EXPECT_EQ(QSet<QString>(order.begin(), order.begin() + 6).size(), 6) << order.join(' ').toStdString();

  // One at a time: each printer's four reads follow each other.
  const qsizetype before = log.size();
  const CliRun one = Dazavu(QStringList{"read", "--jobs", "1", "--out-dir", Path("one")} + lan);
  ASSERT_EQ(one.exit, 0) << one.err.constData();
  ASSERT_TRUE(m_objSim->WaitFor("<< {Z5;3|}", 12));
  log = m_objSim->Output();
  const QStringList serial = Senders(log, before);
  ASSERT_EQ(serial.size(), 24);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(serial[i], Lan(i / 4)) << i;
}
