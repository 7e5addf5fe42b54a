/*
 * Vevevor on Windows: LPT1 through the file and communication-device
 * functions.  The system keeps the time-outs with the handle, so the library
 * holds no state of its own.
 *
 * Built without the C run-time: the DLL imports KERNEL32 only, and its entry
 * point does nothing (see CMakeLists.txt).
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "Vevevor.h"

/* Write bound installed by DeviceTimeoutSet: 15000 ms + 1 ms per byte.  The
 * library never reads, so the read fields stay 0. */
enum { kWriteTimeoutConstantMs = 15000, kWriteTimeoutPerByteMs = 1 };

/* Kernel handles fit in 32 bits also in 64-bit processes.  They travel as
 * int32_t and are sign-extended on the way back, so -1 stays
 * INVALID_HANDLE_VALUE. */
static HANDLE ToHandle(int32_t handle) { return (HANDLE)(INT_PTR)handle; }

static int32_t FromHandle(HANDLE handle) { return (int32_t)(INT_PTR)handle; }

/* Entry point of the DLL: nothing to set up or tear down. */
BOOL WINAPI VevevorDllEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}

int32_t VEVEVOR_CALL DeviceClose(int32_t handle) {
  /* -1 is also the pseudo-handle of the current process: never pass it on. */
  if (handle != -1) CloseHandle(ToHandle(handle));
  return 0;
}

int32_t VEVEVOR_CALL DeviceOpen(void) {
  HANDLE port = CreateFileA("LPT1", GENERIC_READ | GENERIC_WRITE, 0 /* not shared */, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  return FromHandle(port);
}

int32_t VEVEVOR_CALL DeviceTimeoutSet(int32_t handle) {
  COMMTIMEOUTS timeouts;
  timeouts.ReadIntervalTimeout = 0;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = kWriteTimeoutPerByteMs;
  timeouts.WriteTotalTimeoutConstant = kWriteTimeoutConstantMs;
  return SetCommTimeouts(ToHandle(handle), &timeouts);
}

int32_t VEVEVOR_CALL DeviceWrite(int32_t handle, const uint8_t* data, int32_t count) {
  BOOL written = FALSE;
  if (count >= 0 && (data != NULL || count == 0)) {
    /* One synchronous write; a count short of the request (the time-out
     * ended it) still counts as accepted.  The time-out ends the call with a
     * success status and the bytes taken so far, so a port that took none of
     * them within the bound is told apart here: it did not accept the data. */
    DWORD bytesWritten = 0;
    written = WriteFile(ToHandle(handle), data, (DWORD)count, &bytesWritten, NULL);
    if (written && count > 0 && bytesWritten == 0) written = FALSE;
  }
  if (!written) {
    DeviceClose(handle);
    return 0;
  }
  return written;
}
