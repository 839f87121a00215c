// The analysis window's grids and means as text, and the swim figures that follow them.
#include <algorithm>

#include "app/analysis/analysis_means.h"
#include "app/analysis/recompute_analysis.h"
#include "app/analysis/swim_metrics.h"
#include "app/session/rounding.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

constexpr const char* kModeTitles[3] = {"Peak Force", "  Impulse", " Avg Force"};

// Force columns of a summary stored in the other unit system are shown converted.
double forceUnitFactor(const Session& s) {
  if (!SummaryIsOpen(s) || s.DataUnitsFlag == s.UnitsFlag) return 1.0;
  return s.UnitsFlag == 1 ? kNewtonsPerPound : 1.0 / kNewtonsPerPound;
}

}  // namespace

int GridTableColumn(int mode, int k) {
  switch (mode) {
    case 1: return 2 * k - 1;
    case 2: return 2 * k - (k % 2);
    default: return 2 * k + (k % 2) - 2;
  }
}

void RefreshAnalysisView(Session& s) {
  AnalysisResults& r = s.analysis;
  AnalysisGrids& g = r.grids;
  const int mode = std::clamp<int>(r.AnalysisMode, 0, 2);
  const UnitLabels& u = s.labels.units;
  g.caption = " Data Analysis - " + (s.CurrentFileName.empty() ? std::string("(untitled)")
                                                                : s.CurrentFileName);
  g.modeTitle = kModeTitles[mode];
  g.gridTitle = mode == 0 ? u.PeakForce : mode == 1 ? u.Impulse : u.AvgForce;

  const bool swim = s.ExerciseMode == 3;
  const double factor = forceUnitFactor(s);
  const bool noResults = SummaryIsOpen(s) && !r.SummaryHasResults;
  const int reps[2] = {noResults ? -1 : r.FirstPairReps, noResults ? -1 : r.SecondPairReps};
  const int mostReps = std::clamp<int>(r.MostReps, 0, kSummaryRows - 1);
  auto hidden = [&](int k) { return swim && (k == 4 || k == 8); };

  g.rows.assign(mostReps + 1, {});
  for (int row = 0; row <= mostReps; ++row) {
    auto& cells = g.rows[row];
    cells[0] = NumText(static_cast<long long>(row));
    for (int k = 1; k <= 8; ++k) {
      if (row > reps[k <= 4 ? 0 : 1] || hidden(k)) continue;
      const bool duration = k % 2 == 1;
      float v = r.SummaryTable[row][GridTableColumn(mode, k)];
      if (!duration && factor != 1.0) v = static_cast<float>(RoundEven(v * 10 * factor) / 10);
      cells[k] = GridValueText(v, duration);
    }
  }

  PairDurationMeans durations;
  durations.firstReps = reps[0];
  durations.secondReps = reps[1];
  for (int k = 1; k <= 8; ++k) {
    if (hidden(k)) continue;
    const bool duration = k % 2 == 1;
    const int lastRep = reps[k <= 4 ? 0 : 1];
    const MeanColumn column =
        ScaleColumn(r, GridTableColumn(mode, k), lastRep, duration, duration ? 1.0 : factor);
    const auto overall = OverallMean(column);
    if (overall) g.means[3][k - 1] = GridValueText(*overall, duration);
    if (lastRep >= 3) {
      const auto first = FirstHalfMean(column);
      const auto second = SecondHalfMean(column);
      if (first) g.means[0][k - 1] = GridValueText(*first, duration);
      if (second) g.means[1][k - 1] = GridValueText(*second, duration);
      if (const auto change = PercentChange(first, second))
        g.means[2][k - 1] = PercentChangeText(*change, duration);
    }
    // Grid columns 1, 3, 5, 7 are the durations P1, N1, P2, N2 in every mode.
    if (k == 1) durations.p1 = overall;
    if (k == 3) durations.n1 = overall;
    if (k == 5) durations.p2 = overall;
    if (k == 7) durations.n2 = overall;
  }
  const bool present = reps[0] >= 0 || reps[1] >= 0;
  g.meanLabels = MeanRowLabels(present, r.MostReps, reps[0], reps[1]);
  UpdateSwimMetrics(s, durations);
}

}  // namespace tidemet
