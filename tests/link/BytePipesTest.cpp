// The byte pipes on their own: what a serial pipe tells of a failed open,
// its bytes both ways over a pseudo-terminal, and the LAN pipe's account of
// a socket error and of bytes taken, with and without a write buffer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "LanPipe.h"
#include "PtyPair.h"
#include "SerialPipe.h"

using dz::ByteTransport;
using dz::LanPipe;
using dz::SerialPipe;
using dz::TransportError;

TEST(SerialPipeTest, AFailedOpenKeepsItsReasonAndTheNextTargetOpens) {
  SerialPipe pipe(QStringLiteral("/nonexistent/dz-tty"), QStringLiteral("9600,N,8,1"));
  QSignalSpy errors(&pipe, &ByteTransport::errorOccurred);
  QSignalSpy opened(&pipe, &ByteTransport::opened);
  pipe.Open();
  EXPECT_FALSE(pipe.IsOpen());
  EXPECT_EQ(pipe.OpenError(), QSerialPort::DeviceNotFoundError);
  ASSERT_TRUE(errors.wait(2000));
  EXPECT_EQ(errors.front().at(0).value<TransportError>(), TransportError::OpenFailed);

  PtyPair pty;
  ASSERT_TRUE(pty.Open());
  pipe.SetTarget(pty.slaveName, QStringLiteral("9600,N,8,1"));
  pipe.Open();
  ASSERT_TRUE(pipe.IsOpen());
  EXPECT_EQ(pipe.OpenError(), QSerialPort::NoError);
  ASSERT_TRUE(opened.wait(2000));
  EXPECT_EQ(errors.size(), 1);

  // One byte at a time, as the window writes, arrives whole and in order.
  for (char c : std::string("{WS|}")) ASSERT_TRUE(pipe.Write(Bytes{static_cast<uint8_t>(c)}, 0));
  std::string line;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        char buffer[64];
        const ssize_t n = ::read(pty.master, buffer, sizeof buffer);
        if (n > 0) line.append(buffer, static_cast<size_t>(n));
        return line.size() >= 5;
      },
      2000));
  EXPECT_EQ(line, "{WS|}");

  QSignalSpy received(&pipe, &ByteTransport::bytesReceived);
  ASSERT_EQ(::write(pty.master, "\x01S00", 4), 4);
  ASSERT_TRUE(received.wait(2000));
  EXPECT_EQ(received.front().at(0).toByteArray(), QByteArray("\x01S00"));

  // A settings text the port cannot take is refused before any device is touched.
  pipe.Close();
  EXPECT_FALSE(pipe.IsOpen());
  pipe.SetTarget(pty.slaveName, QStringLiteral("9600,Q,8,1"));
  pipe.Open();
  EXPECT_FALSE(pipe.IsOpen());
  EXPECT_NE(pipe.OpenError(), QSerialPort::NoError);
}

TEST(LanPipeTest, ARefusedConnectionKeepsTheSocketsOwnError) {
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const quint16 closedPort = probe.serverPort();
  probe.close();
  LanPipe pipe(QStringLiteral("127.0.0.1"), closedPort);
  QSignalSpy errors(&pipe, &ByteTransport::errorOccurred);
  pipe.Open();
  ASSERT_TRUE(errors.wait(3000));
  EXPECT_EQ(errors.front().at(0).value<TransportError>(), TransportError::OpenFailed);
  EXPECT_EQ(pipe.LastSocketError(), QAbstractSocket::ConnectionRefusedError);
  EXPECT_FALSE(pipe.LastSocketErrorText().isEmpty());
}

// Whether the connection keeps a write buffer or not, a write is reported
// taken exactly once, and the peer gets the bytes.
class LanPipeBuffering : public ::testing::TestWithParam<bool> {};

TEST_P(LanPipeBuffering, AWriteIsReportedTakenOnce) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  LanPipe pipe(QStringLiteral("127.0.0.1"), server.serverPort());
  pipe.SetBuffered(GetParam());
  QSignalSpy opened(&pipe, &ByteTransport::opened);
  pipe.Open();
  ASSERT_TRUE(opened.wait(3000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 3000));
  QTcpSocket* peer = server.nextPendingConnection();
  ASSERT_NE(peer, nullptr);

  QSignalSpy written(&pipe, &ByteTransport::bytesWritten);
  ASSERT_TRUE(pipe.Write(Bytes{'{', 'W', 'S', '|', '}'}, 13));
  ASSERT_TRUE(written.wait(2000));
  QByteArray got;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        got += peer->readAll();
        return got.size() >= 5;
      },
      2000));
  EXPECT_EQ(got, QByteArray("{WS|}"));
  QTest::qWait(50);
  ASSERT_EQ(written.size(), 1);
  EXPECT_EQ(written.front().at(0).toLongLong(), 5);
}

INSTANTIATE_TEST_SUITE_P(LanPipe, LanPipeBuffering, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p_objInfo) {
                           return p_objInfo.param ? std::string("Buffered") : std::string("Unbuffered");
                         });
