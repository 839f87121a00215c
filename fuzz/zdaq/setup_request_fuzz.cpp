// A driver's reading of the sampling set-up request: any buffer is refused or read back whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "zdaq/src/setup_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  const auto request = zdaq::ParseSetupRequest(bytes);
  if (!request) return 0;
  // A request that parses encodes back to the very same bytes.
  const auto again = zdaq::EncodeSetupRequest(*request);
  if (again.size() != size || !std::equal(again.begin(), again.end(), bytes.begin()))
    __builtin_trap();
  return 0;
}
