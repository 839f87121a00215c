#pragma once
// The one place for the rounding rules the user sees and the files store.

#include <cmath>
#include <cstdint>
#include <optional>

namespace tidemet {

// Nearest integer, ties to even (the platform's conversion of a fraction to an integer).
inline double RoundEven(double v) { return std::nearbyint(v); }  // default FE_TONEAREST
inline double Floor(double v) { return std::floor(v); }

// Forces and impulses are shown to 0.1, durations, rates and lengths to 0.01.
inline double RoundTenths(double v) { return RoundEven(v * 10.0) / 10.0; }
inline double RoundHundredths(double v) { return RoundEven(v * 100.0) / 100.0; }

// RoundEven into a 16-bit integer, or nothing when the result does not fit (or is not finite):
// the platform raises an overflow there, and callers decide what that means.
inline std::optional<int16_t> RoundToInt16(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  double r = RoundEven(v);
  if (r < -32768.0 || r > 32767.0) return std::nullopt;
  return static_cast<int16_t>(r);
}

// Like RoundToInt16, but a value outside the range is clamped (for counters that saturate).
inline int16_t ClampToInt16(double v) {
  if (std::isnan(v)) return 0;
  double r = RoundEven(v);
  if (r < -32768.0) return -32768;
  if (r > 32767.0) return 32767;
  return static_cast<int16_t>(r);
}

// Unit factors.
inline constexpr double kNewtonsPerPound = 4.45;
inline constexpr double kCentimetresPerInch = 2.54;
inline constexpr double kPoundsPerKilogram = 2.2;
inline constexpr double kMetresPerYard = 0.91;
inline constexpr double kYardsPerMetre = 1.1;

}  // namespace tidemet
