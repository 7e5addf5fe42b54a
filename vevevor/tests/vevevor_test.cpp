// Vevevor against stand-in ports: the test build of the library (same source,
// shorter write time-out through the test hook) for the behaviour, and the
// shipped libVevevor.so, bound by name with dlopen(), for the interface.
#include "Vevevor.h"
#include "vevevor_testing.h"

#include "stand_in_ports.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

// The test binary is linked with --wrap=write, so the library's write() calls
// come here.  A port that reports itself writable and still refuses every
// write, as the lp driver does while the printer is busy, is a descriptor
// listed in s_refusingPort until s_refuseUntil.
namespace {
std::atomic<int> s_refusingPort{-1};
Clock::time_point s_refuseUntil;
std::atomic<int> s_refusals{0};
}  // namespace

extern "C" ssize_t __real_write(int fd, const void* data, size_t count);
extern "C" ssize_t __wrap_write(int fd, const void* data, size_t count) {
  if (fd == s_refusingPort && Clock::now() < s_refuseUntil) {
    ++s_refusals;
    errno = EAGAIN;
    return -1;
  }
  return __real_write(fd, data, count);
}

namespace {

long long millisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::vector<unsigned char> pattern(std::size_t count) {
  std::vector<unsigned char> data(count);
  for (std::size_t i = 0; i < count; ++i) data[i] = static_cast<unsigned char>(i * 7 + i / 251);
  return data;
}

class VevevorPort : public ::testing::Test {
 protected:
  void SetUp() override { VevevorTestSetWriteTimeout(15000, 1); }
  void TearDown() override { VevevorTestSetWriteTimeout(15000, 1); }
};

TEST_F(VevevorPort, WriteToAPortThatTakesTheDataSucceedsAndKeepsTheHandle) {
  PseudoTerminal port;
  DevicePathOverride device(port.portPath());

  int32_t handle = DeviceOpen();
  ASSERT_GE(handle, 0);
  EXPECT_NE(DeviceTimeoutSet(handle), 0);

  const std::vector<unsigned char> label = {'{', 'S', 'T', '|', '}', '\n', 0x00, 0xFF};
  EXPECT_NE(DeviceWrite(handle, label.data(), static_cast<int32_t>(label.size())), 0);
  EXPECT_TRUE(isOpenDescriptor(handle));
  EXPECT_EQ(port.read(label.size()), label);

  // Nothing to write is a successful write, too.
  EXPECT_NE(DeviceWrite(handle, nullptr, 0), 0);
  EXPECT_TRUE(isOpenDescriptor(handle));

  EXPECT_EQ(DeviceClose(handle), 0);
  EXPECT_FALSE(isOpenDescriptor(handle));
}

// Writes 16 FIFO-fulls to a printer that starts reading after startMs and
// then takes the data in FIFO-sized pieces; true when all of it arrived.
bool writeToSlowPrinter(bool withTimeOut, int startMs) {
  StalledFifo port;
  DevicePathOverride device(port.portPath());
  const auto data = pattern(port.capacity() * 16);
  std::vector<unsigned char> received;
  std::thread printer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(startMs));
    received = port.read(data.size());
  });

  int32_t handle = DeviceOpen();
  if (handle >= 0 && withTimeOut) DeviceTimeoutSet(handle);
  int32_t result = handle >= 0 ? DeviceWrite(handle, data.data(), static_cast<int32_t>(data.size())) : 0;
  printer.join();
  bool stillOpen = handle >= 0 && isOpenDescriptor(handle);
  DeviceClose(handle);
  return result != 0 && stillOpen && received == data;
}

TEST_F(VevevorPort, WriteFollowsAPortThatTakesTheDataInPieces) {
  VevevorTestSetWriteTimeout(50, 0);
  // Without DeviceTimeoutSet the write waits for a printer that starts
  // well after the bound a bounded write would have.
  EXPECT_TRUE(writeToSlowPrinter(false, 300));
  VevevorTestSetWriteTimeout(15000, 1);
  EXPECT_TRUE(writeToSlowPrinter(true, 0));
}

