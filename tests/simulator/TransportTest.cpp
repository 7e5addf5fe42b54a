// The simulated printer on real links: TCP on loopback, a pseudo-terminal,
// and the simulator build of the USB library loaded like the real one.
#include "DiruvovSim.h"
#include "PrinterModel.h"
#include "PtyPrinter.h"
#include "TcpPrinter.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using dzsim::Misbehaviour;
using dzsim::PrinterModel;

namespace {

constexpr int kWaitMs = 5000;  // upper bound only; every wait ends on its event

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_simulator";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  (void)app;
}

QByteArray StatusReply(const char* code) { return QByteArray("\x01S", 2) + code + "ABCDEFGH\r"; }

class SimTransport : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApp(); }
};

// Reads from the socket until n bytes have arrived or the bound is reached.
QByteArray ReadSocket(QTcpSocket& socket, int n) {
  QByteArray data;
  (void)QTest::qWaitFor(
      [&] {
        data += socket.readAll();
        return data.size() >= n;
      },
      kWaitMs);
  return data;
}

}  // namespace

TEST_F(SimTransport, TcpRoundTripAndWriteReadBack) {
  PrinterModel model;
  dzsim::TcpPrinter printer(model);
  ASSERT_TRUE(printer.Listen(0)) << printer.ErrorString().toStdString();
  ASSERT_NE(printer.Port(), 0);

  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, printer.Port());
  ASSERT_TRUE(socket.waitForConnected(kWaitMs));

  // A command split over two writes still gets one reply.
  socket.write("{W");
  socket.flush();
  QTest::qWait(10);
  socket.write("S|}");
  EXPECT_EQ(ReadSocket(socket, 13), StatusReply("00"));

  socket.write("{IP;2,010,000,000,005|}{Z5;3|}");
  const QByteArray record = ReadSocket(socket, 96);
  ASSERT_EQ(record.size(), 96);
  EXPECT_EQ(record.mid(2, 13), QByteArray("0010000000005"));
  ASSERT_EQ(model.CommandLog().size(), 3u);
  EXPECT_EQ(model.Field("IpAddress4"), "005");
}

TEST_F(SimTransport, TcpDropSendsHalfAReplyThenCloses) {
  PrinterModel model;
  model.SetMode(Misbehaviour::DropConnection);
  dzsim::TcpPrinter printer(model);
  ASSERT_TRUE(printer.Listen(0));

  QTcpSocket socket;
  QSignalSpy closed(&socket, &QTcpSocket::disconnected);
  socket.connectToHost(QHostAddress::LocalHost, printer.Port());
  ASSERT_TRUE(socket.waitForConnected(kWaitMs));
  socket.write("{Z5;0|}");
  ASSERT_TRUE(closed.wait(kWaitMs));
  EXPECT_EQ(socket.readAll(), QByteArray("{0+000+000+00"));
}

TEST_F(SimTransport, TcpSplitAndDribbleDeliverTheWholeReply) {
  for (Misbehaviour mode : {Misbehaviour::Split, Misbehaviour::Dribble, Misbehaviour::Delay}) {
    SCOPED_TRACE(dzsim::MisbehaviourName(mode));
    PrinterModel model;
    dzsim::Behaviour behaviour;
    behaviour.mode = mode;
    behaviour.delayMs = 20;
    behaviour.splitPauseMs = 20;
    behaviour.dribbleIntervalMs = 1;
    model.SetBehaviour(behaviour);
    dzsim::TcpPrinter printer(model);
    ASSERT_TRUE(printer.Listen(0));

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, printer.Port());
    ASSERT_TRUE(socket.waitForConnected(kWaitMs));
    socket.write("{WS|}{HD001,A|}");
    EXPECT_EQ(ReadSocket(socket, 26), StatusReply("00") + StatusReply("00"));
  }
}

