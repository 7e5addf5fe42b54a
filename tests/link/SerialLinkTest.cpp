// The serial link over a real QSerialPort on a pseudo-terminal pair: the
// test holds the printer's end (the master side).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTest>

#include "ByteString.h"
#include "LinkIds.h"
#include "ReadKind.h"
#include "CInterface.h"
#include "CItemManager.h"
#include "LinkDispatcher.h"
#include "RecordedLink.h"
#include "Replies.h"
#include "SerialSettings.h"
#include "PtyPair.h"
#include "WindowSerialLink.h"

namespace {

using dz::test::B;

class SerialLinkTest : public ::testing::Test, protected dz::test::RecordedLink {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Open());
    // Pseudo-terminals take neither parity nor 7 data bits.
    iface.m_objParity.SetValue(int32_t{0});
    iface.SetActiveInterface(dz::kLinkCom);
    link.Serial().SetPortResolver([this](int com) { return com == 1 ? slaveName : QStringLiteral("/dev/null-none"); });
  }
  void TearDown() override { link.CloseInterface(dz::kLinkCom); }

  // Everything the tool wrote to the line so far.
  Bytes Drain() {
    Bytes out;
    uint8_t buffer[4096];
    QTest::qWait(50);
    for (;;) {
      const ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n <= 0) break;
      out.insert(out.end(), buffer, buffer + n);
    }
    return out;
  }
  void Reply(const Bytes& bytes) { ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

  PtyPair pty;
  int& master = pty.master;
  int& slave = pty.slave;
  QString& slaveName = pty.slaveName;
};

}  // namespace

TEST(SerialSettingsTest, EveryIndexMapsToThePortSettings) {
  CInterface iface;
  const qint32 speeds[] = {2400, 4800, 9600, 19200, 38400, 115200};
  for (int speed = 0; speed < 6; ++speed) {
    for (int parity = 0; parity < 3; ++parity) {
      for (int data = 0; data < 2; ++data) {
        for (int stop = 0; stop < 2; ++stop) {
          iface.m_objCommunicationSpeed.SetValue(int32_t{speed});
          iface.m_objParity.SetValue(int32_t{parity});
          iface.m_objDataLength.SetValue(int32_t{data});
          iface.m_objStopBit.SetValue(int32_t{stop});
          SerialSettings s;
          ASSERT_TRUE(ParseSerialInfo(iface.GetSerialInfo(), s));
          EXPECT_EQ(s.baudRate, speeds[speed]);
          const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::EvenParity,
                                                  QSerialPort::OddParity};
          EXPECT_EQ(s.parity, parities[parity]);
          EXPECT_EQ(s.dataBits, data == 0 ? QSerialPort::Data7 : QSerialPort::Data8);
          EXPECT_EQ(s.stopBits, stop == 0 ? QSerialPort::OneStop : QSerialPort::TwoStop);
        }
      }
    }
  }
  SerialSettings s;
  ASSERT_TRUE(ParseSerialInfo("9600,E,8,1", s));  // what a real port gets by default
  EXPECT_EQ(s.parity, QSerialPort::EvenParity);
  EXPECT_FALSE(ParseSerialInfo("9600,X,8,1", s));
  EXPECT_FALSE(ParseSerialInfo("fast,N,8,1", s));
  EXPECT_FALSE(ParseSerialInfo("9600,N,8", s));
}

TEST_F(SerialLinkTest, ClosedPortFailsSilently) {
  QString error;
  EXPECT_FALSE(link.SendCommand(B("{WS|}"), error, 13, true));
  EXPECT_TRUE(error.isEmpty());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SerialLinkTest, CommandsGoOutByteForByte) {
  ASSERT_TRUE(link.OpenInterface(dz::kLinkCom));
  QString error;
  std::string dhcp = "{IH;0," + std::string(32, 'F') + "," + std::string(16, '\xFF') + "|}";
  for (const std::string& command : {std::string("{WS|}"), std::string("{Z5;3|}"), dhcp,
                                     std::string("{Z2;1,00210121+0001B0A00000B0000000000100|}")}) {
    ASSERT_TRUE(link.SendCommand(B(command), error, 0, false));
    EXPECT_EQ(Drain(), B(command));
  }
}

