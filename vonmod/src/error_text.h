#pragma once

#include <cstdint>

namespace vonmod {

inline constexpr int32_t kErrorTextSlot = 256;

// Copies the text of `code` with its terminator; returns the bytes copied, 0 for an unknown code.
int32_t GetErrorDes(int32_t code, char* text);

}  // namespace vonmod