TEST_F(SimTransport, TcpNeverReadLeavesCommandsUntakenUntilSwitchedBack) {
  PrinterModel model;
  model.SetMode(Misbehaviour::NeverRead);
  dzsim::TcpPrinter printer(model);
  ASSERT_TRUE(printer.Listen(0));
  QSignalSpy commands(&printer, &dzsim::TcpPrinter::commandReceived);

  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, printer.Port());
  ASSERT_TRUE(socket.waitForConnected(kWaitMs));
  socket.write("{WS|}");
  EXPECT_FALSE(commands.wait(300));
  EXPECT_TRUE(model.CommandLog().empty());

  model.SetMode(Misbehaviour::Normal);
  EXPECT_EQ(ReadSocket(socket, 13), StatusReply("00"));
}

TEST_F(SimTransport, PtyRoundTripOnTheSlaveDevice) {
  PrinterModel model;
  model.SetStatusCode("04");
  dzsim::PtyPrinter printer(model);
  ASSERT_TRUE(printer.Open()) << printer.ErrorString().toStdString();
  ASSERT_TRUE(printer.SlavePath().startsWith("/dev/pts/"));

  QSignalSpy commands(&printer, &dzsim::PtyPrinter::commandReceived);
  for (int session = 0; session < 2; ++session) {
    // The tool's port opens and closes; the printer survives both.
    SCOPED_TRACE(session);
    const int fd = ::open(printer.SlavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const std::string command = "{WS|}{Z5;4|}";
    ASSERT_EQ(::write(fd, command.data(), command.size()), static_cast<ssize_t>(command.size()));

    QByteArray data;
    (void)QTest::qWaitFor(
        [&] {
          char buffer[256];
          const ssize_t n = ::read(fd, buffer, sizeof buffer);
          if (n > 0) data.append(buffer, n);
          return data.size() >= 13 + 31;
        },
        kWaitMs);
    ::close(fd);
    EXPECT_EQ(data.left(13), StatusReply("04"));
    EXPECT_EQ(data.mid(13), QByteArray("{42111+001B0A0000000000001000|}"));
  }
  EXPECT_EQ(commands.size(), 4);
}

// ---------------------------------------------------------------------------

namespace {

struct UsbLibrary {
  QLibrary lib{QString::fromLocal8Bit(kDiruvovSimLibraryPath)};
  int32_t (*open)() = nullptr;
  int32_t (*send)(const uint8_t*, int32_t) = nullptr;
  int32_t (*rcv)(uint8_t*, int32_t) = nullptr;
  int32_t (*close)() = nullptr;
  void (*reset)() = nullptr;
  int32_t (*setMode)(int32_t, int32_t) = nullptr;
  void (*setOpenResult)(int32_t) = nullptr;
  void (*setFailSend)(int32_t) = nullptr;
  int32_t (*setStatus)(const char*) = nullptr;
  int32_t (*commandCount)() = nullptr;
  int32_t (*command)(int32_t, uint8_t*, int32_t) = nullptr;
  int32_t (*callLog)(char*, int32_t) = nullptr;

  bool Load() {
    if (!lib.load()) return false;
    open = reinterpret_cast<decltype(open)>(lib.resolve("Dll_openUSB"));
    send = reinterpret_cast<decltype(send)>(lib.resolve("Dll_sendUSB"));
    rcv = reinterpret_cast<decltype(rcv)>(lib.resolve("Dll_rcvUSB"));
    close = reinterpret_cast<decltype(close)>(lib.resolve("Dll_closeUSB"));
    reset = reinterpret_cast<decltype(reset)>(lib.resolve("DiruvovSim_Reset"));
    setMode = reinterpret_cast<decltype(setMode)>(lib.resolve("DiruvovSim_SetMode"));
    setOpenResult = reinterpret_cast<decltype(setOpenResult)>(lib.resolve("DiruvovSim_SetOpenResult"));
    setFailSend = reinterpret_cast<decltype(setFailSend)>(lib.resolve("DiruvovSim_SetFailSend"));
    setStatus = reinterpret_cast<decltype(setStatus)>(lib.resolve("DiruvovSim_SetStatusCode"));
    commandCount = reinterpret_cast<decltype(commandCount)>(lib.resolve("DiruvovSim_CommandCount"));
    command = reinterpret_cast<decltype(command)>(lib.resolve("DiruvovSim_Command"));
    callLog = reinterpret_cast<decltype(callLog)>(lib.resolve("DiruvovSim_CallLog"));
    return open && send && rcv && close && reset && setMode && setOpenResult && setFailSend && setStatus &&
           commandCount && command && callLog;
  }

  // One transfer as the tool makes it: open, send, close.
  int32_t Send(const std::string& text) {
    open();
    const int32_t r = send(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int32_t>(text.size()));
    close();
    return r;
  }

  QByteArray Receive(int32_t max = 256) {
    QByteArray buffer(max, '\0');
    open();
    const int32_t n = rcv(reinterpret_cast<uint8_t*>(buffer.data()), max);
    close();
    return n > 0 ? buffer.left(n) : QByteArray();
  }

  std::string Calls() {
    char buffer[512];
    callLog(buffer, sizeof buffer);
    return buffer;
  }
};

class SimUsb : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    ASSERT_TRUE(usb.Load()) << usb.lib.errorString().toStdString();
    usb.reset();
  }
  UsbLibrary usb;
};

}  // namespace

