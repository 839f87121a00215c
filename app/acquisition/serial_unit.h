#pragma once
// Byte formats of the serial interface units: the RV2 transmitter's node address, start and poll
// commands and reply frames, and the QW8 unit's status rule.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tidemet {

inline constexpr std::array<int16_t, 3> kUnitNodes{92, 689, 987};
inline constexpr std::array<int16_t, 4> kComPortAddresses{1016, 760, 1000, 744};

struct NodeBytes {
  uint8_t high;
  uint8_t low;
};
NodeBytes NodeAddressBytes(int16_t unitNode);

std::array<uint8_t, 3> StartCommand(int16_t unitNode);
std::array<uint8_t, 5> PollCommand(int16_t unitNode);

inline constexpr size_t kReplyFrameSize = 6;

struct ReplyFrame {
  double valueA;
  double valueB;
  size_t offset;  // where the frame's sync byte stood
};

// The first valid reply frame in exactly the bytes received: a sync byte 0xFF whose five
// following bytes lie inside `received` and whose checksum holds.
std::optional<ReplyFrame> ScanReply(std::span<const uint8_t> received);

// The QW8 status rule: 91 counts as 0; a status of 0 or below lets the reading be stored.
int16_t NormalizedUnitStatus(int16_t status);
inline bool UnitStatusAllowsStore(int16_t status) { return NormalizedUnitStatus(status) <= 0; }

}  // namespace tidemet
