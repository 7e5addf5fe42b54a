// The exported entry points: one printer link per process, calls serialised.
#include "Diruvov.h"

#include "PrinterLink.h"

#include <mutex>

namespace {

std::mutex g_mutex;

diruvov::PrinterLink& Link() {
  static diruvov::PrinterLink link;  // closed when the library is unloaded
  return link;
}

// No exception may cross the C boundary; the only one possible is running
// out of memory for a transfer buffer.
template <typename F>
int32_t Guarded(F&& f, int32_t onFailure) noexcept {
  try {
    std::lock_guard<std::mutex> lock(g_mutex);
    return f(Link());
  } catch (...) {
    return onFailure;
  }
}

}  // namespace

extern "C" {

int32_t Dll_openUSB(void) {
  return Guarded([](diruvov::PrinterLink& l) { return l.Open(); }, DIRUVOV_NOT_READY);
}

int32_t Dll_sendUSB(const uint8_t* data, int32_t length) {
  return Guarded([&](diruvov::PrinterLink& l) { return l.Send(data, length); }, DIRUVOV_TRANSFER_FAILED);
}

int32_t Dll_rcvUSB(uint8_t* buffer, int32_t maxLength) {
  return Guarded([&](diruvov::PrinterLink& l) { return l.Receive(buffer, maxLength); }, DIRUVOV_TRANSFER_FAILED);
}

int32_t Dll_closeUSB(void) {
  return Guarded(
      [](diruvov::PrinterLink& l) {
        l.Close();
        return 0;
      },
      0);
}

}  // extern "C"