TEST_F(SerialLinkTest, StatusAndRecordRepliesAreRouted) {
  ASSERT_TRUE(link.OpenInterface(dz::kLinkCom));
  link.State().m_iReplyRecord = kReadStatus;
  Reply(Bytes{0x01, 0x02, '5', '5', '0', '0', '0', '0', '0', '0', '0', '0', 0x03});
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.status == QStringLiteral("  Save Mode"); }, 2000));

  // A LAN record over the serial line: its host name fill bytes 0xFF arrive as data.
  link.State().m_iReplyRecord = kReadLan;
  link.State().m_bReplyExpected = true;
  const std::string fields =
      "1010001001005000000000000255255255000109100"
      "1" +
      std::string(32, 'A') + "PRN" + std::string(13, '\xFF');
  ASSERT_EQ(fields.size(), 92u);
  Reply(B("{3" + fields + "|}"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !link.State().m_bReplyExpected; }, 2000));
  EXPECT_EQ(items.m_objIpAddress1.GetValueString(), "010");
  EXPECT_EQ(items.m_objDhcpClientHost.GetValueString(), "PRN" + std::string(13, '\xFF'));
}

TEST_F(SerialLinkTest, ReceiverFramesReplies) {
  WindowSerialLink& rx = link.Serial();
  auto feed = [&](const Bytes& bytes) {
    for (uint8_t b : bytes) rx.ReceiveByte(b);
  };
  // Status complete at 13 bytes; the 14th is dropped.
  feed(Bytes{0x01, 0x00, '0', '6', 1 + 1, 3, 4, 5, 6, 7, 8, 9});
  EXPECT_EQ(host.status, QStringLiteral("(none)"));
  feed(Bytes{10});
  EXPECT_EQ(host.status, QStringLiteral("Command Error"));
  EXPECT_EQ(link.State().m_bStatusReplyActive, 0);
  feed(Bytes{'x'});
  EXPECT_EQ(link.State().m_byReceiveBuffer.size(), 13u);

  // XON and XOFF inside a reply are not stored; a second SOH restarts it.
  feed(Bytes{0x01, 0x00, '1', 0x01, 0x00, 0x11, '1', 0x13, '1', 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(host.status, QStringLiteral("Paper JAM"));

  // Head-check mode takes the next status text once.
  link.State().m_bHeadCheckMode = true;
  feed(Bytes{0x01, 0x00, '1', '4', 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(host.headCheck, QStringLiteral("NO RIBBON"));
  EXPECT_FALSE(link.State().m_bHeadCheckMode);
  feed(Bytes{0x01, 0x00, '0', '0', 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(host.status, QStringLiteral("ON LINE"));
  EXPECT_EQ(host.headCheck, QStringLiteral("NO RIBBON"));

  // With a status request pending ("{" reply, kind -1) the frame ends after 4 bytes.
  link.State().m_iReplyRecord = kReadStatus;
  feed(Bytes{'{', 'a', 'b'});
  EXPECT_EQ(link.State().m_bParameterReplyActive, 1);
  feed(Bytes{'c'});
  EXPECT_EQ(link.State().m_bParameterReplyActive, 0);

  // A kind 1 record is complete after 25 bytes counted from its "{"; a "{"
  // in the middle restarts it.
  link.State().m_iReplyRecord = kReadParameter;
  link.State().m_bReplyExpected = true;
  feed(B("{1-0"));
  feed(B("{1-050+0001120130140"));
  EXPECT_TRUE(link.State().m_bReplyExpected);
  feed(B("01A|"));
  EXPECT_TRUE(link.State().m_bReplyExpected);
  feed(B("}"));
  EXPECT_FALSE(link.State().m_bReplyExpected);
  EXPECT_EQ(items.m_objXCoordinateAdjustment.GetValueString(), "050");
  EXPECT_EQ(items.m_objFontCode.GetValueString(), "3");
}

TEST_F(SerialLinkTest, AReplyCutByTheNextCommandIsNotStoredForIt) {
  ASSERT_TRUE(link.OpenInterface(dz::kLinkCom));
  QString error;
  // The printer is still sending the kind 0 record when the kind 1 read goes
  // out; the rest of the old record would otherwise complete kind 1's reply.
  const Bytes record0 = B("{0" + std::string(23, '7') + "|}");
  ASSERT_EQ(record0.size(), size_t(GetReplyLength(0) / 2));
  link.State().m_iReplyRecord = kReadAdjustment;
  ASSERT_TRUE(link.SendCommand(B("{Z5;0|}"), error, GetReplyLength(0), true));
  Reply(Bytes(record0.begin(), record0.begin() + 10));
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.State().m_byReceiveBuffer.size() == 10; }, 2000));

  link.State().m_iReplyRecord = kReadParameter;
  ASSERT_TRUE(link.SendCommand(B("{Z5;1|}"), error, GetReplyLength(1), true));
  EXPECT_EQ(Drain(), B("{Z5;0|}{Z5;1|}"));
  Reply(Bytes(record0.begin() + 10, record0.end()));
  QTest::qWait(200);
  EXPECT_TRUE(link.State().m_bReplyExpected);
  EXPECT_EQ(items.m_objXCoordinateAdjustment.GetValueString(), "000");

  // The record that does answer the kind 1 read is stored.
  Reply(
      B("{1-050+0001120130140"
        "01A|}"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !link.State().m_bReplyExpected; }, 2000));
  EXPECT_EQ(items.m_objXCoordinateAdjustment.GetValueString(), "050");
}

TEST_F(SerialLinkTest, AStatusReplyCutByTheNextCommandIsStillShown) {
  ASSERT_TRUE(link.OpenInterface(dz::kLinkCom));
  QString error;
  // The head check's status reply is still arriving when GET STATUS goes
  // out: its result must still reach the head-check label.
  link.State().m_iReplyRecord = kReadStatus;
  link.State().m_bHeadCheckMode = true;
  const Bytes headCheck =
      B("\x01"
        "014"
        "000000000");
  ASSERT_TRUE(link.SendCommand(B("{HD001,A|}"), error, 13, true));
  Reply(Bytes(headCheck.begin(), headCheck.begin() + 5));
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.State().m_byReceiveBuffer.size() == 5; }, 2000));
  ASSERT_TRUE(link.SendCommand(B("{WS|}"), error, 13, true));
  Reply(Bytes(headCheck.begin() + 5, headCheck.end()));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.headCheck == QStringLiteral("NO RIBBON"); }, 2000));
  EXPECT_FALSE(link.State().m_bHeadCheckMode);
  // GET STATUS's own reply goes to the status label.
  Reply(
      B("\x01"
        "000"
        "000000000"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.status == QStringLiteral("ON LINE"); }, 2000));
  EXPECT_EQ(host.headCheck, QStringLiteral("NO RIBBON"));
}

