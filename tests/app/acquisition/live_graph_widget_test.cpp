#include "app/acquisition/live_graph_widget.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/acquisition/graph_paging.h"
#include "app/acquisition/plot_sample.h"

namespace tidemet {
namespace {

constexpr QRgb kBack = 0xFF000000;
constexpr QRgb kFore = 0xFF00FF00;
constexpr QRgb kGrid = 0xFFC0C0C0;

// The rows of `column` that hold the foreground colour, as [top, bottom], or {-1, -1}.
std::pair<int, int> barRows(const QImage& image, int column) {
  int top = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    if (image.pixel(column, y) == kFore) {
      if (top < 0) top = y;
      bottom = y;
    }
  }
  return {top, bottom};
}

class LiveGraphWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s = std::make_unique<Session>();
    s->ChannelCount = 2;
    s->GraphGain = 1.0f;
    upper.resize(1100, 320);  // drawn at twice the graph's size; coordinates stay 550 x 160
    sink.clearGraphs();
  }
  std::unique_ptr<Session> s;
  LiveGraphWidget upper;
  LiveGraphWidget lower;
  PairSink sink{upper, lower};
  PlotHistory history[2];
};

TEST_F(LiveGraphWidgetTest, GridAndBarsInGraphCoordinates) {
  const QImage& image = upper.image();
  ASSERT_EQ(image.size(), QSize(550, 160));
  for (int y : {15, 31, 47, 63, 79, 95, 111, 127, 143, 159}) {
    EXPECT_EQ(image.pixel(1, y), kGrid) << y;
    EXPECT_EQ(image.pixel(549, y), kGrid) << y;
  }
  EXPECT_EQ(image.pixel(0, 79), kBack);  // the grid starts at column 1
  EXPECT_EQ(image.pixel(10, 78), kBack);

  s->TrialData[0] = 1201;  // y 63 before smoothing: (63 + 79 + 79) / 3 = 74
  s->TrialData[1] = 999;   // below PlotThreshold 1000
  PlotSample(*s, 0, 12, history, sink);
  EXPECT_EQ(barRows(upper.image(), 12), std::make_pair(74, 79));
  EXPECT_EQ(barRows(lower.image(), 12), std::make_pair(-1, -1));

  s->TrialData[2] = 1185 - 40;  // below the zero-force line: the bar hangs down from 79
  s->TrialData[3] = 1185 + 200;
  PlotSample(*s, 1, 13, history, sink);
  EXPECT_EQ(barRows(upper.image(), 13), std::make_pair(79, 87));  // (119 + 63 + 79) / 3 = 87
  EXPECT_EQ(barRows(lower.image(), 13), std::make_pair(12, 79));  // (-121 + 79 + 79) / 3 = 12.3
}

TEST_F(LiveGraphWidgetTest, PagingMovesTheImageAndDrawsOnlyTheUncoveredColumns) {
  s->SampleCount = 2000;
  for (int k = 0; k <= 2000; ++k) s->TrialData[k * 2] = static_cast<int16_t>(1185 + (k % 50));
  // Draw the first page by hand, then page on by 100 samples (rounded down to 96).
  for (int c = 0; c < 550; ++c) upper.drawBar(c, GraphY(*s, 0, s->TrialData[c * 2]));
  const QImage before = upper.image();
  ApplyPageMove(*s, 0, PlanPageMove(0, 100), upper);
  const QImage& after = upper.image();
  for (int c : {0, 200, 453}) {
    for (int y = 0; y < 160; ++y) ASSERT_EQ(after.pixel(c, y), before.pixel(c + 96, y)) << c;
  }
  // An uncovered column shows its sample at the new position: sample 96 + 500 = 596 -> 1185 + 46.
  EXPECT_EQ(barRows(after, 500), std::make_pair(79 - 46, 79));
  EXPECT_EQ(after.pixel(500, 15), kGrid);
}

}  // namespace
}  // namespace tidemet