TEST_F(VevevorPort, OpenFailsForAMissingPortAndLeavesNothingBehind) {
  StalledFifo somewhere;  // only for its temporary folder
  const std::string missing = somewhere.portPath() + "-missing";
  {
    DevicePathOverride device(missing);
    EXPECT_EQ(DeviceOpen(), -1);
  }
  struct stat info;
  EXPECT_NE(stat(missing.c_str(), &info), 0) << "DeviceOpen created the device file";

  DevicePathOverride directory("/");
  EXPECT_EQ(DeviceOpen(), -1);
}

TEST_F(VevevorPort, OpenFailsWhileThePortIsInUse) {
  PseudoTerminal port;
  DevicePathOverride device(port.portPath());

  int32_t first = DeviceOpen();
  ASSERT_GE(first, 0);
  EXPECT_EQ(DeviceOpen(), -1);

  EXPECT_EQ(DeviceClose(first), 0);
  int32_t again = DeviceOpen();
  EXPECT_GE(again, 0) << "closing did not release the port";
  DeviceClose(again);
}

TEST_F(VevevorPort, FailedWriteReleasesThePort) {
  PseudoTerminal port;
  DevicePathOverride device(port.portPath());
  int32_t handle = DeviceOpen();
  ASSERT_GE(handle, 0);
  DeviceTimeoutSet(handle);

  // The printer goes away: the write fails and the handle is gone.
  port.hangUp();
  const auto data = pattern(64);
  EXPECT_EQ(DeviceWrite(handle, data.data(), 64), 0);
  EXPECT_FALSE(isOpenDescriptor(handle)) << "a failed write must close the handle";
}

TEST_F(VevevorPort, WriteToABrokenPipeFailsWithoutSignallingTheCaller) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);

  sigset_t maskBefore, maskAfter, pending;
  pthread_sigmask(SIG_SETMASK, nullptr, &maskBefore);

  ASSERT_NE(DeviceTimeoutSet(ends[1]), 0);
  const auto data = pattern(16);
  EXPECT_EQ(DeviceWrite(ends[1], data.data(), 16), 0);  // SIGPIPE would have ended the test
  EXPECT_FALSE(isOpenDescriptor(ends[1]));

  pthread_sigmask(SIG_SETMASK, nullptr, &maskAfter);
  EXPECT_EQ(sigismember(&maskAfter, SIGPIPE), sigismember(&maskBefore, SIGPIPE));
  sigpending(&pending);
  EXPECT_EQ(sigismember(&pending, SIGPIPE), 0) << "SIGPIPE left pending for the caller";
}

TEST_F(VevevorPort, WriteThatThePortDoesNotTakeFailsAtTheBound) {
  VevevorTestSetWriteTimeout(300, 1);
  StalledFifo port;
  port.fill();
  DevicePathOverride device(port.portPath());
  int32_t handle = DeviceOpen();
  ASSERT_GE(handle, 0);
  ASSERT_NE(DeviceTimeoutSet(handle), 0);

  const auto data = pattern(700);  // bound: 300 + 700 * 1 = 1000 ms
  auto start = Clock::now();
  EXPECT_EQ(DeviceWrite(handle, data.data(), 700), 0);
  long long elapsed = millisecondsSince(start);

  EXPECT_FALSE(isOpenDescriptor(handle));
  EXPECT_GE(elapsed, 1000) << "gave up before the bound";
  EXPECT_LT(elapsed, 1000 + 4000) << "overran the bound";
}

TEST_F(VevevorPort, WriteThatThePortTakesOnlyPartlyCountsAsAccepted) {
  VevevorTestSetWriteTimeout(200, 0);
  StalledFifo port;
  DevicePathOverride device(port.portPath());
  int32_t handle = DeviceOpen();
  ASSERT_GE(handle, 0);
  ASSERT_NE(DeviceTimeoutSet(handle), 0);

  // One FIFO-full is taken, the rest waits in vain until the bound.
  const auto data = pattern(port.capacity() + 1000);
  auto start = Clock::now();
  EXPECT_NE(DeviceWrite(handle, data.data(), static_cast<int32_t>(data.size())), 0);
  EXPECT_GE(millisecondsSince(start), 200);
  EXPECT_TRUE(isOpenDescriptor(handle));

  const auto taken = port.drain();
  EXPECT_EQ(taken, std::vector<unsigned char>(data.begin(), data.begin() + port.capacity()));
  EXPECT_EQ(DeviceClose(handle), 0);
}

