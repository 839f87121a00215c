#include "app/compare/comparison.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/compare/chart_series.h"
#include "app/session/monitor_menus.h"
#include "summary_text.h"
#include "tests/app/session/list_folder.h"

namespace tidemet {
namespace {

using testing::SummaryPairBlock;
using testing::SummaryShape;
using testing::SummaryText;
using Cells = std::array<std::string, 8>;

// The second column has three repetitions only.
SummaryPairBlock StrokeBlock(int pairStart = 0, double shift = 0) {
  return testing::RisingBlock(pairStart, shift, 2);
}

class ComparisonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shared.ClientName = "Ann Lee";
    shared.analysis.AnalysisMode = 0;
  }
  std::string strokeFile(const std::string& name, SummaryShape shape = {}) {
    if (shape.blocks.empty()) shape.blocks = {StrokeBlock()};
    return folder.write(name, SummaryText(shape));
  }
  Cells cells(int row) const { return comparison.rows().at(row).cells; }

  testing::ListFolder folder;
  Session shared;
  RecordingAlerts alerts;
  Comparison comparison{[](const std::string&) { return std::string("12/07/2026 03:17:49"); }};
};

TEST_F(ComparisonTest, EachKindOfMeanInEachModeAndUnit) {
  // An unsaved recording stays in memory while files are added and read again.
  shared.CurrentFileName = "/data/unsaved.dat";
  shared.SampleCount = 321;
  ASSERT_TRUE(comparison.add(shared, alerts, strokeFile("a.sum")));
  struct Case {
    int kind, mode, units;
    Cells expected;
  };
  // The second column has three repetitions: its cells stay empty in every case.
  const Case cases[] = {
      {kOverallMeans, 0, 1, {"0.75", "25.0", "0.40", "15.0", "", "", "", ""}},
      {kFirstHalfMeans, 0, 1, {"0.65", "15.0", "0.40", "17.0", "", "", "", ""}},
      {kSecondHalfMeans, 0, 1, {"0.85", "35.0", "0.40", "13.0", "", "", "", ""}},
      {kPercentChange, 0, 1, {"+31   ", "+133  ", "0   ", "-24  ", "", "", "", ""}},
      {kOverallMeans, 1, 1, {"0.75", "3.5", "0.40", "0.0", "", "", "", ""}},
      // A first half mean of 0 leaves the change empty.
      {kPercentChange, 1, 1, {"+31   ", "+80  ", "0   ", "", "", "", "", ""}},
      {kOverallMeans, 2, 1, {"0.75", "5.0", "0.40", "3.0", "", "", "", ""}},
      // Forces stored in newtons shown in pounds: each value RoundEven(v x 10 / 4.45) first.
      {kOverallMeans, 0, 0, {"0.75", "5.6", "0.40", "3.4", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    SwitchUnits(shared, c.units == 1);
    shared.analysis.AnalysisMode = static_cast<int16_t>(c.mode);
    comparison.setMeanKind(shared, c.kind);
    EXPECT_EQ(cells(0), c.expected) << "kind " << c.kind << " mode " << c.mode;
  }
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(shared.CurrentFileName, "/data/unsaved.dat");
  EXPECT_EQ(shared.SampleCount, 321);
}

TEST_F(ComparisonTest, TheSixteenthFileIsRefusedUntilARowIsDeleted) {
  for (int i = 1; i <= 15; ++i)
    ASSERT_TRUE(comparison.add(shared, alerts, strokeFile("v" + std::to_string(i) + ".sum")));
  const std::string extra = strokeFile("extra.sum");
  EXPECT_FALSE(comparison.add(shared, alerts, extra));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text, "A maximum of 15 files can be displayed.");
  EXPECT_EQ(comparison.fileCount(), 15);

  comparison.remove(1);  // V2.SUM: the rows below move up and are numbered again
  ASSERT_EQ(comparison.fileCount(), 14);
  EXPECT_EQ(comparison.grid()[1][0], "2");
  EXPECT_EQ(comparison.grid()[1][1], "V3.SUM");
  EXPECT_TRUE(comparison.add(shared, alerts, extra));
  EXPECT_EQ(comparison.grid().back()[0], "15");
  EXPECT_EQ(comparison.grid().back()[1], "EXTRA.SUM");
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(ComparisonTest, RefusedFilesAreNotAdded) {
  ASSERT_TRUE(comparison.add(shared, alerts, strokeFile("first.sum")));
  // The summary's own refusals (another client, another pair) are the summary file's.
  SummaryShape otherPair;
  otherPair.pairStart = 2;
  otherPair.blocks = {StrokeBlock(2)};
  struct Case {
    std::string path;
    std::string firstLine;
  };
  const Case cases[] = {
      {folder.write("trial.dat", "x"), "Only SUM files can be opened in the Comparison window."},
      {folder.write("bad.sum", "not a summary\r\n"), "File: "},
      {strokeFile("pair.sum", otherPair), "Resistive surface or joint action"},
  };
  for (const Case& c : cases) {
    alerts.shown.clear();
    EXPECT_FALSE(comparison.add(shared, alerts, c.path)) << c.path;
    ASSERT_EQ(alerts.shown.size(), 1u) << c.path;
    EXPECT_EQ(alerts.shown[0].text.substr(0, c.firstLine.size()), c.firstLine) << c.path;
    EXPECT_EQ(comparison.fileCount(), 1);
  }
  EXPECT_NE(alerts.shown[0].text.find("does not match with above file(s)."), std::string::npos);
}

TEST_F(ComparisonTest, AFileGoneMissingIsShownUnreadAndReadOnceBack) {
  const std::string path = strokeFile("a.sum");
  ASSERT_TRUE(comparison.add(shared, alerts, path));
  const std::string text = SummaryText({.blocks = {StrokeBlock()}});
  std::filesystem::remove(path);
  comparison.rebuild(shared);
  EXPECT_FALSE(comparison.rows()[0].read);
  EXPECT_EQ(comparison.rows()[0].date, "(unread)");
  EXPECT_EQ(cells(0), Cells{});
  folder.write("a.sum", text);
  comparison.rebuild(shared);
  EXPECT_TRUE(comparison.rows()[0].read);
  EXPECT_EQ(cells(0)[1], "25.0");
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(ComparisonTest, CopyAndReportHoldOneLinePerFile) {
  ASSERT_TRUE(comparison.add(shared, alerts, strokeFile("a.sum")));
  EXPECT_EQ(comparison.clipText(shared),
            "\tFile\tDate\tFlexion (sec)\tPeak F (N)\tExtension (sec)\tPeak F (N)\t"
            "Flexion (sec)\tPeak F (N)\tExtension (sec)\tPeak F (N)\r"
            "1\tA.SUM\t12/07/2026 03:17:49\t0.75\t25.0\t0.40\t15.0\t\t\t\t");
  const std::string text = ReportPlainText(comparison.report(shared));
  EXPECT_NE(text.find("\n12/07/26   0.75     25.0     0.40     15.0\n"), std::string::npos) << text;
}

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
