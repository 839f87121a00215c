#include "app/analysis/analysis_means.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemet {
namespace {

MeanColumn Column(const std::vector<float>& values, bool duration, double factor = 1.0) {
  AnalysisResults r;
  for (size_t j = 0; j < values.size(); ++j) r.SummaryTable[j][3] = values[j];
  return ScaleColumn(r, 3, static_cast<int>(values.size()) - 1, duration, factor);
}

TEST(AnalysisMeansTest, HalvesLeaveOutFirstAndLastRepetition) {
  struct Case {
    std::vector<float> values;
    bool duration;
    std::optional<float> first, second, overall;
  };
  const Case cases[] = {
      // LastRep 3: first half = rep 1, second half = rep 2, overall = reps 1-2.
      {{99, 10.0f, 11.0f, 99}, false, 10.0f, 11.0f, 10.5f},
      // LastRep 6: h = 2, m = 5; 25 tenths / 2 = 12.5 rounds to even (12).
      {{0, 1.2f, 1.3f, 2.0f, 2.0f, 2.3f, 0}, false, 1.2f, 2.1f, 1.8f},
      // Hundredths: 99 / 2 = 49.5 -> 50, 103 / 2 = 51.5 -> 52, 202 / 4 = 50.5 -> 50.
      {{0, 0.49f, 0.50f, 0.51f, 0.52f, 0}, true, 0.5f, 0.52f, 0.5f},
      // LastRep 1: no middle repetition, no mean.
      {{1, 2}, false, std::nullopt, std::nullopt, std::nullopt},
      // LastRep 2: only the overall mean exists (rep 1).
      {{1, 2.5f, 3}, false, std::nullopt, 2.5f, 2.5f},
  };
  for (const Case& c : cases) {
    const MeanColumn col = Column(c.values, c.duration);
    SCOPED_TRACE(testing::Message() << "last rep " << col.lastRep);
    EXPECT_EQ(FirstHalfMean(col), c.first);
    EXPECT_EQ(SecondHalfMean(col), c.second);
    EXPECT_EQ(OverallMean(col), c.overall);
  }
}

TEST(AnalysisMeansTest, ForceColumnsOfTheOtherUnitSystemAreConverted) {
  // 10.0 lb shown in newtons: RoundEven(10 x 10 x 4.45) = 445 tenths.
  const MeanColumn col = Column({0, 10.0f, 10.0f, 0}, false, 4.45);
  EXPECT_EQ(OverallMean(col), 44.5f);
}

TEST(AnalysisMeansTest, PercentChangeAndItsText) {
  EXPECT_EQ(PercentChange(10.0f, 11.0f), 10.0);
  EXPECT_EQ(PercentChangeText(10, false), "+10  ");
  EXPECT_EQ(PercentChangeText(10, true), "+10   ");
  EXPECT_EQ(PercentChangeText(-25, false), "-25  ");
  EXPECT_EQ(PercentChangeText(0, false), "0  ");
  EXPECT_EQ(PercentChange(0.0f, 11.0f), std::nullopt);
  EXPECT_EQ(PercentChange(-1.0f, 11.0f), std::nullopt);
  // 1/3 change rounds to 33; a 2.5 % change rounds to even.
  EXPECT_EQ(PercentChange(0.3f, 0.4f), 33.0);
  EXPECT_EQ(PercentChange(40.0f, 41.0f), 2.0);
}

TEST(AnalysisMeansTest, GridValuesShowTheirDecimals) {
  struct Case {
    float v;
    bool duration;
    const char* text;
  };
  const Case cases[] = {{12, true, "12.00"},  {12.5f, true, "12.50"}, {12, false, "12.0"},
                        {0.49f, true, "0.49"}, {37.5f, false, "37.5"}, {0, false, "0.0"},
                        {0, true, "0.00"},     {1.1f, true, "1.10"}};
  for (const Case& c : cases) EXPECT_EQ(GridValueText(c.v, c.duration), c.text) << c.v;
}

// The rows are named by repetitions from three repetitions on, when both hands found as many or
// one of them fewer than three.
TEST(AnalysisMeansTest, RowLabelsNameTheRepetitionsAtTheirBoundaryCounts) {
  using L = std::array<std::string, 4>;
  const L plain{"1st Half", "2nd Half", "% Change", "Overall"};
  const struct {
    bool present;
    int most, first, second;
    L labels;
  } cases[] = {
      {true, 7, 7, 7, {"Reps 1-3", "Reps 4-6", "% Change", "Reps 1-6"}},
      {true, 3, 3, 2, {"Reps 1-1", "Reps 2-2", "% Change", "Reps 1-2"}},
      {true, 4, 4, 4, {"Reps 1-1", "Reps 2-3", "% Change", "Reps 1-3"}},
      {true, 8, 8, 2, {"Reps 1-3", "Reps 4-7", "% Change", "Reps 1-7"}},
      {true, 8, 8, 3, plain},
      {true, 8, 8, 6, plain},
      {true, 2, 2, 2, plain},
      {false, 7, 7, 7, plain},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MeanRowLabels(c.present, c.most, c.first, c.second), c.labels)
        << c.most << " " << c.first << " " << c.second;
}

}  // namespace
}  // namespace tidemet
