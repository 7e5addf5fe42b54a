// Diruvov: the USB transfer library that the setting tool binds by name.
//
// It talks to one Dazavu thermal label printer over the USB printer class
// (interface class 7, subclass 1, bidirectional protocol 2). Every call
// blocks for at most the time-out of the one USB transfer it makes; the
// library starts no transfers of its own.
//
// Results (32-bit signed):
//   >= 0  success (for Dll_sendUSB the number of bytes written, for
//         Dll_rcvUSB the number of bytes placed in the buffer)
//   -1    no printer attached, printer busy (another program or driver holds
//         it), access denied, or the printer went away during a transfer
//   -2    the printer's IEEE 1284 device ID could not be read
//   -3    the device ID does not name a printer this tool can configure
//   -4    Dll_sendUSB or Dll_rcvUSB without an open printer
//   -5    bad argument (null buffer with a positive length, negative length)
//   -6    the transfer failed: time-out on a write, stalled endpoint, I/O error
//
// Dll_openUSB always starts from a clean state: whatever an earlier open left
// behind is released first, so calling it twice without Dll_closeUSB does not
// leak a handle. A failed open leaves nothing open. Dll_closeUSB may be called
// at any time, also after a failed open.
#ifndef DIRUVOV_H
#define DIRUVOV_H

#include <stdint.h>

/* A build of the library exports its entry points; a program that binds them
 * by name at run time only uses the pointer types at the end. */
#ifndef DIRUVOV_API
#if defined(_WIN32)
#define DIRUVOV_API __declspec(dllexport)
#else
#define DIRUVOV_API __attribute__((visibility("default")))
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
  DIRUVOV_OK = 0,
  DIRUVOV_NOT_READY = -1,
  DIRUVOV_NO_DEVICE_ID = -2,
  DIRUVOV_WRONG_DEVICE = -3,
  DIRUVOV_NOT_OPEN = -4,
  DIRUVOV_BAD_ARGUMENT = -5,
  DIRUVOV_TRANSFER_FAILED = -6
};

// Time-outs of the single USB transfers, in milliseconds.
enum {
  DIRUVOV_CONTROL_TIMEOUT_MS = 1000,  // GET_DEVICE_ID
  DIRUVOV_WRITE_TIMEOUT_MS = 3000,    // one bulk-out write
  DIRUVOV_READ_TIMEOUT_MS = 200       // one bulk-in read; a silent printer gives 0
};

// Finds, claims and identifies the printer. 0 on success, -1, -2 or -3.
DIRUVOV_API int32_t Dll_openUSB(void);

// Writes length bytes with one bulk-out transfer. Returns length on success.
DIRUVOV_API int32_t Dll_sendUSB(const uint8_t* data, int32_t length);

// Reads at most maxLength bytes with one bulk-in transfer. Returns the number
// of bytes placed in the buffer; 0 when the printer had nothing to send.
DIRUVOV_API int32_t Dll_rcvUSB(uint8_t* buffer, int32_t maxLength);

// Releases the printer (a kernel printer driver detached by open is attached
// again). Always returns 0.
DIRUVOV_API int32_t Dll_closeUSB(void);

// Bound by the program but never called; a build may leave it out.
DIRUVOV_API int32_t Dll_wbUSB(void);

// The entry points as a program binds them by name.
typedef int32_t (*Dll_openUSB_fn)(void);
typedef int32_t (*Dll_sendUSB_fn)(const uint8_t* data, int32_t length);
typedef int32_t (*Dll_rcvUSB_fn)(uint8_t* buffer, int32_t maxLength);
typedef int32_t (*Dll_closeUSB_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
