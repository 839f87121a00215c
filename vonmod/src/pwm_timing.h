#pragma once
// PWM period and duty registers of the module's 12 MHz timer.

#include <cstdint>

namespace vonmod {

struct PwmRegisters {
  int32_t result = 0;  // 0, or the code that refuses the period
  uint8_t period = 0;  // period register
  int32_t duty = 0;    // 10-bit duty value
  uint8_t prescaler = 1;
};

// tenBit: duty is 0..1023; otherwise duty is a percentage. The duty range is the caller's check.
PwmRegisters PwmTiming(int32_t periodUs, int32_t duty, bool tenBit);

}  // namespace vonmod
