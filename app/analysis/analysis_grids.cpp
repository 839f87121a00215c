#include "app/analysis/analysis_grids.h"

#include <algorithm>

#include "app/analysis/analysis_means.h"
#include "app/analysis/recompute_analysis.h"
#include "app/session/rounding.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

// Grid columns 4 and 8 (negative forces) have no meaning for a swimming stroke.
bool hiddenColumn(const Session& s, int k) { return s.ExerciseMode == 3 && (k == 4 || k == 8); }

int shownMode(const Session& s) { return std::clamp<int>(s.analysis.AnalysisMode, 0, 2); }

// The plot units each filter item stands for.
constexpr int kFilterPlotUnits[4] = {0, 16, 32, 64};

}  // namespace

int GridTableColumn(int mode, int k) {
  switch (mode) {
    case 1:
      return 2 * k - 1;
    case 2:
      return 2 * k - (k % 2);
    default:
      return 2 * k + (k % 2) - 2;
  }
}

double ShownForceFactor(const Session& s) {
  if (!SummaryIsOpen(s) || s.DataUnitsFlag == s.UnitsFlag) return 1.0;
  return s.UnitsFlag == 1 ? kNewtonsPerPound : 1.0 / kNewtonsPerPound;
}

std::array<int, 2> ShownRepetitionCounts(const Session& s) {
  const AnalysisResults& r = s.analysis;
  if (SummaryIsOpen(s) && !r.SummaryHasResults) return {-1, -1};
  return {r.FirstPairReps, r.SecondPairReps};
}

std::vector<GridRow> RepetitionGrid(const Session& s) {
  const AnalysisResults& r = s.analysis;
  const int mode = shownMode(s);
  const double factor = ShownForceFactor(s);
  const auto reps = ShownRepetitionCounts(s);
  const int mostReps = std::clamp<int>(r.MostReps, 0, kSummaryRows - 1);
  std::vector<GridRow> rows(mostReps + 1);
  for (int row = 0; row <= mostReps; ++row) {
    GridRow& cells = rows[row];
    cells[0] = NumText(static_cast<long long>(row));
    for (int k = 1; k <= 8; ++k) {
      if (row > reps[k <= 4 ? 0 : 1] || hiddenColumn(s, k)) continue;
      const bool duration = k % 2 == 1;
      float v = r.SummaryTable[row][GridTableColumn(mode, k)];
      if (!duration && factor != 1.0) v = static_cast<float>(RoundEven(v * 10 * factor) / 10);
      cells[k] = GridValueText(v, duration);
    }
  }
  return rows;
}

MeansGrid MeansGridOf(const Session& s) {
  const AnalysisResults& r = s.analysis;
  const int mode = shownMode(s);
  const double factor = ShownForceFactor(s);
  const auto reps = ShownRepetitionCounts(s);
  MeansGrid g;
  g.durations.firstReps = reps[0];
  g.durations.secondReps = reps[1];
  for (int k = 1; k <= 8; ++k) {
    if (hiddenColumn(s, k)) continue;
    const bool duration = k % 2 == 1;
    const int lastRep = reps[k <= 4 ? 0 : 1];
    const MeanColumn column =
        ScaleColumn(r, GridTableColumn(mode, k), lastRep, duration, duration ? 1.0 : factor);
    const auto overall = OverallMean(column);
    if (overall) g.cells[3][k - 1] = GridValueText(*overall, duration);
    if (lastRep >= 3) {
      const auto first = FirstHalfMean(column);
      const auto second = SecondHalfMean(column);
      if (first) g.cells[0][k - 1] = GridValueText(*first, duration);
      if (second) g.cells[1][k - 1] = GridValueText(*second, duration);
      if (const auto change = PercentChange(first, second))
        g.cells[2][k - 1] = PercentChangeText(*change, duration);
    }
    // Grid columns 1, 3, 5, 7 are the durations P1, N1, P2, N2 in every mode.
    if (k == 1) g.durations.p1 = overall;
    if (k == 3) g.durations.n1 = overall;
    if (k == 5) g.durations.p2 = overall;
    if (k == 7) g.durations.n2 = overall;
  }
  const bool present = reps[0] >= 0 || reps[1] >= 0;
  g.labels = MeanRowLabels(present, r.MostReps, reps[0], reps[1]);
  return g;
}

std::string ForceUnitWord(const Session& s) { return s.UnitsFlag == 1 ? "N" : "lbs"; }

std::string ModeUnitWord(const Session& s) {
  if (shownMode(s) != 1) return ForceUnitWord(s);
  return s.UnitsFlag == 1 ? "N*sec" : "lb*sec";
}

std::string ModeShortWord(const Session& s) {
  switch (shownMode(s)) {
    case 1:
      return "Impulse";
    case 2:
      return "Avg F";
    default:
      return "Peak F";
  }
}

std::array<std::string, 9> GridColumnTitles(const Session& s) {
  std::array<std::string, 9> titles{"Rep"};
  const std::string force = ModeShortWord(s) + "\n(" + ModeUnitWord(s) + ")";
  for (int side = 0; side < 2; ++side) {
    titles[1 + 4 * side] = s.labels.PositiveLabel + "\n(sec)";
    titles[2 + 4 * side] = force;
    titles[3 + 4 * side] = s.labels.NegativeLabel + "\n(sec)";
    titles[4 + 4 * side] = force;
  }
  return titles;
}

std::array<std::string, 4> FilterCaptions(const Session& s) {
  // Force per count as the analysis computes it, and counts per plot unit from the gain.
  const double forcePerCount =
      static_cast<double>(s.SurfaceArea) * s.PressurePerCount * s.CalibrationFactor;
  const double gain = s.GraphGain > 0 ? s.GraphGain : 1.0;
  std::array<std::string, 4> captions;
  for (int i = 0; i < 4; ++i) {
    const double force = RoundEven(kFilterPlotUnits[i] / gain * forcePerCount);
    captions[i] = "&" + std::to_string(i) + " " + NumText(force) + " " + ForceUnitWord(s);
  }
  return captions;
}

}  // namespace tidemet
