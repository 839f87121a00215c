#include "app/acquisition/graph_paging.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/acquisition/pointer_readout.h"

namespace tidemet {
namespace {

class RecordingCanvas : public GraphCanvas {
 public:
  void clear() override { ++clears; }
  void eraseColumns(int first, int last) override { erased.push_back({first, last}); }
  void drawGrid(int first, int last) override { grids.push_back({first, last}); }
  void drawBar(int column, int y) override { bars.push_back({column, y}); }
  void shiftColumns(int shift) override { shifts.push_back(shift); }
  int clears = 0;
  std::vector<std::pair<int, int>> erased, grids, bars;
  std::vector<int> shifts;
};

TEST(GraphPagingTest, PlansFollowTheStepAndTheLimits) {
  struct Case { int current, requested, position, shift, first, last; };
  const Case cases[] = {
      {0, 100, 96, -96, 454, 549},   // rounded down to a multiple of 8
      {96, 7, 0, 96, 0, 95},
      {0, 7, 0, 0, 0, -1},           // nothing moves
      {0, 5000, 5000, -550, 0, 549}, // further than a page: everything is new
      {4000, 0, 0, 550, 0, 549},
      {0, -30, 0, 0, 0, -1},
  };
  for (const auto& c : cases) {
    PageMove m = PlanPageMove(c.current, c.requested);
    EXPECT_EQ(m.position, c.position) << c.requested;
    EXPECT_EQ(m.shift, c.shift) << c.requested;
    EXPECT_EQ(m.firstUncovered, c.first) << c.requested;
    EXPECT_EQ(m.lastUncovered, c.last) << c.requested;
  }
  EXPECT_EQ(PlanPageMove(0, 10, 3).position, 9);  // the video display pages by three
}

TEST(GraphPagingTest, OnlyTheUncoveredColumnsAreDrawnWithTheLiveRules) {
  auto s = std::make_unique<Session>();
  s->ChannelCount = 2;
  s->PairStartChannel = 0;
  s->PairSecondChannel = 1;
  s->SampleCount = 700;
  s->GraphGain = 2.0f;
  s->BaselineOffsets[1] = 5;
  for (int k = 0; k <= 700; ++k) {
    s->TrialData[k * 2] = static_cast<int16_t>(1185 + 10);
    s->TrialData[k * 2 + 1] = static_cast<int16_t>(k == 600 ? 900 : 1185 + 10);
  }
  RecordingCanvas lower;
  ApplyPageMove(*s, 1, PlanPageMove(0, 144), lower);
  EXPECT_EQ(lower.shifts, (std::vector<int>{-144}));
  EXPECT_EQ(lower.erased, (std::vector<std::pair<int, int>>{{406, 549}}));
  EXPECT_EQ(lower.grids, (std::vector<std::pair<int, int>>{{406, 549}}));
  // Columns 406..549 show samples 550..693; sample 600 is below the threshold; 79 - 15 * 2 = 49.
  ASSERT_EQ(lower.bars.size(), 143u);
  EXPECT_EQ(lower.bars.front(), std::make_pair(406, 49));
  EXPECT_EQ(lower.bars[50], std::make_pair(457, 49));  // column 456 (sample 600) skipped
  EXPECT_EQ(lower.bars.back(), std::make_pair(549, 49));

  // Past the end of the trial nothing is drawn.
  RecordingCanvas upper;
  ApplyPageMove(*s, 0, PlanPageMove(144, 400), upper);
  EXPECT_EQ(upper.bars.size(), 700u - (400 + 294) + 1);  // samples 694..700 in columns 294..300
}

TEST(PointerReadoutTest, TimeRepetitionAndTimeWithinIt) {
  auto s = std::make_unique<Session>();
  s->ChannelCount = 2;
  s->PairStartChannel = 0;
  s->PairSecondChannel = 1;
  s->SampleCount = 500;
  s->SecondsPerSample = 0.01f;
  s->analysis.FirstPairReps = 1;  // repetitions 0 and 1 of column 0
  s->analysis.RepStartMarks[0][0] = 2;
  s->analysis.RepNegEndMarks[0][0] = 120;
  s->analysis.RepStartMarks[0][1] = 120;
  s->analysis.RepNegEndMarks[0][1] = 230;
  struct Case { int graph, sample; const char* time; const char* rep; const char* repTime; };
  const Case cases[] = {
      {0, 0, "0.00", "", ""},          // before the first repetition's start
      {0, 2, "0.02", "0", "0.00"},
      {0, 119, "1.19", "0", "1.17"},
      {0, 120, "1.20", "1", "0.00"},
      {0, 229, "2.29", "1", "1.09"},
      {0, 230, "2.30", "", ""},        // past the last repetition
      {1, 50, "0.50", "", ""},         // the second column has no repetitions
      {0, 501, "", "", ""},            // past the trial
      {0, -1, "", "", ""},
  };
  for (const auto& c : cases) {
    PointerReadout r = ReadPointer(*s, c.graph, c.sample);
    EXPECT_EQ(r.time, c.time) << c.sample;
    EXPECT_EQ(r.rep, c.rep) << c.sample;
    EXPECT_EQ(r.repTime, c.repTime) << c.sample;
  }
}

}  // namespace
}  // namespace tidemet
