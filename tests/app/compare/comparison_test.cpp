#include "app/compare/comparison.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/session/monitor_menus.h"
#include "summary_text.h"
#include "tests/app/files/temp_folder.h"

namespace tidemet {
namespace {

using testing::SummaryPairBlock;
using testing::SummaryShape;
using testing::SummaryText;
using testing::TempFolder;
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
  std::string write(const std::string& name, const std::string& text) {
    const auto path = folder.path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  std::string strokeFile(const std::string& name, SummaryShape shape = {}) {
    if (shape.blocks.empty()) shape.blocks = {StrokeBlock()};
    return write(name, SummaryText(shape));
  }
  Cells cells(int row) const { return comparison.rows().at(row).cells; }

  TempFolder folder;
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
  SummaryShape otherClient;
  otherClient.client = "Bo Berg";
  SummaryShape otherPair;
  otherPair.pairStart = 2;
  otherPair.blocks = {StrokeBlock(2)};
  struct Case {
    std::string path;
    std::string firstLine;
  };
  const Case cases[] = {
      {write("trial.dat", "x"), "Only SUM files can be opened in the Comparison window."},
      {write("bad.sum", "not a summary\r\n"), "File: "},
      {strokeFile("bo.sum", otherClient), "File: "},
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
  write("a.sum", text);
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

}  // namespace
}  // namespace tidemet
