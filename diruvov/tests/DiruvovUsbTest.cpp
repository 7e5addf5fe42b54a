// Diruvov through the real libusb against printers emulated by umockdev.
#include "Diruvov.h"
#include "FakeUsbBus.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>
#include <vector>

namespace {

const std::string kDazavuId = "MFG:Dazavu;CMD:DZ;MDL:L1;CLS:PRINTER;";
const std::vector<uint8_t> kStatusRequest{'{', 'W', 'S', '|', '}'};
const std::vector<uint8_t> kStatusReply{1, '0', '0', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'};

FakeDevice Printer(const std::string& id = kDazavuId) {
  FakeDevice d;
  d.deviceId = DeviceIdAnswer(id);
  return d;
}

// Drops the capabilities that let root ignore file permissions, for the
// calling thread, while it lives; a no-op for other users.
class WithoutRootFileAccess {
 public:
  WithoutRootFileAccess() {
    m_header.version = _LINUX_CAPABILITY_VERSION_3;
    if (syscall(SYS_capget, &m_header, m_saved.data()) != 0) return;
    std::array<__user_cap_data_struct, 2> reduced = m_saved;
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    m_dropped = syscall(SYS_capset, &m_header, reduced.data()) == 0;
  }
  ~WithoutRootFileAccess() {
    if (m_dropped) syscall(SYS_capset, &m_header, m_saved.data());
  }

 private:
  __user_cap_header_struct m_header{};
  std::array<__user_cap_data_struct, 2> m_saved{};
  bool m_dropped = false;
};

class DiruvovUsb : public ::testing::Test {
 protected:
  void TearDown() override { Dll_closeUSB(); }

  // After a failed open nothing may stay open or claimed.
  void ExpectReleased(int n) {
    EXPECT_EQ(bus.OpenFiles(n), 0);
    EXPECT_EQ(bus.ClaimedInterfaces(n), 0);
  }

  FakeUsbBus bus;
};

TEST_F(DiruvovUsb, NoPrinterClassDeviceIsNotReady) {
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_NOT_READY);  // empty bus

  FakeDevice storage = Printer();
  storage.interfaceClass = 8;
  FakeDevice unidirectional = Printer();
  unidirectional.interfaceProtocol = 1;
  const int a = bus.Plug(storage);
  const int b = bus.Plug(unidirectional);
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_NOT_READY);
  EXPECT_EQ(bus.LastDeviceIdValue(a), -1);  // never asked for an ID
  EXPECT_EQ(bus.LastDeviceIdValue(b), -1);
  ExpectReleased(a);
  ExpectReleased(b);
}

TEST_F(DiruvovUsb, BusyOrForbiddenPrinterIsNotReady) {
  FakeDevice busy = Printer();
  busy.claimErrno = EBUSY;
  const int b = bus.Plug(busy);
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_NOT_READY);
  ExpectReleased(b);
  bus.Unplug(b);

  const int f = bus.Plug(Printer());
  bus.DenyAccess(f);
  {
    WithoutRootFileAccess asUser;
    EXPECT_EQ(Dll_openUSB(), DIRUVOV_NOT_READY);
  }
  EXPECT_EQ(bus.LastDeviceIdValue(f), -1);
  ExpectReleased(f);
}

TEST_F(DiruvovUsb, UnreadableDeviceIdIsAnIdError) {
  FakeDevice stalled = Printer();
  stalled.stallDeviceId = true;
  const int s = bus.Plug(stalled);
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_NO_DEVICE_ID);
  ExpectReleased(s);
  bus.Unplug(s);

  FakeDevice empty = Printer();
  empty.deviceId = {0, 2};
  const int e = bus.Plug(empty);
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_NO_DEVICE_ID);
  ExpectReleased(e);
}

TEST_F(DiruvovUsb, DeviceIdIsAskedOfThePrinterInterface) {
  FakeDevice second = Printer();
  second.interfaceNumber = 1;
  const int n = bus.Plug(second);
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(bus.LastDeviceIdValue(n), 0);       // first configuration
  EXPECT_EQ(bus.LastDeviceIdIndex(n), 0x0100);  // interface 1, alternate 0
}

