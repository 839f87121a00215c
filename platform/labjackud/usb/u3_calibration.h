#pragma once
// Turning the U3's raw analog readings into volts with the constants kept in its calibration
// memory (blocks 0 and 2; blocks 3 and 4 on a U3-HV), or with the nominal constants when those
// cannot be read or make no sense.

#include <array>
#include <cstdint>
#include <span>

namespace labjack::u3 {

struct Calibration {
  double seSlope = 3.7231e-05;  // volts per bit, single-ended low-voltage inputs
  double seOffset = 0.0;
  double diffSlope = 7.4463e-05;  // differential low-voltage inputs
  double diffOffset = -2.44;
  double vref = 2.44;  // the internal reference, added back for the special range
  // The high-voltage inputs AIN0-AIN3 of a U3-HV, one slope and offset each.
  std::array<double, 4> hvSlope{3.14e-04, 3.14e-04, 3.14e-04, 3.14e-04};
  std::array<double, 4> hvOffset{-10.3, -10.3, -10.3, -10.3};
};

// How a reading was taken: against ground, against another input, against Vref with the
// reference added back (the "special" range, 0-3.6 V on a low-voltage input).
enum class InputKind { SingleEnded, Differential, Special };

// A signed 32.32 fixed-point number, least significant byte first.
double FixedPointToDouble(std::span<const uint8_t, 8> bytes);

// Takes the constants of one 32-byte calibration block; false (and `cal` unchanged) when the
// block's values are far from what any U3 holds, as in erased memory.
bool ApplyCalibrationBlock(Calibration& cal, int block, std::span<const uint8_t, 32> bytes);

// `positive` is the input read; the high-voltage constants apply to AIN0-AIN3 of a U3-HV.
double RawToVolts(const Calibration& cal, bool highVoltage, int positive, InputKind kind,
                  uint16_t raw);

}  // namespace labjack::u3
