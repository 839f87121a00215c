#include "app/analysis/sample_export.h"

#include <gtest/gtest.h>

#include "trace_builder.h"

namespace tidemet {
namespace {

using testing::MakeTrial;
using testing::Trace;
using testing::WriteTrace;
using Row = std::vector<std::string>;

TEST(SampleExportTest, HeaderNamesTheUnitsChannels) {
  struct Case {
    int channels;
    Row header;
  };
  const Case cases[] = {
      {4, {"Counter", "Time", "Ch1/LHand", "Ch2/RHand", "Ch3/LFoot", "Ch4/RFoot"}},
      {8, {"Counter", "Time", "Ch1/LHand", "Ch2/RHand", "Ch3 (mv)", "Ch4 (mv)", "Ch5 (mv)", "Ch6 (mv)",
           "Ch7 (mv)", "Ch8 (mv)"}},
  };
  for (const Case& c : cases) {
    auto s = MakeTrial(c.channels, 10);
    EXPECT_EQ(SampleForceTable(*s, false)[0], c.header) << c.channels;
  }
}

TEST(SampleExportTest, ForcesOfRawAndSmoothedTraces) {
  // 0.125 per count; a push of 300 counts after a dip of 300.
  auto s = MakeTrial(2, 8);
  s->PairStartChannel = 4;  // a two-channel trial keeps its pair's columns
  s->PairSecondChannel = 5;
  s->GraphGain = 0.5f;
  WriteTrace(*s, 4, Trace().hold(4, -300).hold(5, 300));
  WriteTrace(*s, 5, Trace().hold(9, 12));
  const TextTable raw = SampleForceTable(*s, false);
  ASSERT_EQ(raw.size(), 10u);  // header and samples 0..8
  EXPECT_EQ(raw[1], (Row{"0", "0", "-37.5", "1.5"}));
  EXPECT_EQ(raw[6], (Row{"5", "0.05", "37.5", "1.5"}));
  // Plotted at gain 0.5: 79 + 150 = 229 and 79 - 150 = -71; samples 3..5 smooth to 229, 129,
  // 29, so sample 5 shows (79 - 29) / 0.5 x 0.125 = 12.5.
  const TextTable smooth = SampleForceTable(*s, true);
  EXPECT_EQ(smooth[5], (Row{"4", "0.04", "-12.5", "1.5"}));
  EXPECT_EQ(smooth[6], (Row{"5", "0.05", "12.5", "1.5"}));
  EXPECT_EQ(smooth[8], (Row{"7", "0.07", "37.5", "1.5"}));
  EXPECT_EQ(ClipText({{"a", "b"}, {"c"}}), "a\tb\rc");
}

}  // namespace
}  // namespace tidemet
