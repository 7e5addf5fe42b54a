/* USB transfer library "Diruvov", simulator build.
 *
 * Offers the five entry points of the real library, answered by an in-process
 * simulated printer, plus control entry points for tests. Load it by absolute
 * path (DZ_SIM_USB_LIBRARY, defined for every target that links dz_simulator).
 *
 * Replies, as Dll_rcvUSB returns them:
 *   status reply  the 13 bytes of the printer's status reply (first byte 1);
 *   record reply  two bytes (2, 0) followed by the record frame "{" ... of
 *                 the record width plus 4 bytes.
 * One call returns at most one reply (or the part of it that fits; the rest
 * comes with the next call). 0 means nothing is pending.
 *
 * Device state: Dll_openUSB opens (result 0, or what DiruvovSim_SetOpenResult
 * set; a negative result leaves the device closed), Dll_closeUSB closes.
 * Dll_sendUSB and Dll_rcvUSB on a closed device return -1.
 *
 * Misbehaviour on USB: Silence, Garbage, Short and Huge change the reply
 * itself; Split returns the reply in two calls, the second no earlier than
 * the pause; Dribble returns one byte per call, one per interval; Delay makes
 * the reply available only after the delay; DropConnection returns the first
 * half and loses the rest; NeverRead makes Dll_sendUSB fail.
 *
 * All entry points are safe to call from any thread.
 */
#ifndef DZ_DIRUVOV_SIM_H
#define DZ_DIRUVOV_SIM_H

#include <stdint.h>

/* The transfer entry points, declared once for the library, this build and
 * the program. */
#include "Diruvov.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Modes for DiruvovSim_SetMode, in the order of dzsim::Misbehaviour. */
enum DiruvovSimMode {
  DIRUVOV_SIM_NORMAL = 0,
  DIRUVOV_SIM_SILENCE = 1,
  DIRUVOV_SIM_GARBAGE = 2,
  DIRUVOV_SIM_SPLIT = 3, /* param: pause in ms before the second part */
  DIRUVOV_SIM_SHORT = 4, /* param: number of bytes kept */
  DIRUVOV_SIM_HUGE = 5,  /* param: reply size in bytes (<= 0: 1 MiB) */
  DIRUVOV_SIM_DROP = 6,
  DIRUVOV_SIM_DELAY = 7, /* param: delay in ms */
  DIRUVOV_SIM_NEVER_READ = 8,
  DIRUVOV_SIM_DRIBBLE = 9 /* param: interval in ms between bytes */
};

/* Control entry points for tests. */
DIRUVOV_API void DiruvovSim_Reset(void); /* factory printer, counters, results, log */
DIRUVOV_API void DiruvovSim_SetOpenResult(int32_t result);
DIRUVOV_API void DiruvovSim_SetFailSend(int32_t fail);          /* nonzero: Dll_sendUSB returns -1 */
DIRUVOV_API void DiruvovSim_SetFailAll(int32_t fail);           /* nonzero: every Dll_ call returns -1 */
DIRUVOV_API int32_t DiruvovSim_SetStatusCode(const char* code); /* two characters; 1 on success */
/* mode: DiruvovSimMode; param: see the enum (negative keeps the default). 1 on success. */
DIRUVOV_API int32_t DiruvovSim_SetMode(int32_t mode, int32_t param);
/* A printer field by name (as the simulator's model names them), value of the field's width. */
DIRUVOV_API int32_t DiruvovSim_SetField(const char* name, const char* value);
/* Copies the field's value (NUL-terminated, truncated to max - 1); returns its length or -1. */
DIRUVOV_API int32_t DiruvovSim_GetField(const char* name, char* buffer, int32_t max);

/* Commands received through Dll_sendUSB, byte-exact. */
DIRUVOV_API int32_t DiruvovSim_CommandCount(void);
/* Copies command i (at most max bytes); returns its full length, or -1 for a bad index. */
DIRUVOV_API int32_t DiruvovSim_Command(int32_t i, uint8_t* buffer, int32_t max);
DIRUVOV_API int32_t DiruvovSim_PendingBytes(void);

/* Calls made so far. */
DIRUVOV_API int32_t DiruvovSim_OpenCount(void);
DIRUVOV_API int32_t DiruvovSim_SendCount(void);
DIRUVOV_API int32_t DiruvovSim_RcvCount(void);
DIRUVOV_API int32_t DiruvovSim_CloseCount(void);
/* The calls in order as text, e.g. "open open send close open rcv close"; copies at most
 * max - 1 characters plus NUL, returns the full length. */
DIRUVOV_API int32_t DiruvovSim_CallLog(char* buffer, int32_t max);

#ifdef __cplusplus
}
#endif

#ifdef DZ_SIM_USB_LIBRARY
/* Absolute path of the simulator build, for dlopen / QLibrary in tests. */
static const char* const kDiruvovSimLibraryPath = DZ_SIM_USB_LIBRARY;
#endif

#endif
