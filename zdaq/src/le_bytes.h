#pragma once
// Little-endian fields of driver buffers.

#include <cstddef>
#include <cstdint>
#include <span>

namespace zdaq {

inline void PutLe(std::span<std::byte> out, size_t offset, uint64_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) out[offset + i] = static_cast<std::byte>(value >> (8 * i));
}

inline uint64_t GetLe(std::span<const std::byte> in, size_t offset, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i)
    value |= static_cast<uint64_t>(std::to_integer<uint8_t>(in[offset + i])) << (8 * i);
  return value;
}

}  // namespace zdaq
