/*
 * Test build of the Linux library only (compiled with VEVEVOR_TEST_HOOKS):
 * hooks that the shipped libVevevor.so does not have.
 */
#ifndef VEVEVOR_TESTING_H
#define VEVEVOR_TESTING_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Replaces the write time-out that DeviceWrite applies (15000 ms + 1 ms per
 * byte) so that tests can watch a write run into its bound in well under a
 * second.  Negative values count as 0. */
void VevevorTestSetWriteTimeout(int32_t constantMs, int32_t perByteMs);

#ifdef __cplusplus
}
#endif

#endif /* VEVEVOR_TESTING_H */
