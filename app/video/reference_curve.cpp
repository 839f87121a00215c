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
struct StrokeDifference {
  double strokeRate, peakCounts, dipCounts, pushShare;
};
constexpr StrokeDifference kBreastBackFly[] = {
    {30.0, 140.0, 15.0, 0.4},   // SwimFlag 2
    {37.5, 100.0, 25.0, 0.55},  // SwimFlag 3
    {48.0, 150.0, 35.0, 0.5},   // SwimFlag 4
};

DemoParameters StrokeShape(int16_t swimFlag) {
  DemoParameters p;
  p.restSeconds = 0;
  p.noiseCounts = 0;
  if (swimFlag >= 2 && swimFlag <= 4) {  // freestyle (1) is the demo swimmer's own stroke
    const StrokeDifference& d = kBreastBackFly[swimFlag - 2];
    p.strokeRate = d.strokeRate;
    p.peakCounts = d.peakCounts;
    p.dipCounts = d.dipCounts;
    p.pushShare = d.pushShare;
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
