/*
 * The caller's side of the Wine test (wine_lpt1.py): a Windows program that
 * loads Vevevor.dll by name, as a program delivered beside it does, and uses
 * it on LPT1.  The host side decides what LPT1 is (a pseudo-terminal whose
 * master it reads, a link to nothing, a plain file) and plays the printer.
 * The two talk in lines: this program writes "HOST <request>" to standard
 * output and reads the answer, "ok" or "fail <why>", from standard input.
 *
 *   lpt1_caller                the behaviour checks (well under a second)
 *   lpt1_caller stall BYTES    one write to a reader that has stopped reading:
 *                              how long DeviceWrite takes to give up
 *
 * Prints "ok:", "note:" and "FAIL:" lines; exits 1 when a check failed.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "Vevevor.h"

typedef int32_t(VEVEVOR_CALL* CloseFn)(int32_t);
typedef int32_t(VEVEVOR_CALL* OpenFn)(void);
typedef int32_t(VEVEVOR_CALL* TimeoutSetFn)(int32_t);
typedef int32_t(VEVEVOR_CALL* WriteFn)(int32_t, const uint8_t*, int32_t);

static struct {
  CloseFn close;
  OpenFn open;
  TimeoutSetFn timeoutSet;
  WriteFn write;
} s_dll;

static int s_failures;

/* The write bound DeviceTimeoutSet promises: 15000 ms + 1 ms per byte. */
enum { kBoundConstantMs = 15000, kBoundPerByteMs = 1 };

static void Report(int ok, const char* format, va_list args) {
  fputs(ok ? "ok: " : "FAIL: ", stdout);
  vprintf(format, args);
  fputc('\n', stdout);
  fflush(stdout);
  if (!ok) ++s_failures;
}

static int Check(int ok, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Report(ok, format, args);
  va_end(args);
  return ok;
}

static void Note(const char* format, ...) {
  va_list args;
  va_start(args, format);
  fputs("note: ", stdout);
  vprintf(format, args);
  fputc('\n', stdout);
  fflush(stdout);
  va_end(args);
}

/* Asks the host side for something; 1 when it answers "ok".  Without an
 * answer there is nothing left to check. */
static int Host(const char* format, ...) {
  char answer[512];
  va_list args;
  va_start(args, format);
  fputs("HOST ", stdout);
  vprintf(format, args);
  fputc('\n', stdout);
  fflush(stdout);
  va_end(args);
  if (fgets(answer, sizeof answer, stdin) == NULL) {
    puts("FAIL: the host side stopped answering");
    exit(1);
  }
  answer[strcspn(answer, "\r\n")] = '\0';
  if (strcmp(answer, "ok") == 0) return 1;
  printf("FAIL: host: %s\n", answer);
  fflush(stdout);
  ++s_failures;
  return 0;
}

/* Handles travel as int32_t and come back sign-extended, as in the library. */
static HANDLE ToHandle(int32_t handle) { return (HANDLE)(INT_PTR)handle; }

static int IsOpen(int32_t handle) {
  DWORD flags;
  return GetHandleInformation(ToHandle(handle), &flags) != 0;
}

/* "HEX" of the bytes for the host's "expect" request. */
static const char* Hex(const uint8_t* data, int count) {
  static char text[2 * 256 + 1];
  static const char kDigits[] = "0123456789abcdef";
  int i;
  for (i = 0; i < count && i < 256; ++i) {
    text[2 * i] = kDigits[data[i] >> 4];
    text[2 * i + 1] = kDigits[data[i] & 15];
  }
  text[2 * i] = '\0';
  return text;
}

/* The four functions by name; each name must lead to the same code as its
 * ordinal (1 to 4 in alphabetical order). */
static int Load(void) {
  static const char* const kNames[4] = {"DeviceClose", "DeviceOpen", "DeviceTimeoutSet", "DeviceWrite"};
  FARPROC procs[4];
  HMODULE library = LoadLibraryA("Vevevor.dll");
  int i, all = 1;
  if (!Check(library != NULL, "LoadLibraryA(\"Vevevor.dll\") (error %lu)", library ? 0ul : GetLastError())) return 0;
  for (i = 0; i < 4; ++i) {
    procs[i] = GetProcAddress(library, kNames[i]);
    all &= Check(procs[i] != NULL && procs[i] == GetProcAddress(library, MAKEINTRESOURCEA(i + 1)),
                 "%s found by name, the same function as ordinal %d", kNames[i], i + 1);
  }
  if (!all) return 0;
  /* Through void (*)(void), the cast from FARPROC every caller writes. */
  s_dll.close = (CloseFn)(void (*)(void))procs[0];
  s_dll.open = (OpenFn)(void (*)(void))procs[1];
  s_dll.timeoutSet = (TimeoutSetFn)(void (*)(void))procs[2];
  s_dll.write = (WriteFn)(void (*)(void))procs[3];
  return 1;
}

