#pragma once
// The means of one grid column: first half, second half, overall and the percent change, taken
// over the middle repetitions (repetition 0 and the last one are left out).

#include <array>
#include <optional>
#include <string>

#include "app/analysis/analysis_results.h"

namespace tidemet {

// Rows 0..lastRep of one summary-table column, scaled to whole numbers: hundredths for
// durations, tenths for forces and impulses (after `unitFactor`, the change of force unit for a
// summary stored in the other unit system).
struct MeanColumn {
  std::array<double, kSummaryRows> scaled{};
  int lastRep = -1;
  double scale = 10;
};

MeanColumn ScaleColumn(const AnalysisResults& r, int tableColumn, int lastRep, bool duration,
                       double unitFactor = 1.0);

// Each mean is empty when its range of repetitions is.
std::optional<float> FirstHalfMean(const MeanColumn& c);
std::optional<float> SecondHalfMean(const MeanColumn& c);
std::optional<float> OverallMean(const MeanColumn& c);
// The change from the first to the second half in whole percent; empty unless the first half
// mean is positive.
std::optional<double> PercentChange(std::optional<float> firstHalf, std::optional<float> secondHalf);

// "+10  " and the like: a plus sign when positive, two trailing blanks (three for durations).
std::string PercentChangeText(double percent, bool duration);

// A grid value as shown: two decimals in duration columns, at least one in the others.
std::string GridValueText(float value, bool duration);

// The four row labels of the means grid. `counts` are the repetition counts of the pair's two
// columns; `present` says whether the grid holds data.
std::array<std::string, 4> MeanRowLabels(bool present, int mostReps, int firstReps, int secondReps);

}  // namespace tidemet
