#pragma once
// How one sample of the displayed pair becomes a bar on each graph.

#include "app/acquisition/seams.h"
#include "app/session/session.h"

namespace tidemet {

inline constexpr int kZeroForceY = 79;

// The unsmoothed y values of the two previous drawn samples of one graph.
struct PlotHistory {
  int y1 = kZeroForceY;
  int y2 = kZeroForceY;
};

// y of a stored value of channel c before smoothing.
int GraphY(const Session& s, int c, int16_t stored);

// Draws row `row` of the displayed pair at `column` on both graphs (upper: PairStartChannel,
// lower: PairSecondChannel). A stored value below PlotThreshold draws nothing and leaves the
// history as it was; a row outside TrialData draws nothing.
void PlotSample(const Session& s, int row, int column, PlotHistory history[2], GraphSink& sink);

}  // namespace tidemet
