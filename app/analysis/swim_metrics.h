#pragma once
// Stroke count, stroke rate, velocity, stroke length, frontal area and drag coefficient of a
// swimming trial, and the summary line under the analysis grids.

#include <optional>
#include <string>

#include "app/session/session.h"

namespace tidemet {

// The overall duration means of the pair (P1, N1 of the first column, P2, N2 of the second);
// a mean that was not formed in this refresh is empty and keeps its previous value.
struct PairDurationMeans {
  std::optional<float> p1, n1, p2, n2;
  int firstReps = -1;   // repetition counts that go with them
  int secondReps = -1;
};

// Updates Session::analysis.swim from the means and the trial's settings.
void UpdateSwimMetrics(Session& s, const PairDurationMeans& means);

// "SV = ... IVF = ...%" in the current units.
std::string SwimSummaryLine(const SwimMetrics& m, bool metric);

}  // namespace tidemet
