#include "app/acquisition/live_graph_widget.h"

#include <gtest/gtest.h>

#include "app/acquisition/axis_label_widget.h"
#include "app/acquisition/graph_canvas.h"

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
    upper.resize(1100, 320);  // drawn at twice the graph's size; coordinates stay 550 x 160
    sink.clearGraphs();
  }
  LiveGraphWidget upper;
  LiveGraphWidget lower;
  PairSink sink{upper, lower};
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

  // A bar reaches from the zero-force line, row 79, up or down to its y; the smoothing that
  // gives y is the sampling loop's test.
  upper.drawBar(12, 74);
  upper.drawBar(13, 87);
  EXPECT_EQ(barRows(upper.image(), 12), std::make_pair(74, 79));
  EXPECT_EQ(barRows(upper.image(), 13), std::make_pair(79, 87));
  sink.drawBar(1, 14, 12);  // graph 1 is the lower one
  EXPECT_EQ(barRows(lower.image(), 14), std::make_pair(12, 79));
  EXPECT_EQ(barRows(upper.image(), 14), std::make_pair(-1, -1));
}

// Paging shifts the image, then erases the uncovered columns and draws their grid again; which
// columns and what goes in them is the paging test's.
TEST_F(LiveGraphWidgetTest, ShiftingMovesTheImageAndErasedColumnsGetTheirGrid) {
  for (int c = 0; c < 550; ++c) upper.drawBar(c, 79 - c % 50);
  const QImage before = upper.image();
  upper.shiftColumns(-96);
  upper.eraseColumns(454, 549);
  upper.drawGrid(454, 549);
  const QImage& after = upper.image();
  for (int c : {0, 200, 453})
    for (int y = 0; y < 160; ++y) ASSERT_EQ(after.pixel(c, y), before.pixel(c + 96, y)) << c;
  EXPECT_EQ(barRows(after, 500), std::make_pair(-1, -1));
  EXPECT_EQ(after.pixel(500, 15), kGrid);
}

// The outer labels are pushed inside, and the font shrinks with the graph: at any height the
// labels stay within the scale and never overlap.
TEST(AxisLabelWidgetTest, TheLabelsNeverOverlap) {
  AxisLabelWidget axis;
  for (int height : {100, 160, 700}) {
    SCOPED_TRACE(height);
    axis.resize(60, height);
    const auto rects = axis.labelRects();
    EXPECT_GE(rects.front().top(), 0);
    EXPECT_LE(rects.back().bottom(), height - 1);
    for (size_t i = 1; i < rects.size(); ++i) EXPECT_GT(rects[i].top(), rects[i - 1].bottom()) << i;
  }
}

}  // namespace
}  // namespace tidemet
