#pragma once
// The built-in demonstration unit: a simulated swimmer whose every channel produces pushes and
// recoveries that cross the baseline, so a new user can monitor, record, save and analyse
// without hardware. Its trace follows the clock, not the number of calls, so a late reading
// shows the force of the moment it was taken.

#include <cstdint>

#include "app/acquisition/clock.h"
#include "app/acquisition/seams.h"

namespace tidemet {

struct DemoParameters {
  double strokeRate = 40.0;    // strokes per minute on each channel
  double peakCounts = 120.0;   // push peak above the baseline, in stored counts
  double dipCounts = 30.0;     // depth of the recovery below the baseline
  double pushShare = 0.6;      // share of a stroke spent pushing
  double asymmetry = 0.1;      // the odd (right) channels push this much less
  double noiseCounts = 2.0;    // peak-to-peak noise
  double restSeconds = 1.0;    // resting on the baseline before the first stroke
  uint32_t seed = 1;
  int channels = 8;
};

// The noiseless force of channel c of a swimmer stroking as `p` says, in counts above the
// baseline, `seconds` after the start: a push of half a sine, then a recovery dipping below.
double DemoForceCounts(const DemoParameters& p, int channel, double seconds);

// Readings of a demo channel are counts: the stored value is reading + 1000, and a reading of
// 185 sits on the baseline (stored 1185 is zero force).
inline constexpr double kDemoBaselineReading = 185.0;

class DemoSource final : public Source {
 public:
  DemoSource(const Clock& clock, int64_t startNs, DemoParameters parameters);
  void takeReadings(ReadingSet& out) override;

  // The noiseless force of channel c, in counts above the baseline, `seconds` after the start.
  double forceCounts(int channel, double seconds) const;

 private:
  double noise();

  const Clock& clock_;
  int64_t startNs_;
  DemoParameters p_;
  uint32_t state_;
};

}  // namespace tidemet
