// The epoll event dispatcher, installed for a thread of its own: timers in
// their order, socket notifiers, posted events and wake-ups from another
// thread, and a printer channel talking to the simulated printer.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTest>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <memory>

#include "EpollEventDispatcher.h"
#include "PrinterChannel.h"
#include "PrinterModel.h"
#include "TcpPrinter.h"

namespace {

// Runs a piece of work on a thread whose event loop is the epoll dispatcher;
// the work reports its findings through Report, then Done.
class EpollThread : public QObject {
  Q_OBJECT
 public:
  EpollThread() {
    m_objThread.setEventDispatcher(new EpollEventDispatcher);
    m_objThread.start();
  }
  ~EpollThread() override {
    m_objThread.quit();
    m_objThread.wait();
  }
  // Starts the work on the thread; true once it said Done within the time.
  bool Run(const std::function<void(EpollThread&)>& p_fnWork, int p_iMs = 5000) {
    QSignalSpy done(this, &EpollThread::done);
    auto* context = new QObject;
    context->moveToThread(&m_objThread);
    QMetaObject::invokeMethod(context, [this, p_fnWork, context] {
      p_fnWork(*this);
      context->deleteLater();
    });
    // The spy counts in the emitting thread: wait for the count, not for a
    // new emission (which may have come before the wait began).
    return QTest::qWaitFor([&done] { return done.count() > 0; }, p_iMs);
  }
  void Report(const QString& p_sLine) { m_objLines << p_sLine; }
  QStringList m_objLines;  // written on the thread, read after done

 signals:
  void done();

 private:
  QThread m_objThread;
};

}  // namespace

TEST(EpollEventDispatcherTest, TimersFireInTheirOrderAndStoppedOnesNever) {
  // Timers due in the same pass (a loaded machine may hold the thread up for
  // longer than their spacing) still fire in the order they fall due, and one
  // stopped by an earlier handler of that pass never fires.
  EpollThread thread;
  ASSERT_TRUE(thread.Run([](EpollThread& t) {
    auto parts = std::make_shared<int>(0);
    auto finishWhenBoth = [&t, parts] {
      if (++*parts == 2) QTimer::singleShot(60, [&t] { emit t.done(); });
    };
    auto* late = new QTimer;
    late->setSingleShot(true);
    QObject::connect(late, &QTimer::timeout, [&t] { t.Report("never"); });
    late->start(30);
    QTimer::singleShot(10, [&t, late] {
      late->stop();  // stopped from another timer's handler
      t.Report("10 ms");
    });
    QTimer::singleShot(20, [&t, late, finishWhenBoth] {
      t.Report("20 ms");
      late->deleteLater();
      finishWhenBoth();
    });
    QTimer::singleShot(0, [&t] { t.Report("0 ms"); });
    // A repeating timer fires again and again until it is stopped.
    auto* repeat = new QTimer;
    auto count = std::make_shared<int>(0);
    QObject::connect(repeat, &QTimer::timeout, [repeat, count, finishWhenBoth] {
      if (++*count == 3) {
        repeat->stop();
        repeat->deleteLater();
        finishWhenBoth();
      }
    });
    repeat->start(5);
  }));
  EXPECT_EQ(thread.m_objLines, (QStringList{"0 ms", "10 ms", "20 ms"}));
}

TEST(EpollEventDispatcherTest, SocketNotifiersAndWakeUpsFromAnotherThread) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  EpollThread thread;
  std::shared_ptr<QSocketNotifier> notifier;
  ASSERT_TRUE(thread.Run([&](EpollThread& t) {
    notifier = std::make_shared<QSocketNotifier>(pair[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [&t, &pair] {
      char buffer[16];
      const ssize_t n = ::recv(pair[0], buffer, sizeof buffer, MSG_DONTWAIT);
      t.Report(n > 0 ? QString::fromLatin1(buffer, static_cast<int>(n)) : QStringLiteral("woken for nothing"));
      if (n > 0) emit t.done();
    });
    t.Report("armed");
    emit t.done();
  }));
  // Written here, on another thread: the waiting loop wakes for it.
  QSignalSpy done(&thread, &EpollThread::done);
  ASSERT_EQ(::write(pair[1], "ping", 4), 4);
  ASSERT_TRUE(QTest::qWaitFor([&done] { return done.count() > 0; }, 2000));
  EXPECT_EQ(thread.m_objLines, (QStringList{"armed", "ping"}));
  // A queued call from this thread wakes the loop too.
  ASSERT_TRUE(thread.Run([&](EpollThread& t) {
    notifier.reset();
    emit t.done();
  }));
  ::close(pair[0]);
  ::close(pair[1]);
}

TEST(EpollEventDispatcherTest, AChannelTalksToTheSimulatedPrinter) {
  EpollThread thread;
  ASSERT_TRUE(thread.Run([](EpollThread& t) {
    auto* model = new dzsim::PrinterModel;
    model->SetStatusCode("14");
    auto* printer = new dzsim::TcpPrinter(*model);
    printer->Listen(0);
    auto channel = std::shared_ptr<dz::PrinterChannel>(
        dz::PrinterChannel::ForLan(QStringLiteral("127.0.0.1"), printer->Port()).release());
    dz::PrinterReply* status = channel->RequestStatus();
    dz::PrinterReply* read = channel->ReadRecords({0, 3});
    QObject::connect(read, &dz::PrinterReply::finished, read, [&t, status, read, channel, printer, model] {
      t.Report(status->StatusText());
      t.Report(read->IsOk() ? QStringLiteral("records %1").arg(read->Records().size()) : read->ErrorText());
      status->deleteLater();
      read->deleteLater();
      printer->deleteLater();
      // The model goes after the printer that uses it.
      QObject::connect(printer, &QObject::destroyed, [model] { delete model; });
      emit t.done();
    });
  }));
  EXPECT_EQ(thread.m_objLines, (QStringList{"NO RIBBON", "records 2"}));
}

#include "EpollEventDispatcherTest.moc"
