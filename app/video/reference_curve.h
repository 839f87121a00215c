#pragma once
// The force curve drawn beside a reference stroke video: two stroke cycles of one arm of a
// model swimmer, shaped as the demo unit's strokes are, one value per tick (100 a second).

#include <cstdint>
#include <vector>

namespace tidemet {

struct ReferenceCurve {
  std::vector<double> force;  // counts above the baseline, sample 0 at the start of a push
  int cycleSamples = 0;       // samples in one stroke cycle
  int peakSample = 0;         // the highest sample of the first push
};

// The curve of the stroke `swimFlag` (1 freestyle, 2 breaststroke, 3 backstroke, 4 butterfly);
// no samples for any other value.
ReferenceCurve ReferenceCurveFor(int16_t swimFlag);

}  // namespace tidemet
