#include "zdaq/src/setup_request.h"

#include "zdaq/driver_abi.h"
#include "zdaq/src/le_bytes.h"

namespace zdaq {

std::vector<std::byte> EncodeSetupRequest(const SetupRequest& request) {
  std::vector<std::byte> bytes(ZDAQ_SETUP_HEADER_SIZE +
                               ZDAQ_SETUP_ENTRY_SIZE * request.entries.size());
  PutLe(bytes, 0, 0, 2);
  PutLe(bytes, 2, static_cast<uint32_t>(request.dataReadyEvent), 4);
  PutLe(bytes, 6, static_cast<uint64_t>(request.interval), 8);
  PutLe(bytes, 14, request.entries.size(), 2);
  size_t offset = ZDAQ_SETUP_HEADER_SIZE;
  for (const auto& e : request.entries) {
    PutLe(bytes, offset, static_cast<uint32_t>(e.id), 4);
    PutLe(bytes, offset + 4, static_cast<uint32_t>(e.configuration), 4);
    offset += ZDAQ_SETUP_ENTRY_SIZE;
  }
  return bytes;
}

std::optional<SetupRequest> ParseSetupRequest(std::span<const std::byte> bytes) {
  if (bytes.size() < ZDAQ_SETUP_HEADER_SIZE) return std::nullopt;
  if (GetLe(bytes, 0, 2) != 0) return std::nullopt;
  const size_t n = GetLe(bytes, 14, 2);
  if (n == 0 || bytes.size() != ZDAQ_SETUP_HEADER_SIZE + ZDAQ_SETUP_ENTRY_SIZE * n)
    return std::nullopt;
  SetupRequest request;
  request.dataReadyEvent = static_cast<int32_t>(GetLe(bytes, 2, 4));
  request.interval = static_cast<int64_t>(GetLe(bytes, 6, 8));
  request.entries.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const size_t offset = ZDAQ_SETUP_HEADER_SIZE + ZDAQ_SETUP_ENTRY_SIZE * i;
    request.entries.push_back({static_cast<int32_t>(GetLe(bytes, offset, 4)),
                               static_cast<int32_t>(GetLe(bytes, offset + 4, 4))});
  }
  return request;
}

}  // namespace zdaq
