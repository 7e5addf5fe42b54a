#pragma once
// The read kinds: the digit of the read command "{Z5;" k "|}" and the
// selector of the item group that decodes the record the printer answers
// with. While a status request is pending the link's record selector is -1.
#include <cstdint>

enum ReadKind : int16_t {
  kReadStatus = -1,
  kReadAdjustment = 0,
  kReadParameter = 1,
  kReadSensor = 2,
  kReadLan = 3,
  kReadParameterExpansion = 4,
};
