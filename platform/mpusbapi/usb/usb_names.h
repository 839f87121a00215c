#pragma once
// The text forms that callers of the pipe library use, and the order of matching devices.
// Pure functions, so that they are tested without hardware.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace mpusb {

struct VidPid {
  uint16_t vid = 0;
  uint16_t pid = 0;
  bool operator==(const VidPid&) const = default;
};

// "vid_04d8&pid_ffe9", any letter case; nothing else around it.
std::optional<VidPid> parseVidPid(std::string_view text);

// "\MCHP_EPn" or "\MCHP_EPn_ASYNC" (n 1..15, any letter case): endpoint n OUT for direction 0,
// n IN for direction 1. The endpoint address, bit 7 set for IN.
std::optional<uint8_t> endpointAddress(std::string_view pipeName, int32_t direction);

// Where a device sits: its bus, then the hub ports from the root.
struct DeviceLocation {
  uint8_t bus = 0;
  std::vector<uint8_t> ports;
  bool operator==(const DeviceLocation&) const = default;
};

// Stable instance order: by bus, then by port path (a hub's own port before those below it).
bool locatedBefore(const DeviceLocation& a, const DeviceLocation& b);

}  // namespace mpusb
