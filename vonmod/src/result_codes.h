#pragma once
// Result codes of every export; the numbers are part of the interface.

#include <cstdint>

namespace vonmod {

enum Result : int32_t {
  kOk = 0,
  kUnknownError = 1,
  kIndexTooLarge = 2,
  kWrongModuleType = 3,
  kOpenSessionError = 4,
  kDeviceBusy = 5,
  kWriteError = 6,
  kReadError = 7,
  kNullSession = 8,
  kWrongLength = 9,
  kBadByteCount = 10,
  kBadChannel = 11,
  kBadChannelCount = 12,
  kBadRange = 13,
  kBadDuty = 14,
  kNotOutput = 15,
  kBadPwmPeriod = 16,
  kTooManySamples = 17,
  kScanTimeout = 18,
  kTooFewSamples = 19,
  kThroughputExceeded = 20,
  kBeyondEeprom = 21,
  kPeriodTooBig = 22,
  kPeriodTooSmall = 23,
};

inline constexpr int32_t kResultCount = 24;

}  // namespace vonmod
