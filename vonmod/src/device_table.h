#pragma once
// The process-wide table of modules found by enumeration, with the streaming state of each.

#include <array>
#include <cstdint>

#include "vonmod/include/vonmod.h"
#include "vonmod/src/pipe_driver.h"

namespace vonmod {

inline constexpr int kStreamPipeCount = 4;  // endpoints 2 to 5
inline constexpr int kDeviceTableSize = 127;

struct VonmodDeviceEntry {
  VonmodSession session{0, 0, 0, kNoPipe, kNoPipe};
  int32_t streamMarker = 0;
  int32_t firstChannel = 0;
  int32_t channelCount = 0;
  std::array<int32_t, kStreamPipeCount> streamPipes{kNoPipe, kNoPipe, kNoPipe, kNoPipe};
};

using DeviceTable = std::array<VonmodDeviceEntry, kDeviceTableSize>;

inline bool validDeviceIndex(int32_t index) { return index >= 0 && index < kDeviceTableSize; }

}  // namespace vonmod
