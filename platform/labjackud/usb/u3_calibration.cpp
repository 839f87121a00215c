#include "platform/labjackud/usb/u3_calibration.h"

#include <cmath>

namespace labjack::u3 {
namespace {

double constantAt(std::span<const uint8_t, 32> block, size_t index) {
  return FixedPointToDouble(block.subspan(8 * index).first<8>());
}

// Within `slack` times the nominal value's size of it: a real U3's constants differ from the
// nominal ones by a few percent, erased memory by orders of magnitude.
bool near(double value, double nominal, double slack) {
  return std::isfinite(value) && std::fabs(value - nominal) <= slack;
}

}  // namespace

double FixedPointToDouble(std::span<const uint8_t, 8> b) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | b[static_cast<size_t>(i)];
  return static_cast<double>(static_cast<int64_t>(bits)) / 4294967296.0;
}

bool ApplyCalibrationBlock(Calibration& cal, int block, std::span<const uint8_t, 32> bytes) {
  const Calibration nominal;
  std::array<double, 4> v{};
  for (size_t i = 0; i < 4; ++i) v[i] = constantAt(bytes, i);
  switch (block) {
    case 0:
      if (!near(v[0], nominal.seSlope, 0.2 * nominal.seSlope) || !near(v[1], 0.0, 0.1) ||
          !near(v[2], nominal.diffSlope, 0.2 * nominal.diffSlope) ||
          !near(v[3], nominal.diffOffset, 0.2))
        return false;
      cal.seSlope = v[0];
      cal.seOffset = v[1];
      cal.diffSlope = v[2];
      cal.diffOffset = v[3];
      return true;
    case 2:  // temperature slope, then Vref
      if (!near(v[1], nominal.vref, 0.2)) return false;
      cal.vref = v[1];
      return true;
    case 3:
      for (double s : v)
        if (!near(s, nominal.hvSlope[0], 0.2 * nominal.hvSlope[0])) return false;
      cal.hvSlope = v;
      return true;
    case 4:
      for (double o : v)
        if (!near(o, nominal.hvOffset[0], 1.0)) return false;
      cal.hvOffset = v;
      return true;
    default:
      return false;
  }
}

double RawToVolts(const Calibration& cal, bool highVoltage, int positive, InputKind kind,
                  uint16_t raw) {
  const bool hvInput = highVoltage && positive >= 0 && positive < 4;
  switch (kind) {
    case InputKind::SingleEnded:
      if (hvInput) {
        const size_t i = static_cast<size_t>(positive);
        return cal.hvSlope[i] * raw + cal.hvOffset[i];
      }
      return cal.seSlope * raw + cal.seOffset;
    case InputKind::Differential:
      return cal.diffSlope * raw + cal.diffOffset;
    case InputKind::Special: {
      const double lowVoltage = cal.diffSlope * raw + cal.diffOffset + cal.vref;
      if (!hvInput) return lowVoltage;
      const size_t i = static_cast<size_t>(positive);
      return lowVoltage * cal.hvSlope[i] / cal.seSlope + cal.hvOffset[i];
    }
  }
  return 0.0;
}

}  // namespace labjack::u3