/* Opening: LPT1 missing, held, released.  A plain file stands in for the
 * port here, because Wine keeps share modes for files only. */
static void OpenChecks(void) {
  int32_t handle, second;
  HANDLE other;

  if (Host("link none")) {
    handle = s_dll.open();
    Check(handle == -1, "DeviceOpen gives -1 while LPT1 links to nothing (got %ld)", (long)handle);
    if (handle != -1) s_dll.close(handle);
  }

  if (!Host("link file")) return;
  handle = s_dll.open();
  if (!Check(handle != -1, "DeviceOpen gives a handle when LPT1 exists (error %lu)", GetLastError())) return;
  {
    char byte;
    DWORD got = 1;
    Check(ReadFile(ToHandle(handle), &byte, 1, &got, NULL) && got == 0, "the handle is open for reading");
  }
  second = s_dll.open();
  Check(second == -1, "a second DeviceOpen gives -1 while the first holds the port (got %ld, error %lu)", (long)second,
        GetLastError());
  if (second != -1) s_dll.close(second);
  other = CreateFileA("LPT1", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, NULL);
  Check(other == INVALID_HANDLE_VALUE, "nobody else opens the port while DeviceOpen holds it, not even to share it");
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  Check(s_dll.timeoutSet(handle) == 0, "DeviceTimeoutSet gives 0 where no time-outs can be set (a plain file)");
  Check(s_dll.close(handle) == 0, "DeviceClose gives 0");

  handle = s_dll.open();
  Check(handle != -1, "DeviceClose released the port: DeviceOpen gets it again");
  if (handle != -1) s_dll.close(handle);

  other = CreateFileA("LPT1", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, NULL);
  if (Check(other != INVALID_HANDLE_VALUE, "another program opens the port (error %lu)", GetLastError())) {
    handle = s_dll.open();
    Check(handle == -1, "DeviceOpen gives -1 while another open holds the port (got %ld)", (long)handle);
    if (handle != -1) s_dll.close(handle);
    CloseHandle(other);
  }
}

/* Opens the pseudo-terminal the host has just linked and installs the
 * time-outs; -1 when either fails. */
static int32_t OpenPort(void) {
  int32_t handle = s_dll.open();
  if (!Check(handle != -1, "DeviceOpen gives a handle for LPT1 on a pseudo-terminal (error %lu)", GetLastError()))
    return -1;
  if (!Check(s_dll.timeoutSet(handle) != 0, "DeviceTimeoutSet gives non-zero on it")) {
    s_dll.close(handle);
    return -1;
  }
  return handle;
}

/* Installs a write bound of `ms` on the handle in place of the library's
 * 15 s, so that a write into a full port ends quickly; what the library
 * makes of the ended write is the same. */
static void ShortenBound(int32_t handle, DWORD ms) {
  COMMTIMEOUTS t = {0, 0, 0, 0, ms};
  Check(SetCommTimeouts(ToHandle(handle), &t), "a %lu ms write bound for the next write", ms);
}

/* Writes that the bound ends: into a full port (the printer takes nothing)
 * and into one with a little room (it takes part). */
static void BoundChecks(void) {
  static uint8_t data[65536];
  int32_t handle;

  if (!Host("link pty")) return;
  handle = OpenPort();
  if (handle == -1) return;
  ShortenBound(handle, 300);
  if (!Host("fill")) return;
  Check(s_dll.write(handle, data, 64) == 0 && !IsOpen(handle),
        "DeviceWrite gives 0 and has closed the handle when the port took nothing before the bound");

  handle = OpenPort();
  if (handle == -1) return;
  ShortenBound(handle, 300);
  if (!Host("drain 8192")) return;
  Check(s_dll.write(handle, data, (int32_t)sizeof data) != 0 && IsOpen(handle),
        "DeviceWrite gives non-zero and keeps the handle when the port took part before the bound");
  s_dll.close(handle);
}

