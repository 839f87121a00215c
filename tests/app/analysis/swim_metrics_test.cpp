#include "app/analysis/swim_metrics.h"

#include <gtest/gtest.h>

namespace tidemet {
namespace {

std::unique_ptr<Session> SwimTrial(int distance, float seconds, int recordedUnits) {
  auto s = std::make_unique<Session>();
  s->ExerciseMode = 3;
  s->SwimDistance = static_cast<int16_t>(distance);
  s->TrialSeconds = seconds;
  s->RecordedUnitsFlag = static_cast<int16_t>(recordedUnits);
  s->UnitsFlag = 1;
  s->Stroke = "Free";
  return s;
}

PairDurationMeans HalfSecondMeans() {
  PairDurationMeans m;
  m.p1 = m.n1 = m.p2 = m.n2 = 0.5f;
  return m;
}

TEST(SwimMetricsTest, VelocityFollowsTheRecordedUnits) {
  auto us = SwimTrial(25, 20.0f, 0);
  UpdateSwimMetrics(*us, HalfSecondMeans());
  EXPECT_FLOAT_EQ(us->analysis.swim.VelocityYards, 1.25f);
  EXPECT_FLOAT_EQ(us->analysis.swim.VelocityMetres, 1.14f);  // R2(1.1375)
  EXPECT_FLOAT_EQ(us->analysis.swim.StrokeRate, 1.0f);

  auto metric = SwimTrial(25, 20.0f, 1);
  metric->ClientHeight = "180";
  metric->ClientWeight = "75 ";
  metric->analysis.MeanHandForce = {30, 30};
  UpdateSwimMetrics(*metric, HalfSecondMeans());
  const SwimMetrics& m = metric->analysis.swim;
  EXPECT_FLOAT_EQ(m.VelocityMetres, 1.25f);
  EXPECT_FLOAT_EQ(m.VelocityYards, 1.38f);       // R2(1.375)
  EXPECT_FLOAT_EQ(m.StrokeLengthYards, 1.38f);
  EXPECT_FLOAT_EQ(m.StrokeLengthMetres, 1.26f);  // R2(1.2558)
  EXPECT_EQ(m.FrontalArea, 773);                 // 630 + 519.75 - 377
  EXPECT_FLOAT_EQ(m.DragCoefficient, 0.99f);     // 60 / (0.05 x 773 x 1.5625)
  EXPECT_TRUE(m.shown);
  EXPECT_EQ(m.line, "SV =  1.25 m/sec, SR =  1 cycles/sec, SL =  1.26 m/cycle, Cd =  .99, IVF =  0%");
  EXPECT_EQ(SwimSummaryLine(m, false),
            "SV =  1.38 yds/sec, SR =  1 cycles/sec, SL =  1.38 yds/cycle, Cd =  .99, IVF =  0%");
}

TEST(SwimMetricsTest, UsUnitsConvertBodySizeAndForce) {
  auto s = SwimTrial(25, 20.0f, 0);
  s->UnitsFlag = 0;
  s->ClientHeight = "70 ";   // 177.8 cm -> 178
  s->ClientWeight = "165";   // 75 kg
  s->analysis.MeanHandForce = {10, 10};
  UpdateSwimMetrics(*s, HalfSecondMeans());
  const SwimMetrics& m = s->analysis.swim;
  EXPECT_EQ(m.FrontalArea, 766);  // 623 + 519.75 - 377 = 765.75
  EXPECT_FLOAT_EQ(m.PropulsiveForce, 89.0f);
  EXPECT_FLOAT_EQ(m.DragCoefficient, 1.79f);  // 89 / (0.05 x 766 x 1.14^2) = 1.788
}

TEST(SwimMetricsTest, BreaststrokeCountsEachCycleOnce) {
  struct Case {
    const char* stroke;
    int first, second, count;
  };
  // Half of an odd count rounds to even: 1.5 -> 2, 2.5 -> 2, 3.5 -> 4, 6.5 -> 6.
  const Case cases[] = {{"Breast", 7, 7, 7}, {"Breast", 2, 1, 2}, {"Fly", 3, 2, 2},
                        {"Fly", 4, 3, 4},    {"Breast", 7, 6, 6}, {"Free", 7, 6, 13}};
  for (const Case& c : cases) {
    auto s = SwimTrial(25, 20.0f, 1);
    s->Stroke = c.stroke;
    for (int j = 0; j < c.first; ++j) s->analysis.SummaryTable[j][1] = 0.5f;
    for (int j = 0; j < c.second; ++j) s->analysis.SummaryTable[j][9] = 0.5f;
    s->analysis.SummaryTable[c.first][1] = 0.2f;  // a short one past the count is not seen
    PairDurationMeans m = HalfSecondMeans();
    m.firstReps = c.first - 1;
    m.secondReps = c.second - 1;
    UpdateSwimMetrics(*s, m);
    EXPECT_EQ(s->analysis.swim.StrokeCount, c.count) << c.stroke << " " << c.second;
  }
  // Repetitions at or below half the mean duration are not strokes.
  auto s = SwimTrial(25, 20.0f, 1);
  const float durations[] = {0.25f, 0.26f, 0.5f, 0.74f};
  for (int j = 0; j < 4; ++j) s->analysis.SummaryTable[j][1] = durations[j];
  PairDurationMeans m;
  m.p1 = 0.5f;
  m.firstReps = 3;
  UpdateSwimMetrics(*s, m);
  EXPECT_EQ(s->analysis.swim.StrokeCount, 3);
}

TEST(SwimMetricsTest, FailedConditionsKeepPreviousValues) {
  auto s = SwimTrial(25, 20.0f, 1);
  s->analysis.swim.DragCoefficient = 0.5f;
  s->analysis.swim.StrokeRate = 0.8f;
  PairDurationMeans zero;
  zero.p1 = zero.n1 = zero.p2 = zero.n2 = 0.0f;
  UpdateSwimMetrics(*s, zero);  // no height or weight, no durations
  EXPECT_EQ(s->analysis.swim.FrontalArea, -377);
  EXPECT_FLOAT_EQ(s->analysis.swim.DragCoefficient, 0.5f);
  EXPECT_FLOAT_EQ(s->analysis.swim.StrokeRate, 0.8f);

  for (int mode : {1, 2, 4}) {
    auto other = SwimTrial(25, 20.0f, 1);
    other->ExerciseMode = static_cast<int16_t>(mode);
    other->analysis.swim.line = "old";
    UpdateSwimMetrics(*other, HalfSecondMeans());
    EXPECT_FALSE(other->analysis.swim.shown);
    EXPECT_EQ(other->analysis.swim.line, "");
    EXPECT_FLOAT_EQ(other->analysis.swim.StrokeRate, 1.0f);
  }
  auto unmeasured = SwimTrial(0, 20.0f, 1);
  UpdateSwimMetrics(*unmeasured, HalfSecondMeans());
  EXPECT_FALSE(unmeasured->analysis.swim.shown);
}

}  // namespace
}  // namespace tidemet
