#include "app/compare/chart_series.h"

#include <algorithm>
#include <filesystem>

#include "app/analysis/analysis_grids.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

constexpr const char* kModeNames[3] = {"Peak Force", "  Impulse", "Avg Force"};

// The grid value columns (1..8) the two series take: the mode's value or the duration of the
// chosen phase, for the pair's first and second column.
std::array<int, 2> seriesColumns(ChartChoice c) {
  const int g = c.time ? 1 : 0;
  return c.negative ? std::array<int, 2>{4 - g, 8 - g} : std::array<int, 2>{2 - g, 6 - g};
}

// The unit after the quantity name: impulses in force-seconds, peak and average forces in the
// force unit.
std::string valueUnit(const Session& s) {
  const bool metric = s.UnitsFlag == 1;
  if (s.analysis.AnalysisMode == 1) return metric ? "(N*sec)" : "(lb*sec)";
  return metric ? "  (N)" : " (lbs)";
}

// Title, axis titles and legend shared by both charts.
ChartData frame(const Session& s, ChartChoice c, bool percent) {
  ChartData d;
  const std::string client = s.DataClientName.empty() ? s.ClientName : s.DataClientName;
  d.title = "Client Name: " + client;
  const std::string quantity =
      c.time ? "Time" : kModeNames[std::clamp<int>(s.analysis.AnalysisMode, 0, 2)];
  const std::string unit = percent ? "  % Change" : c.time ? "(sec)" : valueUnit(s);
  d.yTitle = quantity + " " + unit;
  const std::string phase = c.negative ? s.labels.NegativeLabel : s.labels.PositiveLabel;
  const int channels[2] = {s.PairStartChannel + 1, s.PairSecondChannel + 1};
  const char* sides[2] = {"Left", "Right"};
  for (int i = 0; i < 2; ++i)
    d.series[i].name = sides[i] + (s.PairLabel.empty() ? std::string() : " " + s.PairLabel) +
                       " Channel " + std::to_string(channels[i]) + " " + phase;
  return d;
}

}  // namespace

int RepetitionPointCount(int firstPairReps, int secondPairReps) {
  if (firstPairReps == secondPairReps && firstPairReps >= 1) return firstPairReps - 1;
  return std::max(0, std::min(firstPairReps, secondPairReps));
}

ChartData RepetitionChart(const Session& s, ChartChoice choice) {
  ChartData d = frame(s, choice, false);
  const std::string file = s.CurrentFileName.empty()
                               ? std::string("(untitled)")
                               : std::filesystem::path(s.CurrentFileName).filename().string();
  d.caption = std::string(AppTitle) + " Data Chart - " + file;
  d.xTitle = "Repetition Number";
  if (s.analysis.MostReps < 3) {
    d.note = "A repetition chart needs a trial with at least four repetitions.";
    return d;
  }
  const auto reps = ShownRepetitionCounts(s);
  const int n = RepetitionPointCount(reps[0], reps[1]);
  const std::vector<GridRow> grid = RepetitionGrid(s);
  const auto columns = seriesColumns(choice);
  for (int rep = 1; rep <= n && rep < static_cast<int>(grid.size()); ++rep)
    for (int i = 0; i < 2; ++i) d.series[i].points.emplace_back(rep, Val(grid[rep][columns[i]]));
  d.drawn = n > 0;
  if (!d.drawn) d.note = "The pair's columns hold no repetitions to chart.";
  return d;
}

ChartData ComparisonChart(const Session& shared, const Comparison& comparison, ChartChoice choice) {
  const Session setup = comparison.setup(shared);
  ChartData d = frame(setup, choice, comparison.meanKind() == kPercentChange);
  d.caption = std::string(AppTitle) + " Data Chart";
  d.xTitle = "File Number";
  const auto& rows = comparison.rows();
  if (rows.size() < 2) {
    d.note = "A comparison chart needs at least two files in the comparison.";
    return d;
  }
  const auto columns = seriesColumns(choice);
  // An empty cell counts as 0.
  for (size_t r = 0; r < rows.size(); ++r)
    for (int i = 0; i < 2; ++i)
      d.series[i].points.emplace_back(r + 1, Val(rows[r].cells[columns[i] - 1]));
  d.drawn = true;
  return d;
}

}  // namespace tidemet
