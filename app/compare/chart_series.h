#pragma once
// The two charts of the chart window as plain data: the repetition chart of the open trial and
// the comparison chart (one point per compared file), each with two series, one per column of
// the selected pair. The chart widget only draws what these return.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "app/compare/comparison.h"
#include "app/session/session.h"

namespace tidemet {

// What the chart plots: the analysis mode's values or, after the time item, the phase
// durations; of the positive or the negative phase.
struct ChartChoice {
  bool time = false;      // ChartTime
  bool negative = false;  // NegMenu
};

struct ChartSeries {
  std::string name;
  std::vector<std::pair<double, double>> points;  // (x, y)
};

struct ChartData {
  bool drawn = false;  // false: too few repetitions or files; `note` says why
  std::string note;
  std::string caption;  // the window's caption
  std::string title;
  std::string xTitle;
  std::string yTitle;
  std::array<ChartSeries, 2> series{};
};

// The number of repetitions the repetition chart shows: the smaller count, or one less than the
// first count when both are equal.
int RepetitionPointCount(int firstPairReps, int secondPairReps);

// The repetition chart of the analysed trial in `s` (run RecomputeAnalysis first).
ChartData RepetitionChart(const Session& s, ChartChoice choice);

// The comparison chart of the listed files.
ChartData ComparisonChart(const Session& shared, const Comparison& comparison, ChartChoice choice);

}  // namespace tidemet
