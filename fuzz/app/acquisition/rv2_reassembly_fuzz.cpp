// The RV2 transmitter's bytes as they arrive tick by tick: any split of any bytes, up to the
// 1024-byte buffer filling. Each tick gives at most one whole, valid reply and keeps no more
// than the start of a frame still arriving.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "app/acquisition/serial_unit.h"
#include "app/acquisition/sources/rv2_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::array<uint8_t, 1024> buffer{};
  size_t used = 0;
  std::span<const uint8_t> in(data, size);
  // Each tick: two bytes say how many bytes arrived since the last one (up to the space left,
  // as the port's read stops at a full buffer), then those bytes.
  while (in.size() >= 2) {
    const size_t arrived = std::min<size_t>(
        {static_cast<size_t>(in[0] | (in[1] << 8)) % 1500, in.size() - 2, buffer.size() - used});
    std::copy_n(in.begin() + 2, arrived, buffer.begin() + static_cast<long>(used));
    in = in.subspan(2 + arrived);
    used += arrived;
    const std::array<uint8_t, 1024> before = buffer;
    const size_t usedBefore = used;
    const auto frame = tidemet::TakeRv2Reply(buffer, used);
    if (frame) {
      if (frame->offset + tidemet::kReplyFrameSize > usedBefore) __builtin_trap();
      const auto again =
          tidemet::ScanReply({before.data() + frame->offset, tidemet::kReplyFrameSize});
      if (!again || again->offset != 0 || again->valueA != frame->valueA) __builtin_trap();
    }
    if (used >= tidemet::kReplyFrameSize || (used > 0 && buffer[0] != 0xFF)) __builtin_trap();
  }
  return 0;
}
