#include "app/analysis/performance_report.h"

#include <gtest/gtest.h>

#include "app/analysis/recompute_analysis.h"
#include "trace_builder.h"

namespace tidemet {
namespace {

using testing::MakeTrial;
using testing::Trace;
using testing::WriteTrace;

std::unique_ptr<Session> AnalysedTrial(int strokes) {
  auto s = MakeTrial(2, strokes * 100);
  WriteTrace(*s, 0, Trace().strokes(strokes, 50, 300, 50, 300));
  WriteTrace(*s, 1, Trace().strokes(strokes, 50, 300, 50, 300));
  s->CurrentFileName = "/data/js0101.dat";
  s->ClientName = "Jones, Sam";
  s->InstitutionLines = {"Harbour Clinic", "1 Quay St", "Leeds", "WY", "LS1 4AB", "0113 555 0101"};
  s->PairLabel = "Hands";
  testing::Analyse(*s);
  return s;
}

TEST(ReportLayoutTest, TabPlacesTextAtPrintColumnsOrOnTheNextLine) {
  ReportLines out;
  out.tab(5, "ab").tab(10, "cd").end();
  out.text("0123456789").tab(6, "x").end();
  out.blank();
  EXPECT_EQ(out.take(), (std::vector<std::string>{"    ab   cd", "0123456789", "     x", ""}));
  EXPECT_EQ(ReportCell("  1.5", 6), "   1.5");
  EXPECT_EQ(ReportCell("1234567", 6), "1234567");
}

TEST(ReportLayoutTest, CommentsBreakAtBlanks) {
  struct Case {
    std::string text;
    int width;
    std::vector<std::string> lines;
  } cases[] = {
      {"good pull on the left hand", 10, {"good pull", "on the", "left hand"}},
      {"abcdefghijkl mn", 5, {"abcde", "fghij", "kl mn"}},
      {"first\r\n\r\nsecond", 20, {"first", "", "second"}},
      {"  spaced   out  ", 20, {"spaced out"}},
  };
  for (const Case& c : cases) EXPECT_EQ(WrapAtBlanks(c.text, c.width), c.lines) << c.text;
}

TEST(PerformanceReportTest, FortyRepetitionsGiveTwoPagesWithMeansAndCommentsLast) {
  auto s = AnalysedTrial(40);
  s->Comments = std::string(70, 'a') + " " + std::string(20, 'b');
  ASSERT_EQ(s->analysis.MostReps, 39);
  const ReportDocument doc = PerformanceReport(*s, "12-07-2026");
  ASSERT_EQ(doc.pages.size(), 2u);
  const auto& p1 = doc.pages[0].lines;
  EXPECT_EQ(p1[4], std::string(30, ' ') + "Performance Report");
  EXPECT_EQ(p1[11], "Leeds, WY LS1 4AB");
  EXPECT_EQ(p1[13], "Client: Jones, Sam" + std::string(41, ' ') + "Page: 1");
  EXPECT_EQ(p1[14], "Filename: JS0101.DAT" + std::string(39, ' ') + "File date: 12-07-2026");
  EXPECT_EQ(p1[15], "Trial time: 40 sec");
  // The heading and the first repetition row.
  EXPECT_EQ(p1[20].substr(0, 24), "Rep      Time     Peak F");
  EXPECT_EQ(p1[23],
            "   0       0.49     37.5     0.50     37.5     0.49     37.5     0.50     37.5");
  EXPECT_EQ(p1.back().substr(0, 4), "  35");
  EXPECT_EQ(p1.size(), 23u + 36u);

  const auto& p2 = doc.pages[1].lines;
  EXPECT_EQ(p2[13], "Client: Jones, Sam" + std::string(41, ' ') + "Page: 2");
  EXPECT_EQ(p2[26].substr(0, 4), "  39");
  // The means name their repetition ranges; a long label pushes its values to the next line.
  EXPECT_EQ(p2[28], "1stHalf 1-19");
  EXPECT_EQ(p2[29],
            "           0.50     37.5     0.50     37.5     0.50     37.5     0.50     37.5");
  EXPECT_EQ(p2[32], "Overall 1-38");
  EXPECT_EQ(p2[34].substr(0, 12), "%Change    0");
  EXPECT_EQ(p2[37], "Comments:");
  EXPECT_EQ(p2[39], std::string(70, 'a'));
  EXPECT_EQ(p2[40], std::string(20, 'b'));
  EXPECT_EQ(p2.size(), 41u);
}

TEST(PerformanceReportTest, SwimmingTrialPrintsItsFiguresInYards) {
  auto s = testing::FreestyleTrial();
  testing::Analyse(*s);
  const auto lines = PerformanceReport(*s, "").pages.back().lines;
  auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("Swimming Velocity = 2.75 yds/sec")) << ReportPlainText({{{lines}}});
  EXPECT_TRUE(has("Stroke Length = 2.75 yds/stroke"));
  // The negative force columns of a swimming stroke stay empty.
  EXPECT_EQ(lines[23].size(), 69u);
}

TEST(PerformanceReportTest, OverlongCommentsContinueOnAFurtherPage) {
  auto s = AnalysedTrial(36);
  std::string words;
  for (int i = 0; i < 60; ++i) words += "word" + std::to_string(i) + " ";
  for (int i = 0; i < 40; ++i) s->Comments += words.substr(0, 70) + "\r\n";
  const ReportDocument doc = PerformanceReport(*s, "");
  ASSERT_EQ(doc.pages.size(), 2u);
  for (const auto& page : doc.pages) EXPECT_LE(page.lines.size(), size_t(kReportPageLines));
  EXPECT_EQ(doc.pages[1].lines[13].substr(59), "Page: 2");
  EXPECT_EQ(std::count(doc.pages[0].lines.begin(), doc.pages[0].lines.end(), "Comments:") +
                std::count(doc.pages[1].lines.begin(), doc.pages[1].lines.end(), "Comments:"),
            1);
}

TEST(ComparisonReportTest, HeadingAndRowsOfTheComparedFiles) {
  auto s = AnalysedTrial(4);
  std::vector<GridRow> rows{{"12-01-26", "0.5", "37.5", "0.49", "37.5", "", "", "", ""}};
  const auto lines = ComparisonReport(*s, "Overall", rows).pages.at(0).lines;
  EXPECT_EQ(lines[4], std::string(30, ' ') + "Comparison Report");
  EXPECT_EQ(lines[13], "Client: Jones, Sam" + std::string(51, ' ') + "Page: 1");
  EXPECT_EQ(lines[14], "Means: Overall");
  EXPECT_EQ(lines[20].substr(0, 9), "  Date   ");
  EXPECT_EQ(lines[22], "12-01-26    0.5     37.5     0.49     37.5");
}

}  // namespace
}  // namespace tidemet
