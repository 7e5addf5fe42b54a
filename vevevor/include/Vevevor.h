/*
 * Vevevor: plain, blocking output to the parallel port.
 *
 * Four functions, exported by name with C linkage (ordinals 1 to 4 in the
 * Windows DLL, in the order below).  A handle is the operating system's
 * handle for the opened port as a 32-bit integer; -1 means failure.
 *
 * Usual order for one transfer:
 *
 *     int32_t h = DeviceOpen();
 *     if (h != -1) {
 *         DeviceTimeoutSet(h);
 *         if (DeviceWrite(h, bytes, count))
 *             DeviceClose(h);          // only after a successful write
 *     }
 *
 * A failed DeviceWrite has already closed the handle; it must not be closed
 * again (on Linux the number may by then belong to another file).
 *
 * Device: "LPT1" on Windows.  On Linux "/dev/lp0", or the path in the
 * environment variable VEVEVOR_DEVICE when that is set and not empty (for
 * a printer behind a USB adapter, e.g. /dev/usb/lp0, and for tests).
 */
#ifndef VEVEVOR_H
#define VEVEVOR_H

#include <stdint.h>

#if defined(_WIN32)
#define VEVEVOR_CALL __stdcall
#define VEVEVOR_API /* exported by name and ordinal through Vevevor.def */
#else
#define VEVEVOR_CALL
#define VEVEVOR_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Closes the handle.  Always returns 0, also for -1 or a handle that is not open. */
VEVEVOR_API int32_t VEVEVOR_CALL DeviceClose(int32_t handle);

/* Opens the port for reading and writing, for this caller alone, only if the
 * device exists.  Returns the handle, or -1 when the port is missing, in use
 * (by this or another process) or not accessible. */
VEVEVOR_API int32_t VEVEVOR_CALL DeviceOpen(void);

/* Installs the write time-out on the handle: a write of n bytes may take at
 * most 15000 + n milliseconds.  Returns non-zero when installed, 0 otherwise.
 * Without it a write waits as long as the port needs. */
VEVEVOR_API int32_t VEVEVOR_CALL DeviceTimeoutSet(int32_t handle);

/* Writes count bytes from data in one blocking call.  Returns non-zero when
 * the port accepted the data, also when the time-out ended the write after
 * only part of it was taken.  Returns 0 when the write failed, when the port
 * took nothing within the time-out, or for a bad argument (count < 0, no
 * data); the handle is then closed. */
VEVEVOR_API int32_t VEVEVOR_CALL DeviceWrite(int32_t handle, const uint8_t* data, int32_t count);

#ifdef __cplusplus
}
#endif

#endif /* VEVEVOR_H */
