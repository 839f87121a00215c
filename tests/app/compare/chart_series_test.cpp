#include "app/compare/chart_series.h"

#include <gtest/gtest.h>

namespace tidemet {
namespace {

using Points = std::vector<std::pair<double, double>>;

// A trial analysed in memory: row j of table column c holds c x 100 + j, so every plotted value
// names the column and repetition it came from.
Session AnalysedTrial(int firstReps, int secondReps) {
  Session s;
  s.ClientName = "Ann Lee";
  s.analysis.FirstPairReps = static_cast<int16_t>(firstReps);
  s.analysis.SecondPairReps = static_cast<int16_t>(secondReps);
  s.analysis.MostReps = static_cast<int16_t>(std::max(firstReps, secondReps));
  for (int j = 0; j < kSummaryRows; ++j)
    for (int c = 1; c <= 16; ++c) s.analysis.SummaryTable[j][c] = static_cast<float>(c * 100 + j);
  return s;
}

TEST(RepetitionChart, PointCountsFollowTheSmallerColumn) {
  struct Case {
    int first, second, points;
  };
  const Case cases[] = {
      {9, 7, 7}, {7, 9, 7}, {8, 8, 7},
      {3, 3, 2}, {2, 2, 0},  // three repetitions: MostReps 2 draws nothing
      {5, 0, 0},             // an unconnected column leaves nothing to draw
  };
  for (const Case& c : cases) {
    const ChartData d = RepetitionChart(AnalysedTrial(c.first, c.second), {});
    SCOPED_TRACE(std::to_string(c.first) + " and " + std::to_string(c.second));
    EXPECT_EQ(d.drawn, c.points > 0);
    ASSERT_EQ(d.series[0].points.size(), static_cast<size_t>(c.points));
    ASSERT_EQ(d.series[1].points.size(), static_cast<size_t>(c.points));
    if (c.points > 0) {
      EXPECT_EQ(d.series[0].points.front().first, 1);  // repetition 0 is never drawn
      EXPECT_EQ(d.series[0].points.back().first, c.points);
    }
  }
}

TEST(RepetitionChart, SeriesTakeTheColumnsOfQuantityAndPhase) {
  struct Case {
    int mode;
    ChartChoice choice;
    double first, second;  // value at repetition 1
    std::string yTitle;
    std::string firstName;
  };
  const Case cases[] = {
      {0, {false, false}, 201, 1001, "Peak Force   (N)", "Left Channel 1 Flexion"},
      {0, {true, false}, 101, 901, "Time (sec)", "Left Channel 1 Flexion"},
      {0, {false, true}, 601, 1401, "Peak Force   (N)", "Left Channel 1 Extension"},
      {0, {true, true}, 501, 1301, "Time (sec)", "Left Channel 1 Extension"},
      {1, {false, false}, 301, 1101, "  Impulse (N*sec)", "Left Channel 1 Flexion"},
      {2, {false, true}, 801, 1601, "Avg Force   (N)", "Left Channel 1 Extension"},
  };
  for (const Case& c : cases) {
    Session s = AnalysedTrial(4, 4);
    s.analysis.AnalysisMode = static_cast<int16_t>(c.mode);
    const ChartData d = RepetitionChart(s, c.choice);
    SCOPED_TRACE(c.yTitle + " " + c.firstName);
    EXPECT_EQ(d.series[0].points, (Points{{1, c.first}, {2, c.first + 1}, {3, c.first + 2}}));
    EXPECT_EQ(d.series[1].points.front().second, c.second);
    EXPECT_EQ(d.yTitle, c.yTitle);
    EXPECT_EQ(d.series[0].name, c.firstName);
    EXPECT_EQ(d.series[1].name.substr(0, 15), "Right Channel 2");
  }
  // The legend names the segment of the pair after the side, as a person would say it.
  Session s = AnalysedTrial(4, 4);
  s.PairLabel = "Hand";
  const ChartData d = RepetitionChart(s, {});
  EXPECT_EQ(d.series[0].name, "Left Hand Channel 1 Flexion");
  EXPECT_EQ(d.series[1].name, "Right Hand Channel 2 Flexion");
}

}  // namespace
}  // namespace tidemet
