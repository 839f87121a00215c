#include "app/acquisition/serial_unit.h"

namespace tidemet {

NodeBytes NodeAddressBytes(int16_t unitNode) {
  return {static_cast<uint8_t>((unitNode / 256) & 0xFF), static_cast<uint8_t>(unitNode & 0xFF)};
}

std::array<uint8_t, 3> StartCommand(int16_t unitNode) {
  NodeBytes n = NodeAddressBytes(unitNode);
  return {0x38, n.high, n.low};
}

std::array<uint8_t, 5> PollCommand(int16_t unitNode) {
  NodeBytes n = NodeAddressBytes(unitNode);
  return {0x03, n.high, n.low, 0x01, 0x06};
}

std::optional<ReplyFrame> ScanReply(std::span<const uint8_t> received) {
  if (received.size() < kReplyFrameSize) return std::nullopt;
  for (size_t p = 0; p + kReplyFrameSize <= received.size(); ++p) {
    if (received[p] != 0xFF) continue;
    unsigned sum = received[p + 1] + received[p + 2] + received[p + 3] + received[p + 4];
    if ((sum & 0xFF) != received[p + 5]) continue;
    auto word = [&](size_t i) {
      return static_cast<int16_t>(static_cast<uint16_t>(received[i] << 8 | received[i + 1]));
    };
    return ReplyFrame{word(p + 1) / 2.0, word(p + 3) / 2.0, p};
  }
  return std::nullopt;
}

int16_t NormalizedUnitStatus(int16_t status) { return status == 91 ? 0 : status; }

}  // namespace tidemet