TEST_F(SimUsb, StatusAndRecordRepliesAsTheLibraryDeliversThem) {
  usb.setStatus("11");
  ASSERT_EQ(usb.Send("{WS|}"), 5);
  EXPECT_EQ(usb.Receive(13), StatusReply("11"));
  EXPECT_TRUE(usb.Receive().isEmpty());

  ASSERT_GE(usb.Send("{Z2;2,-012+034-05+067-08+09+10+112021|}{Z5;0|}"), 0);
  EXPECT_EQ(usb.Receive(54), QByteArray("\x02\x00{0-012+034-05-08+09+10+11|}", 29));

  EXPECT_EQ(usb.commandCount(), 3);
  uint8_t buffer[64] = {};
  ASSERT_EQ(usb.command(2, buffer, sizeof buffer), 7);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 7), "{Z5;0|}");
  EXPECT_EQ(usb.command(3, buffer, sizeof buffer), -1);
  EXPECT_EQ(usb.Calls(),
            "open send close open rcv close open rcv close "
            "open send close open rcv close");
}

TEST_F(SimUsb, OpenAndSendFailuresAsConfigured) {
  for (int32_t result : {-1, -2, -3}) {
    usb.setOpenResult(result);
    EXPECT_EQ(usb.open(), result);
    const uint8_t byte = '{';
    EXPECT_LT(usb.send(&byte, 1), 0);  // not open
  }
  usb.setOpenResult(0);
  usb.setFailSend(1);
  EXPECT_LT(usb.Send("{WS|}"), 0);
  EXPECT_EQ(usb.commandCount(), 0);
  EXPECT_TRUE(usb.Receive().isEmpty());
}

TEST_F(SimUsb, SplitDribbleAndDropOverSuccessiveReads) {
  usb.setMode(DIRUVOV_SIM_DRIBBLE, 0);
  usb.Send("{WS|}");
  QByteArray collected;
  for (int i = 0; i < 13; ++i) {
    const QByteArray part = usb.Receive();
    ASSERT_EQ(part.size(), 1);
    collected += part;
  }
  EXPECT_EQ(collected, StatusReply("00"));

  usb.setMode(DIRUVOV_SIM_SPLIT, 10);
  usb.Send("{WS|}");
  QByteArray first = usb.Receive();
  EXPECT_EQ(first, StatusReply("00").left(6));
  QByteArray second;
  (void)QTest::qWaitFor([&] { return !(second = usb.Receive()).isEmpty(); }, kWaitMs);
  EXPECT_EQ(second, StatusReply("00").mid(6));

  usb.setMode(DIRUVOV_SIM_DROP, -1);
  usb.Send("{WS|}{WS|}");
  EXPECT_EQ(usb.Receive(), StatusReply("00").left(6));
  EXPECT_TRUE(usb.Receive().isEmpty());

  // A reader with a small buffer gets the rest with its next call.
  usb.setMode(DIRUVOV_SIM_NORMAL, -1);
  usb.Send("{Z5;2|}");
  EXPECT_EQ(usb.Receive(5), QByteArray("\x02\x00{20", 5));
  EXPECT_EQ(usb.Receive(), QByteArray("0000000|}"));
}
