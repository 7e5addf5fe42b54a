// A USB transfer library "Diruvov" for the benchmarks: every entry point
// forwards to the simulator build and adds the time spent there, so that the
// time the program itself adds to a USB transaction can be told apart from
// the library's own. It also notes when the last call that delivered reply
// bytes returned: the moment the reply is in the program's hands.
#include <dlfcn.h>
#include <time.h>

#include <atomic>
#include <cstdint>

#define TIMING_API extern "C" __attribute__((visibility("default")))

namespace {

using OpenFn = int32_t (*)();
using SendFn = int32_t (*)(const uint8_t*, int32_t);
using ReceiveFn = int32_t (*)(uint8_t*, int32_t);

struct Simulator {
  void* handle = nullptr;
  OpenFn open = nullptr;
  SendFn send = nullptr;
  ReceiveFn receive = nullptr;
  OpenFn close = nullptr;
  OpenFn wb = nullptr;

  Simulator() {
    handle = dlopen(DZ_SIM_USB_LIBRARY, RTLD_NOW);
    if (!handle) return;
    open = reinterpret_cast<OpenFn>(dlsym(handle, "Dll_openUSB"));
    send = reinterpret_cast<SendFn>(dlsym(handle, "Dll_sendUSB"));
    receive = reinterpret_cast<ReceiveFn>(dlsym(handle, "Dll_rcvUSB"));
    close = reinterpret_cast<OpenFn>(dlsym(handle, "Dll_closeUSB"));
    wb = reinterpret_cast<OpenFn>(dlsym(handle, "Dll_wbUSB"));
  }
};

// Loaded with this library, so that no call pays for it.
const Simulator g_simulator;
std::atomic<int64_t> g_libraryNs{0};
std::atomic<int64_t> g_lastReplyNs{0};
std::atomic<int32_t> g_calls{0};

int64_t NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

template <typename Fn, typename... Args>
int32_t Timed(Fn fn, Args... args) {
  if (!fn) return -1;
  const int64_t start = NowNs();
  const int32_t result = fn(args...);
  g_libraryNs += NowNs() - start;
  ++g_calls;
  return result;
}

}  // namespace

TIMING_API int32_t Dll_openUSB() { return Timed(g_simulator.open); }
TIMING_API int32_t Dll_sendUSB(const uint8_t* data, int32_t length) { return Timed(g_simulator.send, data, length); }
TIMING_API int32_t Dll_rcvUSB(uint8_t* buffer, int32_t maxLength) {
  const int32_t received = Timed(g_simulator.receive, buffer, maxLength);
  if (received > 0) g_lastReplyNs = NowNs();
  return received;
}
TIMING_API int32_t Dll_closeUSB() { return Timed(g_simulator.close); }
TIMING_API int32_t Dll_wbUSB() { return Timed(g_simulator.wb); }

TIMING_API int32_t DiruvovTiming_Loaded() { return g_simulator.open && g_simulator.receive ? 1 : 0; }
TIMING_API int64_t DiruvovTiming_LibraryNs() { return g_libraryNs; }
TIMING_API int64_t DiruvovTiming_LastReplyNs() { return g_lastReplyNs; }
TIMING_API int32_t DiruvovTiming_Calls() { return g_calls; }
TIMING_API void DiruvovTiming_Reset() {
  g_libraryNs = 0;
  g_lastReplyNs = 0;
  g_calls = 0;
}
