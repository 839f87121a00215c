#pragma once
// The sampling set-up request: encoded by StartSampling, parsed by a driver.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zdaq {

struct SetupEntry {
  int32_t id = 0;
  int32_t configuration = 0;
  bool operator==(const SetupEntry&) const = default;
};

struct SetupRequest {
  int32_t dataReadyEvent = -1;  // eventfd descriptor
  int64_t interval = 0;         // 100-ns units
  std::vector<SetupEntry> entries;
};

std::vector<std::byte> EncodeSetupRequest(const SetupRequest& request);
// Refuses (nullopt) a buffer whose length does not match its entry count, whose reserved field
// is not 0, or that names no entry.
std::optional<SetupRequest> ParseSetupRequest(std::span<const std::byte> bytes);

}  // namespace zdaq
