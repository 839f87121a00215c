#include "app/analysis/recompute_analysis.h"

#include <gtest/gtest.h>

#include "trace_builder.h"

namespace tidemet {
namespace {

using testing::MakeTrial;
using testing::Trace;
using testing::WriteTrace;
using Cells = std::array<std::string, 9>;

using testing::TwoHandTrial;

TEST(RecomputeAnalysisTest, FillsTableCountsAndGridOfThePair) {
  auto s = TwoHandTrial();
  s->analysis.AnalysisMode = 1;
  testing::Analyse(*s);
  const AnalysisResults& r = s->analysis;
  EXPECT_EQ(r.FirstPairReps, 3);
  EXPECT_EQ(r.SecondPairReps, 1);
  EXPECT_EQ(r.MostReps, 3);
  ASSERT_EQ(r.grids.rows.size(), 4u);
  EXPECT_EQ(r.grids.rows[1],
            (Cells{"1", "0.50", "18.2", "0.50", "18.2", "0.50", "18.2", "2.49", "93.1"}));
  EXPECT_EQ(r.grids.rows[2], (Cells{"2", "0.50", "18.2", "0.50", "18.2", "", "", "", ""}));
  EXPECT_EQ(r.grids.gridTitle, "  Impulse        (N*sec)");
  // The second column's rows past its count are zero in the table.
  for (int col = 9; col <= 16; ++col) EXPECT_EQ(r.SummaryTable[2][col], 0.0f);
  using Means = std::array<std::string, 8>;
  EXPECT_EQ(r.grids.means[0], (Means{"0.50", "18.2", "0.50", "18.2", "", "", "", ""}));
  EXPECT_EQ(r.grids.meanLabels[3], "Reps 1-2");
  EXPECT_FLOAT_EQ(r.MeanHandForce[0], 36.5f);
  EXPECT_FLOAT_EQ(r.MeanHandForce[1], 0.0f);  // no middle repetition
  EXPECT_FALSE(r.swim.shown);

  // Peak force and average force modes pick their table columns.
  s->analysis.AnalysisMode = 0;
  EXPECT_TRUE(testing::Analyse(*s).empty());
  EXPECT_EQ(r.grids.rows[3], (Cells{"3", "0.50", "37.5", "0.49", "37.5", "", "", "", ""}));
  s->analysis.AnalysisMode = 2;
  testing::Analyse(*s);
  EXPECT_EQ(r.grids.rows[3], (Cells{"3", "0.50", "36.5", "0.49", "37.0", "", "", "", ""}));
}

TEST(RecomputeAnalysisTest, UnconnectedColumnIsNotAnalysed) {
  auto s = TwoHandTrial();
  s->PlotThreshold = 1000;
  s->TrialData[1] = 999;           // column 1's first sample below the threshold
  s->TrialData[1 + 2 * 5] = 5000;  // a spike that analysis would have removed
  testing::Analyse(*s);
  EXPECT_EQ(s->analysis.FirstPairReps, 3);
  EXPECT_EQ(s->analysis.SecondPairReps, 0);
  EXPECT_EQ(s->TrialData[1 + 2 * 5], 5000);
  EXPECT_EQ(s->analysis.SummaryTable[0][9], 0.0f);
}

TEST(RecomputeAnalysisTest, MeanHandForceBelongsToThePairsOwnColumns) {
  auto s = MakeTrial(4, 400);
  s->PairStartChannel = 2;
  s->PairSecondChannel = 3;
  WriteTrace(*s, 0, Trace().hold(1, 0));
  WriteTrace(*s, 1, Trace().hold(1, 0));
  WriteTrace(*s, 2, Trace().strokes(4, 50, 300, 50, 300));
  WriteTrace(*s, 3, Trace().strokes(4, 50, 600, 50, 600));
  s->analysis.MeanHandForce = {99, 99};
  testing::Analyse(*s);
  EXPECT_FLOAT_EQ(s->analysis.MeanHandForce[0], 36.5f);
  EXPECT_FLOAT_EQ(s->analysis.MeanHandForce[1], 73.0f);
  EXPECT_EQ(s->analysis.SummaryTable[1][10], 75.0f);  // second column's peak force
}

TEST(RecomputeAnalysisTest, ModelWithTwoPairsMovesTheSecondPairToColumnsTwoAndThree) {
  auto s = MakeTrial(4, 400);
  s->ModelCode = 23;
  s->PairStartChannel = 4;
  s->PairSecondChannel = 5;
  for (int d = 0; d < 4; ++d) WriteTrace(*s, d, Trace().strokes(4, 50, 300, 50, 300));
  testing::Analyse(*s);
  EXPECT_EQ(s->PairStartChannel, 2);
  EXPECT_EQ(s->PairSecondChannel, 3);
  EXPECT_EQ(s->PlotThreshold, 10);
  EXPECT_EQ(s->SensorValueOffset, -2400);
  EXPECT_EQ(s->analysis.FirstPairReps, 3);
}

TEST(RecomputeAnalysisTest, OpenSummaryShowsStoredRowsWithoutDetecting) {
  auto s = MakeTrial(2, 0);
  AnalysisResults& r = s->analysis;
  s->OpenedFromFile = 1;
  s->CurrentFileName = "visit1.sum";
  r.SummaryHasResults = true;
  r.FirstPairReps = 3;
  r.SecondPairReps = 2;
  for (int j = 0; j <= 3; ++j) {
    r.SummaryTable[j][1] = 0.5f;
    r.SummaryTable[j][2] = 10.0f;  // pounds: the file was saved in US units
  }
  s->DataUnitsFlag = 0;
  s->UnitsFlag = 1;
  testing::Analyse(*s);
  EXPECT_EQ(r.SummaryTable[1][2], 10.0f);  // the table keeps the stored value
  ASSERT_EQ(r.grids.rows.size(), 4u);
  EXPECT_EQ(r.grids.rows[1][2], "44.5");

  r.SummaryHasResults = false;  // no block for the current pair
  r.FirstPairReps = r.SecondPairReps = 0;
  testing::Analyse(*s);
  ASSERT_EQ(r.grids.rows.size(), 1u);
  EXPECT_EQ(r.grids.rows[0], (Cells{"0", "", "", "", "", "", "", "", ""}));
}

TEST(RecomputeAnalysisSwimTest, SwimmingTrialGivesItsSummaryLine) {
  auto s = testing::FreestyleTrial();
  testing::Analyse(*s);
  const AnalysisResults& r = s->analysis;
  ASSERT_EQ(r.FirstPairReps, 9);
  ASSERT_EQ(r.SecondPairReps, 9);
  EXPECT_EQ(s->BaselineOffsets[0], 0);  // the negative share needed no lowering
  EXPECT_EQ(r.grids.rows[1], (Cells{"1", "0.60", "37.5", "0.40", "", "0.60", "37.5", "0.40", ""}));
  EXPECT_EQ(r.grids.means[3][3], "");  // no means for the negative forces
  EXPECT_FLOAT_EQ(r.MeanHandForce[0], 22.0f);
  const SwimMetrics& m = r.swim;
  EXPECT_EQ(m.StrokeCount, 20);
  EXPECT_TRUE(m.shown);
  // Cd = 44 / (0.05 x 773 x 2.5^2) = 0.182
  EXPECT_EQ(m.line, "SV =  2.5 m/sec, SR =  1 cycles/sec, SL =  2.5 m/cycle, Cd =  .18, IVF =  0%");

  // Breaststroke counts each two-handed stroke once.
  s->Stroke = "Breast";
  testing::Analyse(*s);
  EXPECT_EQ(s->analysis.swim.StrokeCount, 10);
}

}  // namespace
}  // namespace tidemet
