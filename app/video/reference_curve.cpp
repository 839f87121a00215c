#include "app/video/reference_curve.h"

#include "app/acquisition/demo_source.h"
#include "app/session/rounding.h"

namespace tidemet {
namespace {

constexpr double kSamplesPerSecond = 100.0;
constexpr int kCycles = 2;

// How each stroke differs from the demo swimmer's freestyle: breaststroke pulls briefly and
// glides through a long, shallow recovery; backstroke pushes less hard; butterfly is quick and
// strong with an even push and recovery.
DemoParameters StrokeShape(int16_t swimFlag) {
  DemoParameters p;
  p.restSeconds = 0;
  p.noiseCounts = 0;
  switch (swimFlag) {
    case 2:
      p.strokeRate = 30.0;
      p.peakCounts = 140.0;
      p.dipCounts = 15.0;
      p.pushShare = 0.4;
      break;
    case 3:
      p.strokeRate = 37.5;
      p.peakCounts = 100.0;
      p.dipCounts = 25.0;
      p.pushShare = 0.55;
      break;
    case 4:
      p.strokeRate = 48.0;
      p.peakCounts = 150.0;
      p.dipCounts = 35.0;
      p.pushShare = 0.5;
      break;
    default:
      break;  // freestyle is the demo swimmer's own stroke
  }
  return p;
}

}  // namespace

ReferenceCurve ReferenceCurveFor(int16_t swimFlag) {
  ReferenceCurve curve;
  if (swimFlag < 1 || swimFlag > 4) return curve;
  const DemoParameters p = StrokeShape(swimFlag);
  curve.cycleSamples = static_cast<int>(RoundEven(60.0 / p.strokeRate * kSamplesPerSecond));
  // Both ends included: the curve closes where the next push would start.
  const int last = kCycles * curve.cycleSamples;
  curve.force.reserve(static_cast<size_t>(last) + 1);
  for (int k = 0; k <= last; ++k) {
    curve.force.push_back(DemoForceCounts(p, 0, k / kSamplesPerSecond));
    if (k < curve.cycleSamples && curve.force[k] > curve.force[curve.peakSample])
      curve.peakSample = k;
  }
  return curve;
}

}  // namespace tidemet
