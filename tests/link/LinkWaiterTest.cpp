// The link's waits sleep in the event loop: a wait looks at its condition
// when something happened (a state change, its deadline), not in a loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "LinkWaiter.h"

namespace {

TEST(LinkWaiterTest, AnUnboundedWaitSleepsUntilTheStateChanges) {
  LinkWaiter waiter;
  bool flag = false;
  int looks = 0;
  QTimer::singleShot(200, [&] {
    flag = true;
    waiter.NotifyStateChanged();
  });
  EXPECT_TRUE(waiter.WaitUntil(
      [&] {
        ++looks;
        return flag;
      },
      QDeadlineTimer(QDeadlineTimer::Forever)));
  // A spinning wait looks thousands of times in 200 ms; a sleeping one
  // once before it sleeps and once per wake-up.
  EXPECT_LE(looks, 4);
}

TEST(LinkWaiterTest, ABoundedWaitEndsAtItsDeadlineAfterFewLooks) {
  LinkWaiter waiter;
  int looks = 0;
  EXPECT_FALSE(waiter.WaitUntil(
      [&] {
        ++looks;
        return false;
      },
      QDeadlineTimer(100)));
  EXPECT_LE(looks, 4);
}

TEST(LinkWaiterTest, ShutdownEndsEveryWaitAtOnceAndLaterWaitsReturnAtOnce) {
  LinkWaiter waiter;
  QTimer::singleShot(50, [&] { waiter.Shutdown(); });
  QDeadlineTimer unbounded(QDeadlineTimer::Forever);
  EXPECT_FALSE(waiter.WaitUntil([] { return false; }, unbounded));
  EXPECT_TRUE(waiter.IsShuttingDown());
  QElapsedTimer clock;
  clock.start();
  waiter.WaitSeconds(60);  // returns at once: nothing is waited for any more
  EXPECT_LT(clock.elapsed(), 5000);
}

TEST(LinkWaiterTest, TheLinkRunsWithoutAnyWidgets) {
  // This suite's main creates a QCoreApplication only; a link that needed
  // QtWidgets would not link or would abort here.
  ASSERT_NE(QCoreApplication::instance(), nullptr);
  EXPECT_FALSE(QCoreApplication::instance()->inherits("QApplication"));
}

}  // namespace