/* The port: the time-out record, writes, and the reader going away. */
static void PortChecks(void) {
  static const uint8_t kAfter[] = "AFTER";
  uint8_t all[256];
  int32_t handle, second, result;
  COMMTIMEOUTS t;
  int i;

  if (!Host("link pty")) return;
  handle = s_dll.open();
  if (!Check(handle != -1, "DeviceOpen gives a handle for LPT1 on a pseudo-terminal (error %lu)", GetLastError()))
    return;
  second = s_dll.open();
  if (second == -1) {
    Note("a second DeviceOpen of the pseudo-terminal gives -1");
  } else {
    Note("a second DeviceOpen of the pseudo-terminal gives a handle: Wine keeps share modes for files only");
    s_dll.close(second);
  }

  result = s_dll.timeoutSet(handle);
  Check(result != 0, "DeviceTimeoutSet gives non-zero on a character device (Wine gives %ld)", (long)result);
  memset(&t, 0xff, sizeof t);
  i = GetCommTimeouts(ToHandle(handle), &t);
  Check(i && t.ReadIntervalTimeout == 0 && t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0 &&
            t.WriteTotalTimeoutMultiplier == kBoundPerByteMs && t.WriteTotalTimeoutConstant == kBoundConstantMs,
        "the port holds the time-outs: read %lu/%lu/%lu, write %lu ms per byte + %lu ms", t.ReadIntervalTimeout,
        t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, t.WriteTotalTimeoutMultiplier,
        t.WriteTotalTimeoutConstant);

  for (i = 0; i < 256; ++i) all[i] = (uint8_t)i;
  Check(s_dll.write(handle, all, 256) != 0, "DeviceWrite of the 256 byte values gives non-zero");
  Check(Host("expect %s", Hex(all, 256)), "the master received exactly those bytes");
  Check(IsOpen(handle), "the handle stays open after a successful write");

  result = s_dll.write(handle, all, 0);
  Check(result != 0 && IsOpen(handle), "a zero-length DeviceWrite gives non-zero (%ld) and keeps the handle",
        (long)result);
  Check(s_dll.write(handle, kAfter, 5) != 0 && Host("expect %s", Hex(kAfter, 5)),
        "nothing went out for the zero-length write: the next write arrives alone");

  Check(s_dll.write(handle, NULL, 4) == 0 && !IsOpen(handle),
        "DeviceWrite without data gives 0 and has closed the handle");

  BoundChecks();

  handle = OpenPort();
  if (handle == -1 || !Host("hangup")) return;
  Check(s_dll.write(handle, all, 16) == 0, "DeviceWrite gives 0 once the reader has gone");
  Check(!IsOpen(handle), "the failed write has closed the handle");
  Check(s_dll.close(handle) == 0, "a second DeviceClose of that handle is harmless and gives 0");
  Check(s_dll.close(-1) == 0, "DeviceClose(-1) gives 0");
}

/* One write of `bytes` to a reader that has stopped reading, timed against
 * the library's own bound. */
static void StallCheck(int bytes) {
  LARGE_INTEGER frequency, start, end;
  int32_t handle, result;
  uint8_t* data;
  double ms;
  const int bound = kBoundConstantMs + kBoundPerByteMs * bytes;

  if (!Host("link pty")) return;
  handle = OpenPort();
  if (handle == -1 || !Host("fill")) return;
  data = (uint8_t*)calloc((size_t)bytes, 1);
  if (data == NULL) {
    Check(0, "no memory for %d bytes", bytes);
    return;
  }
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  result = s_dll.write(handle, data, bytes);
  QueryPerformanceCounter(&end);
  free(data);
  ms = (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
  Note("DeviceWrite of %d bytes to a reader that stopped reading returned %ld after %.0f ms (bound %d ms)", bytes,
       (long)result, ms, bound);
  printf("FIGURE vevevor_wine_write_timeout_ms %.0f\n", ms);
  /* Wine's clock may end the wait a millisecond early. */
  Check(ms >= bound - 50 && ms <= bound + 5000, "it gave up at the installed bound of %d ms", bound);
  Check(result == 0 && !IsOpen(handle), "it gave 0 and closed the handle: the port took nothing");
  if (IsOpen(handle)) s_dll.close(handle);
}

int main(int argc, char** argv) {
  if (!Load()) return 1;
  if (argc == 3 && strcmp(argv[1], "stall") == 0 && atoi(argv[2]) > 0) {
    StallCheck(atoi(argv[2]));
  } else if (argc == 1) {
    OpenChecks();
    PortChecks();
  } else {
    fprintf(stderr, "usage: %s [stall BYTES]\n", argv[0]);
    return 2;
  }
  printf("%s: %d check(s) failed\n", s_failures ? "FAIL" : "done", s_failures);
  return s_failures ? 1 : 0;
}
