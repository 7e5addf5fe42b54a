/*
 * Vevevor on Linux (and other POSIX systems).
 *
 * A handle is the file descriptor of the opened port.
 *
 * Port in use: DeviceOpen takes an exclusive flock() on the opened file and
 * gives up when someone else holds it, so a second DeviceOpen fails as on
 * Windows, where the port is opened without sharing.  The lp driver itself
 * admits only one opener of /dev/lp0 at a time (EBUSY); the lock covers the
 * other devices the port may be, such as a pseudo-terminal.
 *
 * Write time-out: Windows keeps the time-outs on the handle, and so does this
 * side: DeviceTimeoutSet puts the open file into non-blocking mode, a flag
 * that the kernel keeps with the open file.  DeviceWrite on a non-blocking
 * handle writes what the port takes and waits for it with poll() until the
 * deadline of 15000 ms + 1 ms per byte from the start of the call.  The
 * library keeps no table of handles.  A handle that never had
 * DeviceTimeoutSet stays blocking and its write waits as long as the port
 * needs, as a Windows handle does with its default time-outs.
 *
 * Ports that cannot report readiness: the lp driver has no poll support, so
 * poll() says "writable" at once while a busy printer still refuses the
 * write (EAGAIN).  When a write is refused right after poll() said writable,
 * DeviceWrite pauses for a short while (10 ms) before it tries again instead
 * of spinning.
 *
 * Broken pipe: a write to a pipe or socket without a reader would raise
 * SIGPIPE and end the calling program.  DeviceWrite blocks SIGPIPE in the
 * calling thread around its writes and discards the signal that its own
 * write raised, so the caller sees a failed write (0) and nothing else.
 */
#define _GNU_SOURCE
#include "Vevevor.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <stddef.h>
#include <stdlib.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#ifdef VEVEVOR_TEST_HOOKS
#include "vevevor_testing.h"
#endif

static const char kDefaultDevice[] = "/dev/lp0";
static const char kDeviceVariable[] = "VEVEVOR_DEVICE";

enum {
  kWriteTimeoutConstantMs = 15000,
  kWriteTimeoutPerByteMs = 1,
  kRefusedRetryPauseMs = 10,
  /* The kernel lets a poll() time-out run late by 0.1 % of its length
   * (15 ms on the full bound); waiting in slices of at most a second and
   * measuring again keeps the overrun near 1 ms. */
  kLongestWaitMs = 1000
};

#ifdef VEVEVOR_TEST_HOOKS
static int64_t s_writeTimeoutConstantMs = kWriteTimeoutConstantMs;
static int64_t s_writeTimeoutPerByteMs = kWriteTimeoutPerByteMs;

void VevevorTestSetWriteTimeout(int32_t constantMs, int32_t perByteMs) {
  s_writeTimeoutConstantMs = constantMs < 0 ? 0 : constantMs;
  s_writeTimeoutPerByteMs = perByteMs < 0 ? 0 : perByteMs;
}
#else
static const int64_t s_writeTimeoutConstantMs = kWriteTimeoutConstantMs;
static const int64_t s_writeTimeoutPerByteMs = kWriteTimeoutPerByteMs;
#endif

static int64_t MonotonicNowNs(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

/* Milliseconds left until the deadline, rounded up so that a wait never ends
 * before it; 0 once the deadline has passed; at most INT_MAX for poll(). */
static int MillisecondsUntil(int64_t deadlineNs) {
  int64_t leftNs = deadlineNs - MonotonicNowNs();
  if (leftNs <= 0) return 0;
  int64_t leftMs = (leftNs + 999999) / 1000000;
  return leftMs > INT_MAX ? INT_MAX : (int)leftMs;
}

static int SetNonBlocking(int fd, int on) {
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0) return -1;
  int wanted = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
  return wanted == flags ? 0 : fcntl(fd, F_SETFL, wanted);
}

typedef struct {
  int bounded;        /* the handle carries the write time-out */
  int64_t deadlineNs; /* CLOCK_MONOTONIC, when bounded */
  int brokenPipe;     /* the write failed with EPIPE */
} WriteState;