TEST_F(SerialLinkTest, LineStateAndOverrunMessages) {
  // Only characters lost in the receive register are a hard error; the
  // tty layer's buffer overflow is not.
  EXPECT_EQ(dz::SerialPipe::HardErrorCount(0, 7), 0);
  EXPECT_EQ(dz::SerialPipe::HardErrorCount(2, 7), 2);
  WindowSerialLink& rx = link.Serial();
  rx.OnClearToSendChanged(true);
  EXPECT_EQ(host.status, QStringLiteral("(none)"));  // already on line: no change
  rx.OnClearToSendChanged(false);
  EXPECT_EQ(host.status, QStringLiteral("OFF LINE"));
  rx.OnClearToSendChanged(false);
  EXPECT_EQ(host.statusHistory.size(), 1);
  rx.OnClearToSendChanged(true);
  EXPECT_EQ(host.status, QStringLiteral("ON LINE"));
  rx.OnOverrun();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, QStringLiteral("HARD ERROR"));
  EXPECT_EQ(host.messages[0].style, 48);
}

TEST_F(SerialLinkTest, PeerClosingClosesThePort) {
  ASSERT_TRUE(link.OpenInterface(dz::kLinkCom));
  ::close(slave);
  slave = -1;
  ::close(master);
  master = -1;
  ASSERT_TRUE(QTest::qWaitFor([&] { return !link.Serial().IsSerialPortOpen(); }, 3000));
  QString error;
  EXPECT_FALSE(link.SendCommand(B("{WS|}"), error, 13, true));
}

TEST_F(SerialLinkTest, MissingPortCannotBeOpened) {
  iface.m_objComPortNumber.SetValue(int32_t{3});  // COM4: no such device here
  EXPECT_FALSE(link.OpenInterface(dz::kLinkCom));
  EXPECT_FALSE(link.Serial().IsSerialPortOpen());
}