TEST_F(VevevorPort, PortThatCannotReportReadinessIsRetriedAtAPace) {
  VevevorTestSetWriteTimeout(300, 0);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);  // an empty pipe: poll() always says writable
  ASSERT_NE(DeviceTimeoutSet(ends[1]), 0);
  const auto data = pattern(100);

  // Busy for 150 ms, then it takes the data.
  s_refusals = 0;
  s_refuseUntil = Clock::now() + std::chrono::milliseconds(150);
  s_refusingPort = ends[1];
  EXPECT_NE(DeviceWrite(ends[1], data.data(), 100), 0);
  EXPECT_GT(s_refusals, 0);
  EXPECT_LT(s_refusals, 60) << "retried without pausing";
  std::vector<unsigned char> received(100);
  EXPECT_EQ(read(ends[0], received.data(), received.size()), 100);
  EXPECT_EQ(received, data);

  // Busy for good: the write fails at the bound like any other.
  s_refusals = 0;
  s_refuseUntil = Clock::now() + std::chrono::hours(1);
  auto start = Clock::now();
  EXPECT_EQ(DeviceWrite(ends[1], data.data(), 100), 0);
  EXPECT_GE(millisecondsSince(start), 300);
  EXPECT_LT(s_refusals, 100) << "retried without pausing";
  EXPECT_FALSE(isOpenDescriptor(ends[1]));

  s_refusingPort = -1;
  close(ends[0]);
}

TEST_F(VevevorPort, BadArgumentsFailWithoutCrashing) {
  EXPECT_EQ(DeviceClose(-1), 0);
  EXPECT_EQ(DeviceClose(INT32_MIN), 0);
  EXPECT_EQ(DeviceTimeoutSet(-1), 0);
  const unsigned char byte = 0x41;
  EXPECT_EQ(DeviceWrite(-1, &byte, 1), 0);

  // A handle that is no longer open.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  close(ends[1]);
  EXPECT_EQ(DeviceTimeoutSet(ends[1]), 0);
  EXPECT_EQ(DeviceWrite(ends[1], &byte, 1), 0);
  EXPECT_EQ(DeviceClose(ends[1]), 0);

  // No data or a negative count: a failed write, so the handle is closed.
  PseudoTerminal port;
  DevicePathOverride device(port.portPath());
  int32_t handle = DeviceOpen();
  ASSERT_GE(handle, 0);
  EXPECT_EQ(DeviceWrite(handle, nullptr, 5), 0);
  EXPECT_FALSE(isOpenDescriptor(handle));

  handle = DeviceOpen();
  ASSERT_GE(handle, 0);
  EXPECT_EQ(DeviceWrite(handle, &byte, -1), 0);
  EXPECT_FALSE(isOpenDescriptor(handle));
}

// The shipped library, bound by name as its callers bind it.
class VevevorSharedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    m_library = dlopen(VEVEVOR_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(m_library, nullptr) << dlerror();
  }
  void TearDown() override {
    if (m_library != nullptr) dlclose(m_library);
  }
  template <typename Function>
  Function* bind(const char* name) {
    return reinterpret_cast<Function*>(dlsym(m_library, name));
  }
  void* m_library = nullptr;
};

TEST_F(VevevorSharedLibrary, DrivesAPortThroughTheFourNamesAndHasNoTestHooks) {
  auto open = bind<int32_t()>("DeviceOpen");
  auto timeoutSet = bind<int32_t(int32_t)>("DeviceTimeoutSet");
  auto write = bind<int32_t(int32_t, const uint8_t*, int32_t)>("DeviceWrite");
  auto closePort = bind<int32_t(int32_t)>("DeviceClose");
  ASSERT_TRUE(open && timeoutSet && write && closePort);
  EXPECT_EQ(bind<void>("VevevorTestSetWriteTimeout"), nullptr);

  PseudoTerminal port;
  DevicePathOverride device(port.portPath());
  int32_t handle = open();
  ASSERT_GE(handle, 0);
  EXPECT_NE(timeoutSet(handle), 0);
  const auto data = pattern(300);
  EXPECT_NE(write(handle, data.data(), 300), 0);
  EXPECT_EQ(port.read(300), data);
  EXPECT_EQ(closePort(handle), 0);
  EXPECT_FALSE(isOpenDescriptor(handle));
  EXPECT_EQ(closePort(-1), 0);
}

}  // namespace
