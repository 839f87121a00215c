#pragma once
// A module sample travels as a little-endian word holding the 12-bit count in bits 2..13.

#include <cstdint>

namespace vonmod {

constexpr int32_t DecodeSample(uint8_t lo, uint8_t hi) { return ((hi & 0x3F) * 64) + (lo >> 2); }

constexpr float CountToVolts(int32_t count) { return static_cast<float>(count * 0.001); }

}  // namespace vonmod