/* Writes all of data, or as much as the port takes before the deadline.
 * Returns 1 when the port took everything, or part of it before the time-out
 * ended the write; 0 on a write error or when it took nothing in time. */
static int WriteWithinBound(int fd, const uint8_t* data, size_t count, WriteState* state) {
  size_t done = 0;
  int refusedAfterReady = 0;

  for (;;) {
    ssize_t n = write(fd, data + done, count - done);
    if (n >= 0) {
      done += (size_t)n;
      if (done == count) return 1;
    } else if (errno == EINTR) {
      continue;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
      state->brokenPipe = errno == EPIPE;
      return 0;
    }
    if (n > 0) {
      /* Progress: keep going while the port takes data, but stop
       * waiting for it once the time is up. */
      refusedAfterReady = 0;
      if (state->bounded && MillisecondsUntil(state->deadlineNs) == 0) return 1;
      continue;
    }

    /* The port takes nothing at the moment. */
    int waitMs = -1;
    if (state->bounded) {
      waitMs = MillisecondsUntil(state->deadlineNs);
      if (waitMs == 0) return done > 0;
    }
    if (refusedAfterReady) {
      /* poll() said writable and the port still refused: it cannot
       * report readiness, so look again after a pause. */
      int pauseMs = (waitMs >= 0 && waitMs < kRefusedRetryPauseMs) ? waitMs : kRefusedRetryPauseMs;
      poll(NULL, 0, pauseMs);
      refusedAfterReady = 0;
      continue;
    }
    struct pollfd port = {.fd = fd, .events = POLLOUT, .revents = 0};
    int ready = poll(&port, 1, (waitMs > kLongestWaitMs) ? kLongestWaitMs : waitMs);
    if (ready < 0 && errno != EINTR && errno != EAGAIN) return 0;
    /* Readable, hung up or in error: the next write tells which. */
    refusedAfterReady = ready > 0;
  }
}

int32_t VEVEVOR_CALL DeviceClose(int32_t handle) {
  if (handle >= 0) close(handle); /* not retried on EINTR: Linux has released the descriptor */
  return 0;
}

int32_t VEVEVOR_CALL DeviceOpen(void) {
  const char* path = secure_getenv(kDeviceVariable);
  if (path == NULL || path[0] == '\0') path = kDefaultDevice;

  /* Opened non-blocking so that the open itself never waits (a serial line
   * without carrier would); the handle is then made blocking, as a fresh
   * handle is until DeviceTimeoutSet. */
  int fd = open(path, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    close(fd);
    return -1;
  }
  /* Any other flock() failure means the file cannot be locked at all
   * (unsupported); the port is then used unguarded. */
  if (SetNonBlocking(fd, 0) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int32_t VEVEVOR_CALL DeviceTimeoutSet(int32_t handle) {
  if (handle < 0) return 0;
  return SetNonBlocking(handle, 1) == 0 ? 1 : 0;
}

int32_t VEVEVOR_CALL DeviceWrite(int32_t handle, const uint8_t* data, int32_t count) {
  if (handle < 0) return 0;
  int flags = fcntl(handle, F_GETFL);
  if (flags < 0 || count < 0 || (data == NULL && count > 0)) {
    close(handle);
    return 0;
  }

  WriteState state = {0, 0, 0};
  if (flags & O_NONBLOCK) {
    int64_t boundMs = s_writeTimeoutConstantMs + (int64_t)count * s_writeTimeoutPerByteMs;
    state.bounded = 1;
    state.deadlineNs = MonotonicNowNs() + boundMs * 1000000;
  }

  sigset_t pipeSignal, savedMask, pending;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  sigemptyset(&pending);
  sigpending(&pending);
  int pipeSignalWasPending = sigismember(&pending, SIGPIPE) == 1;
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &savedMask);

  static const uint8_t kNothing[1] = {0};
  int accepted = WriteWithinBound(handle, data != NULL ? data : kNothing, (size_t)count, &state);

  if (state.brokenPipe && !pipeSignalWasPending) {
    const struct timespec noWait = {0, 0};
    while (sigtimedwait(&pipeSignal, NULL, &noWait) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &savedMask, NULL);

  if (!accepted) {
    close(handle);
    return 0;
  }
  return 1;
}
