#include "vonmod/src/pwm_timing.h"

#include "vonmod/src/result_codes.h"

namespace vonmod {

namespace {

constexpr double kOneOver255 = 0.00392156862745098;

// Register values are truncated toward zero; 64-bit so that any int period stays defined.
int64_t truncate(double value) { return static_cast<int64_t>(value); }

}  // namespace

PwmRegisters PwmTiming(int32_t periodUs, int32_t duty, bool tenBit) {
  PwmRegisters out;
  const int64_t ticks = 12 * static_cast<int64_t>(periodUs);
  if (ticks <= 255) {
    out.prescaler = 1;
  } else if (ticks / 4 <= 255) {
    out.prescaler = 4;
  } else if (ticks / 16 <= 255) {
    out.prescaler = 16;
  } else {
    out.result = kPeriodTooBig;
    return out;
  }
  const int64_t register_ = truncate(12.0 / out.prescaler * periodUs + 0.499);
  // 341 us passes the tick check but rounds to 256, which the register byte cannot hold.
  if (register_ > 255) {
    out.result = kPeriodTooBig;
    return out;
  }
  out.period = static_cast<uint8_t>(register_ &
                                    0xFF);  // no lower bound: a negative period wraps into the byte
  if (out.period == 255) {
    if (tenBit)
      out.duty = duty;
    else
      out.duty = duty == 100 ? 1023 : static_cast<int32_t>(truncate(duty * 1024 * 0.01 + 0.499));
  } else {
    double x;
    if (tenBit)
      x = out.period * duty;
    else if (duty == 100)
      x = out.period * 1024;
    else
      x = duty * 1024 * static_cast<double>(out.period) * 0.01;
    out.duty = static_cast<int32_t>(truncate(x * kOneOver255 + 0.499));
  }
  return out;
}

}  // namespace vonmod
