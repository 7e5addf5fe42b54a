/*
 * Measures how long DeviceWrite of the shipped libVevevor.so waits for a port
 * that takes nothing before it gives up, and how much CPU the wait costs.
 *
 *   bench_vevevor_timeout [bytes]      (default 1000; expect 15000 + bytes ms)
 *
 * The port is a FIFO whose only reader never reads, filled up beforehand,
 * reached through VEVEVOR_DEVICE.
 */
#define _GNU_SOURCE
#include "Vevevor.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static double CpuMs(void) {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

int main(int argc, char** argv) {
  int bytes = argc > 1 ? atoi(argv[1]) : 1000;
  if (bytes <= 0 || bytes > 1000000) {
    fprintf(stderr, "usage: %s [bytes 1..1000000]\n", argv[0]);
    return 2;
  }

  char dir[] = "/tmp/vevevor-bench-XXXXXX";
  if (mkdtemp(dir) == NULL) {
    perror("mkdtemp");
    return 1;
  }
  char fifo[sizeof dir + 16];
  snprintf(fifo, sizeof fifo, "%s/port", dir);
  if (mkfifo(fifo, 0600) != 0) {
    perror("mkfifo");
    return 1;
  }

  /* The reader that never reads; it also fills the FIFO to the brim. */
  int keeper = open(fifo, O_RDWR | O_NONBLOCK);
  static unsigned char chunk[4096];
  while (keeper >= 0 && write(keeper, chunk, sizeof chunk) > 0) {
  }

  setenv("VEVEVOR_DEVICE", fifo, 1);
  int32_t handle = DeviceOpen();
  if (keeper < 0 || handle == -1 || !DeviceTimeoutSet(handle)) {
    fprintf(stderr, "cannot set up the stand-in port %s: %s\n", fifo, strerror(errno));
    return 1;
  }

  unsigned char* data = calloc((size_t)bytes, 1);
  printf("DeviceWrite of %d bytes to a port that takes nothing; bound 15000 + %d = %d ms ...\n", bytes, bytes,
         15000 + bytes);
  fflush(stdout);

  double cpuBefore = CpuMs();
  double start = NowMs();
  int32_t result = DeviceWrite(handle, data, bytes);
  double elapsed = NowMs() - start;
  double cpu = CpuMs() - cpuBefore;
  int closed = fcntl(handle, F_GETFD) < 0 && errno == EBADF;

  printf("result %d after %.1f ms (%+.1f ms against the bound), handle %s, CPU used %.1f ms\n", result, elapsed,
         elapsed - (15000 + bytes), closed ? "closed" : "STILL OPEN", cpu);

  free(data);
  close(keeper);
  unlink(fifo);
  rmdir(dir);
  return result == 0 && closed ? 0 : 1;
}
