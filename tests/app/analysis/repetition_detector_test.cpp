#include <gtest/gtest.h>

#include <array>

#include "app/analysis/repetition_analyzer.h"
#include "trace_builder.h"

namespace tidemet {
namespace {

using testing::MakeTrial;
using testing::Trace;
using testing::WriteTrace;

// The eight summary values of one repetition, in table order.
using Row = std::array<double, 8>;

void ExpectRow(const Session& s, int row, int o, const Row& want) {
  for (int c = 0; c < 8; ++c)
    EXPECT_EQ(s.analysis.SummaryTable[row][o + 1 + c], static_cast<float>(want[c]))
        << "row " << row << " column " << o + 1 + c;
}

struct Marks {
  int start, posEnd, negEnd, peak;
};

void ExpectMarks(const Session& s, int d, int rep, Marks m) {
  const AnalysisResults& r = s.analysis;
  EXPECT_EQ(r.RepStartMarks[d][rep], m.start) << "rep " << rep;
  EXPECT_EQ(r.RepPosEndMarks[d][rep], m.posEnd) << "rep " << rep;
  EXPECT_EQ(r.RepNegEndMarks[d][rep], m.negEnd) << "rep " << rep;
  EXPECT_EQ(r.RepPeakMarks[d][rep], m.peak) << "rep " << rep;
}

// Runs detection, conversion and storage on column 0 of a trial holding `trace`.
struct AnalysisRun {
  std::unique_ptr<Session> s;
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;
  explicit AnalysisRun(const Trace& trace, int mode = 1, int samples = -1) {
    s = MakeTrial(2, samples < 0 ? trace.size() : samples);
    s->ExerciseMode = static_cast<int16_t>(mode);
    WriteTrace(*s, 0, trace);
    WriteTrace(*s, 1, Trace().hold(1, 0));
  }
  void analyse(int d = 0) {
    analyzer.DetectRepetitions(*s, d, alerts);
    analyzer.ConvertRepetitions(*s);
    if (d == s->PairStartChannel) s->analysis.FirstPairReps = s->analysis.LastRep;
    else s->analysis.SecondPairReps = s->analysis.LastRep;
    analyzer.StoreRepetitionRows(*s, d);
  }
};

// Pushes of 300 counts between dips of 300: with equal heights the three-sample smoothing
// shifts both edges by one sample, so each phase keeps its length, except the first (the scan
// starts at sample 2) and the last (it ends at N). Each push sums 100 + 48 x 300 + 100.
TEST(RepetitionDetectorTest, SquareStrokesGiveOneRepetitionEach) {
  AnalysisRun run(Trace().strokes(4, 50, 300, 50, 300));
  run.analyse();
  const Session& s = *run.s;
  ASSERT_EQ(s.analysis.LastRep, 3);
  EXPECT_TRUE(run.alerts.shown.empty());
  //             PosSec PeakF Impulse AvgF  NegSec NegPeak NegImp NegAvg
  ExpectRow(s, 0, 0, {0.49, 37.5, 18.1, 37.0, 0.50, 37.5, 18.2, 36.5});
  ExpectRow(s, 1, 0, {0.50, 37.5, 18.2, 36.5, 0.50, 37.5, 18.2, 36.5});
  ExpectRow(s, 3, 0, {0.50, 37.5, 18.2, 36.5, 0.49, 37.5, 18.1, 37.0});
  ExpectMarks(s, 0, 0, {2, 51, 101, 2});
  ExpectMarks(s, 0, 1, {101, 151, 201, 102});
  ExpectMarks(s, 0, 3, {301, 351, 400, 302});
}

TEST(RepetitionDetectorTest, MergingRulesOfNonSwimTrials) {
  struct Case {
    const char* name;
    Trace trace;
    int lastRep;
    int row;
    Row values;
    Marks marks;
  };
  const Case cases[] = {
      // A 0.1 s dip between two 0.5 s pushes joins them: 49 + 10 + 50 samples, both sums.
      {"short dip joins two pushes", Trace().hold(50, 300).hold(10, -300).hold(50, 300).hold(90, -300),
       0, 0, {1.09, 37.5, 36.4, 33.4, 0.89, 37.5, 33.1, 37.2}, {2, 111, 200, 2}},
      // Both phases 0.29 s long but peaks of 3 counts: folded into the following push
      // (29 + 29 + 51 samples; sums 85 and 14797).
      {"weak cycle folds forward", Trace().hold(30, 3).hold(30, -3).hold(50, 300).hold(50, -300),
       0, 0, {1.09, 37.5, 18.6, 17.1, 0.49, 37.5, 18.1, 37.0}, {2, 111, 160, 62}},
      // The same weak cycle at the end is kept: the last cycle is never folded forward.
      {"weak last cycle stays", Trace().hold(50, 300).hold(50, -300).hold(30, 3).hold(30, -3),
       1, 1, {0.29, 0.4, 0.1, 0.4, 0.29, 0.4, 0.1, 0.4}, {102, 131, 160, 102}},
      // A trace held exactly at the baseline stays in the positive phase until it drops.
      {"level at baseline is positive", Trace().hold(50, 0).hold(50, -300),
       0, 0, {0.48, 0.0, 0.0, 0.0, 0.50, 37.5, 18.4, 36.8}, {2, 50, 100, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnalysisRun run(c.trace);
    run.analyse();
    ASSERT_EQ(run.s->analysis.LastRep, c.lastRep);
    ExpectRow(*run.s, c.row, 0, c.values);
    ExpectMarks(*run.s, 0, c.row, c.marks);
  }
}

TEST(RepetitionDetectorTest, SpikesTakeThePreviousCleanedSample) {
  AnalysisRun run(Trace().strokes(2, 50, 300, 50, 300));
  Session& s = *run.s;
  const int16_t first = s.TrialData[0];
  s.TrialData[1 * 2] = 3001;
  s.TrialData[2 * 2] = 30000;  // a run of spikes takes the value before the run
  s.TrialData[60 * 2] = 3000;  // 3000 itself is kept
  const int last = s.SampleCount;
  const int16_t beforeLast = s.TrialData[(last - 1) * 2];
  s.TrialData[last * 2] = 3001;  // the last sample read is cleaned too
  run.analyse();
  EXPECT_EQ(s.TrialData[1 * 2], first);
  EXPECT_EQ(s.TrialData[2 * 2], first);
  EXPECT_EQ(s.TrialData[60 * 2], 3000);
  EXPECT_EQ(s.TrialData[last * 2], beforeLast);
  EXPECT_EQ(s.TrialData[1 * 2 + 1], -s.BaselineOffset);  // the other column is untouched
}

TEST(RepetitionDetectorTest, ScanStopsAfterOneHundredCycles) {
  AnalysisRun run(Trace().strokes(150, 30, 300, 30, 300));
  run.analyse();
  ASSERT_EQ(run.s->analysis.LastRep, 99);
  // Cycle 99 ends where push 100 begins; the rest of the trace is ignored.
  ExpectMarks(*run.s, 0, 99, {5941, 5971, 6001, 5942});
}

TEST(RepetitionDetectorTest, NoSamplesNoRepetitions) {
  for (int samples : {0, 1, 2}) {
    AnalysisRun run(Trace().strokes(2, 50, 300, 50, 300), 1, samples);
    run.analyse();
    EXPECT_EQ(run.s->analysis.LastRep, -1) << samples;
  }
}

TEST(RepetitionDetectorTest, SmoothedValueOutOfRangeWarnsAndKeepsCyclesFound) {
  AnalysisRun run(Trace().strokes(1, 50, 300, 50, 300).hold(50, 300).hold(50, 0));
  Session& s = *run.s;
  for (int k = 150; k <= 200; ++k) s.TrialData[k * 2] = -32768;  // below -32768 once offset
  run.analyse();
  ASSERT_EQ(run.alerts.shown.size(), 1u);
  EXPECT_EQ(run.alerts.shown[0].title, "Tidemet Warning");
  EXPECT_EQ(run.alerts.shown[0].text,
            "Data exceed calculation limits.\r\nAnalysis may not be accurate or complete.\r\n"
            "Check that the baseline is zeroed\r\nfor all channels connected to sensors.\r\n"
            "Also check that the force value\r\ncrosses the baseline on each repetition.");
  // Cycle 1 was interrupted in its negative phase (S(152) = -33953) and ends at N.
  ASSERT_EQ(s.analysis.LastRep, 1);
  ExpectMarks(s, 0, 1, {101, 150, 200, 102});
  EXPECT_EQ(s.analysis.SummaryTable[1][5], 0.5f);  // 150..200
}

// Swimming: a push shorter than half a second or lower than 48 counts joins the previous
// repetition's recovery; a recovery shorter than a quarter second takes in the next cycle. The
// third of six cycles is built at each limit and one step past it.
TEST(RepetitionDetectorTest, SwimmingLimitsJustInsideAndJustOutside) {
  const struct {
    const char* name;
    int push, level, dip;
    int lastRep, row;
    float negSeconds;
  } cases[] = {
      {"half-second push is a repetition", 50, 300, 40, 5, 1, 0.40f},
      {"shorter push joins the recovery before it", 49, 300, 40, 4, 1, 1.29f},
      {"push of 48 counts is a repetition", 60, 48, 40, 5, 1, 0.41f},  // the low push smooths later
      {"push of 47 counts joins the recovery before it", 60, 47, 40, 4, 1, 1.40f},
      {"quarter-second recovery is kept", 60, 300, 25, 5, 2, 0.25f},
      {"shorter recovery stretches over the next cycle", 60, 300, 24, 4, 2, 1.24f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Trace t;
    t.strokes(2, 60, 300, 40, 300).hold(c.push, c.level).hold(c.dip, -300).strokes(3, 60, 300, 40, 300);
    AnalysisRun run(t, 3, 600);  // 6 s: exactly 25 and 50 samples to a quarter and a half second
    run.analyse();
    EXPECT_EQ(run.s->analysis.LastRep, c.lastRep);
    EXPECT_EQ(run.s->analysis.SummaryTable[c.row][5], c.negSeconds);
  }
}

TEST(RepetitionDetectorTest, SwimmingOverflowRestartsAreBounded) {
  AnalysisRun run(Trace().strokes(3, 60, 300, 40, 300), 3);
  Session& s = *run.s;
  s.BaselineOffset = 32000;  // every smoothed value overflows in the first positive phase
  for (int k = 0; k <= s.SampleCount; ++k) s.TrialData[k * 2] = 3000;
  run.analyse();
  EXPECT_EQ(s.BaselineOffsets[0], -79);
  EXPECT_EQ(run.analyzer.restarts(), 79);
  EXPECT_EQ(run.alerts.shown.size(), 1u);
  EXPECT_EQ(s.analysis.LastRep, 0);
}

TEST(RepetitionDetectorTest, SwimmingLowersBaselineUntilNegativeShareIsReached) {
  // Pushes of 300 separated by stretches 10 counts above the baseline: no sample is negative
  // until the offset has come down 9 counts, when the stretches sit at 1, below the level 2.
  Trace t;
  for (int i = 0; i < 10; ++i) t.hold(60, 300).hold(40, 10);
  AnalysisRun run(t, 3);
  run.analyse();
  EXPECT_EQ(run.s->BaselineOffsets[0], -9);
  EXPECT_EQ(run.analyzer.restarts(), 9);
  EXPECT_EQ(run.s->analysis.LastRep, 9);
  // A lowered offset stays lowered: the next run starts from it.
  run.analyse();
  EXPECT_EQ(run.s->BaselineOffsets[0], -9);
  EXPECT_EQ(run.analyzer.restarts(), 0);
}

TEST(RepetitionDetectorTest, SwimmingShortRecoveriesLowerToLimitThenStretch) {
  // Recoveries of 0.2 s between 0.6 s pushes keep the second swimming check set, so the offset
  // goes down to -79; validation then stretches each short recovery over the next cycle.
  AnalysisRun run(Trace().strokes(5, 60, 300, 20, 300).hold(300, -300), 3);
  run.analyse();
  const Session& s = *run.s;
  EXPECT_EQ(s.BaselineOffsets[0], -79);
  ASSERT_EQ(s.analysis.LastRep, 2);
  ExpectMarks(s, 0, 0, {2, 61, 81, 2});
  ExpectMarks(s, 0, 1, {81, 141, 241, 82});
  ExpectMarks(s, 0, 2, {241, 301, 700, 242});
  EXPECT_EQ(s.analysis.SummaryTable[1][5], 1.0f);   // 20 + 60 + 20 samples
  EXPECT_EQ(s.analysis.SummaryTable[2][5], 3.99f);  // 20 + 60 + 319
  // Swimming average force is over the whole cycle: a push summing 12860 over 160 samples.
  EXPECT_EQ(s.analysis.SummaryTable[1][4], 10.0f);
}

TEST(RepetitionDetectorTest, BreaststrokeSecondHandMissingFirstStrokeIsShifted) {
  auto s = MakeTrial(2, 600);
  s->ExerciseMode = 3;
  s->SwimDistance = 25;
  s->Stroke = "Breast";
  WriteTrace(*s, 0, Trace().strokes(6, 60, 300, 40, 300));
  WriteTrace(*s, 1, Trace().hold(105, -300).strokes(4, 60, 300, 40, 300).hold(95, -300));
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;
  analyzer.DetectRepetitions(*s, 0, alerts);
  s->analysis.FirstPairReps = s->analysis.LastRep;
  ASSERT_EQ(s->analysis.FirstPairReps, 5);
  analyzer.DetectRepetitions(*s, 1, alerts);
  const AnalysisResults& r = s->analysis;
  EXPECT_EQ(r.LastRep, 5);
  EXPECT_EQ(r.SecondPairReps, 5);
  // Repetition 0 is the missing stroke; the five found move up one place.
  ExpectMarks(*s, 1, 0, {0, 0, 2, 0});
  ExpectMarks(*s, 1, 1, {2, 2, 106, 2});
  ExpectMarks(*s, 1, 2, {106, 166, 206, 107});
  ExpectMarks(*s, 1, 5, {406, 466, 600, 407});
  EXPECT_EQ(analyzer.cycle(0).PosSamples, 0);
  EXPECT_EQ(analyzer.cycle(2).PosSamples, 60);
}

TEST(RepetitionDetectorTest, DamagedHeaderNeverReadsPastTheBuffer) {
  AnalysisRun run(Trace().strokes(2, 50, 300, 50, 300));
  run.s->ChannelCount = 8;
  run.s->SampleCount = 30000;  // 8 x 30000 samples would not fit
  run.s->TrialSeconds = 0;     // and a zero trial time must not stop the scan
  run.analyse(7);
  EXPECT_EQ(ReadableSampleCount(*run.s, 7), 3749);
  EXPECT_GE(run.s->analysis.LastRep, 0);
}

}  // namespace
}  // namespace tidemet