TEST_F(DiruvovUsb, DeviceIdLengthInEitherByteOrderOrTooLong) {
  struct Case {
    const char* what;
    std::vector<uint8_t> answer;
  };
  std::vector<uint8_t> overstated = DeviceIdAnswer(kDazavuId);
  overstated[0] = 0x7F;                                   // claims far more than the printer sends
  std::string huge = kDazavuId + std::string(3000, 'x');  // longer than the library asks for
  const Case cases[] = {
      {"big-endian", DeviceIdAnswer(kDazavuId)},
      {"little-endian", DeviceIdAnswer(kDazavuId, true)},
      {"overstated", overstated},
      {"longer than the buffer", DeviceIdAnswer(huge)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeDevice d = Printer();
    d.deviceId = c.answer;
    const int n = bus.Plug(d);
    EXPECT_EQ(Dll_openUSB(), DIRUVOV_OK);
    Dll_closeUSB();
    bus.Unplug(n);
  }
}

TEST_F(DiruvovUsb, OtherPrintersAreWrongDevices) {
  for (const char* id : {"MFG:Acme;MDL:L1;CMD:PCL;", "MDL:L1;CMD:DZ;", "MFG:Dazavu;CMD:DZ;"}) {
    SCOPED_TRACE(id);
    const int n = bus.Plug(Printer(id));
    EXPECT_EQ(Dll_openUSB(), DIRUVOV_WRONG_DEVICE);
    ExpectReleased(n);
    bus.Unplug(n);
  }
}

TEST_F(DiruvovUsb, TheDazavuAmongOtherPrintersIsChosen) {
  const int other = bus.Plug(Printer("MFG:Acme;MDL:Laser;"));
  const int dazavu = bus.Plug(Printer());
  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(Dll_sendUSB(kStatusRequest.data(), 5), 5);
  EXPECT_TRUE(bus.Written(other).empty());
  EXPECT_EQ(bus.Written(dazavu), kStatusRequest);
  ExpectReleased(other);
}

// The program's transaction: open once as an identity check, then open, send,
// close, then open, receive, close until the reply is in.
TEST_F(DiruvovUsb, StatusTransaction) {
  const int n = bus.Plug(Printer());
  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(bus.OpenFiles(n), 1);
  EXPECT_EQ(bus.ClaimedInterfaces(n), 1);

  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(Dll_sendUSB(kStatusRequest.data(), static_cast<int32_t>(kStatusRequest.size())), 5);
  EXPECT_EQ(Dll_closeUSB(), 0);
  ExpectReleased(n);
  EXPECT_EQ(bus.Written(n), kStatusRequest);

  std::vector<uint8_t> reply(14, 0);
  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(Dll_rcvUSB(reply.data(), 13), 0);  // printer not ready yet: silent
  Dll_closeUSB();
  bus.QueueReply(n, kStatusReply);
  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(Dll_rcvUSB(reply.data(), 13), 13);
  Dll_closeUSB();
  ExpectReleased(n);
  EXPECT_EQ(std::vector<uint8_t>(reply.begin(), reply.begin() + 13), kStatusReply);
  EXPECT_EQ(reply[13], 0);
}

TEST_F(DiruvovUsb, RepeatedOpenKeepsOneHandle) {
  const int n = bus.Plug(Printer());
  for (int i = 0; i < 5; ++i) ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(bus.OpenFiles(n), 1);
  EXPECT_EQ(bus.ClaimedInterfaces(n), 1);
  Dll_closeUSB();
  Dll_closeUSB();  // a second close is harmless
  ExpectReleased(n);
}

TEST_F(DiruvovUsb, ALongReplyIsCutToTheBuffer) {
  const int n = bus.Plug(Printer());
  bus.QueueReply(n, kStatusReply);
  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  std::array<uint8_t, 8> buffer{};
  buffer.fill(0xEE);
  EXPECT_EQ(Dll_rcvUSB(buffer.data(), 5), 5);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 5),
            std::vector<uint8_t>(kStatusReply.begin(), kStatusReply.begin() + 5));
  EXPECT_EQ(buffer[5], 0xEE);
}

TEST_F(DiruvovUsb, UnpluggedBetweenOpenAndSend) {
  const int n = bus.Plug(Printer());
  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  bus.Unplug(n);
  EXPECT_EQ(Dll_sendUSB(kStatusRequest.data(), 5), DIRUVOV_NOT_READY);
  EXPECT_EQ(bus.OpenFiles(n), 0);  // let go at once, before any close
  uint8_t buffer[16];
  EXPECT_EQ(Dll_rcvUSB(buffer, 16), DIRUVOV_NOT_OPEN);
  Dll_closeUSB();
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_NOT_READY);

  const int again = bus.Plug(Printer());  // plugged back in
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(Dll_sendUSB(kStatusRequest.data(), 5), 5);
  EXPECT_EQ(bus.Written(again), kStatusRequest);
}

TEST_F(DiruvovUsb, StalledWriteFailsAndTheNextOpenStartsClean) {
  FakeDevice d = Printer();
  d.stallWrites = true;
  const int n = bus.Plug(d);
  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(Dll_sendUSB(kStatusRequest.data(), 5), DIRUVOV_TRANSFER_FAILED);
  Dll_closeUSB();
  ExpectReleased(n);
  EXPECT_EQ(Dll_openUSB(), DIRUVOV_OK);
}

TEST_F(DiruvovUsb, CallsWithoutAnOpenPrinterOrWithBadArguments) {
  uint8_t buffer[4] = {};
  EXPECT_EQ(Dll_sendUSB(kStatusRequest.data(), 5), DIRUVOV_NOT_OPEN);
  EXPECT_EQ(Dll_rcvUSB(buffer, 4), DIRUVOV_NOT_OPEN);
  EXPECT_EQ(Dll_closeUSB(), 0);

  const int n = bus.Plug(Printer());
  ASSERT_EQ(Dll_openUSB(), DIRUVOV_OK);
  EXPECT_EQ(Dll_sendUSB(nullptr, 5), DIRUVOV_BAD_ARGUMENT);
  EXPECT_EQ(Dll_sendUSB(kStatusRequest.data(), -1), DIRUVOV_BAD_ARGUMENT);
  EXPECT_EQ(Dll_rcvUSB(nullptr, 4), DIRUVOV_BAD_ARGUMENT);
  EXPECT_EQ(Dll_rcvUSB(buffer, -4), DIRUVOV_BAD_ARGUMENT);
  EXPECT_EQ(Dll_sendUSB(nullptr, 0), 0);
  EXPECT_EQ(Dll_rcvUSB(buffer, 0), 0);
  EXPECT_TRUE(bus.Written(n).empty());
}

}  // namespace
