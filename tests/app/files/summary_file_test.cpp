#include "app/files/summary_file.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/analysis/recompute_analysis.h"
#include "app/files/client_entry.h"
#include "app/files/safe_file.h"
#include "app/files/summary_file_format.h"
#include "app/files/trial_file.h"
#include "temp_folder.h"
#include "tests/app/analysis/trace_builder.h"

namespace tidemet {
namespace {

using testing::MakeTrial;
using testing::TempFolder;
using testing::Trace;
using testing::WriteTrace;

class ScriptedComparison : public ComparisonSeam, public SummaryComparison {
 public:
  int fileCount() const override { return files; }
  void clear() override { files = 0; }
  bool openingIntoComparison() const override { return into; }
  bool firstFileIsV1SA() const override { return firstV1SA; }
  int files = 0;
  bool into = false;
  bool firstV1SA = false;
};

class SummaryFileTest : public ::testing::Test {
 protected:
  // Column 0: four strokes; column 1: two strokes and a rest (as the analysis tests).
  void SetUp() override {
    s = testing::TwoHandTrial();
    s->ClientName = s->DataClientName = "Ann Lee";
    s->PairLabel = "Hand";
    s->PairAreas[0] = 8;
    RecomputeAnalysis(*s, analyzer, alerts);
  }
  bool open(std::string_view bytes, const std::string& path = "/data/trial.sum") {
    return OpenSummaryBytes(*s, ctx, path, bytes, &comparison);
  }
  std::unique_ptr<Session> s;
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;
  ClientList clients{{MakeClientEntry("Ann Lee", "AL", "165", "58", "Kim"),
                      MakeClientEntry("Bo Berg", "BB", "180", "80", "Kim")}};
  ScriptedComparison comparison;
  SummaryFile summary{analyzer, alerts, &comparison};
  TrialFileContext ctx{alerts, clients, comparison, summary};
};

constexpr std::string_view kTwoChannelSummary =
    "\"Tidemet V5.6\",\"Ann Lee\",\"Hand\",0,8,1,400,1,4,3,1,2\r\n"
    "8,0,0,0,\"\",\"\",\"\",\"\",2,2,3,3,1,0\r\n"
    "0,3,1\r\n"
    "0.49,37.5,18.1,37,0.5,37.5,18.2,36.5,0.49,37.5,18.1,37,0.5,37.5,18.2,36.5\r\n"
    "0.5,37.5,18.2,36.5,0.5,37.5,18.2,36.5,0.5,37.5,18.2,36.5,2.49,37.5,93.1,37.4\r\n"
    "0.5,37.5,18.2,36.5,0.5,37.5,18.2,36.5,0,0,0,0,0,0,0,0\r\n"
    "0.5,37.5,18.2,36.5,0.49,37.5,18.1,37,0,0,0,0,0,0,0,0\r\n";

TEST_F(SummaryFileTest, TwoChannelTrialWritesItsPairAndRows) {
  EXPECT_EQ(SummaryFileBytes(*s, analyzer, alerts), kTwoChannelSummary);
}

// The file's client, when another, becomes current from the list.
TEST_F(SummaryFileTest, OpensStoredRowsAndShowsThemWithoutDetecting) {
  s->TrialData.fill(0);  // a summary brings no samples
  std::string bytes(kTwoChannelSummary);
  bytes.replace(bytes.find("Ann Lee"), 7, "Bo Berg");
  ASSERT_TRUE(open(bytes));
  EXPECT_EQ(s->ClientName, "Bo Berg");
  EXPECT_EQ(s->ClientHeight, "180");
  s->analysis.AnalysisMode = 1;
  RecomputeAnalysis(*s, analyzer, alerts);
  EXPECT_EQ(s->analysis.grids.rows[1][8], "93.1");  // impulse of the long dip, impulse mode
  EXPECT_TRUE(alerts.shown.empty());

  // A refused open keeps the summary in memory: its rows are still shown, not detected anew.
  EXPECT_FALSE(open("\"Tidemet V9.9\",\"Ann Lee\"\r\n", "/data/other.sum"));
  s->CurrentFileName = "/data/trial.sum";  // the file a failed open restores
  RecomputeAnalysis(*s, analyzer, alerts);
  EXPECT_EQ(s->analysis.grids.rows[1][8], "93.1");
}

TEST_F(SummaryFileTest, EightChannelTrialStoresOnlyConnectedPairs) {
  s = MakeTrial(8, 400);
  s->PlotThreshold = 1000;
  s->PairAreas = {8, 8, 8, 8};  // the stored pair is analysed with its own area
  s->SurfaceArea = 5;
  s->DataClientName = s->ClientName = "Ann Lee";
  for (int d = 0; d < 8; ++d) WriteTrace(*s, d, Trace().hold(1, -2000));  // stored 0 - 815
  WriteTrace(*s, 2, Trace().strokes(4, 50, 300, 50, 300));
  WriteTrace(*s, 3, Trace().strokes(4, 50, 300, 50, 300));
  RecomputeAnalysis(*s, analyzer, alerts);  // pair 1-2: nothing connected
  const std::string bytes = SummaryFileBytes(*s, analyzer, alerts);
  // The session's own pair, area and results are put back after writing.
  EXPECT_EQ(s->PairStartChannel, 0);
  EXPECT_EQ(s->SurfaceArea, 5);
  EXPECT_EQ(s->analysis.FirstPairReps, 0);

  // Opened with pair 1-2 current: no block, no results for it.
  ASSERT_TRUE(open(bytes));
  EXPECT_FALSE(s->analysis.SummaryHasResults);
  EXPECT_EQ(s->analysis.SummaryTable[0][1], 0.0f);
  // With pair 3-4 current the block is shown.
  s->PairStartChannel = 2;
  s->PairSecondChannel = 3;
  ASSERT_TRUE(open(bytes));
  EXPECT_TRUE(s->analysis.SummaryHasResults);
  EXPECT_EQ(s->analysis.FirstPairReps, 3);
  EXPECT_EQ(s->analysis.SummaryTable[1][2], 37.5f);
}

TEST(SummaryPairsTest, PairsFollowModelAndChannelCount) {
  // Model, channels, current pair start: the pairs stored.
  const std::tuple<int16_t, int16_t, int16_t, std::vector<int>> cases[] = {
      {23, 8, 4, {0, 2}}, {0, 2, 4, {4}}, {0, 4, 2, {0, 2}}, {0, 8, 6, {0, 2, 4, 6}}};
  for (const auto& [model, channels, pair, pairs] : cases) {
    auto s = std::make_unique<Session>();
    s->ModelCode = model;
    s->ChannelCount = channels;
    s->PairStartChannel = pair;
    EXPECT_EQ(SummaryPairs(*s), pairs) << model << " " << channels;
  }
}

TEST_F(SummaryFileTest, VersionOneHasNoPairSetupRecord) {
  s->PairAreas = {11, 12, 13, 14};
  s->PairJoints = {2, 2, 3, 3};
  s->JointAction = 2;
  const std::string v1 =
      "\"Tidemet V1SA\",\"Ann Lee\",\"Hand\",0,8,1,400,1,4,1,1,2\r\n"
      "0,1,0\r\n"
      "0.5,1,2,3,0.25,4,5,6,0.75,7,8,9,0.5,10,11,12\r\n"
      "0.5,1,2,3,0.25,4,5,6,0,0,0,0,0,0,0,0\r\n";
  ASSERT_TRUE(open(v1));
  EXPECT_EQ(s->PairAreas, (std::array<int16_t, 4>{11, 12, 13, 14}));
  EXPECT_EQ(s->JointAction, 0);
  EXPECT_EQ(s->PairJoints, (std::array<int16_t, 4>{0, 0, 3, 3}));
  EXPECT_EQ(s->analysis.SummaryTable[0][9], 0.75f);
}

TEST_F(SummaryFileTest, TruncatedSummaryKeepsRowsReadAndClearsTheRest) {
  const std::string full(kTwoChannelSummary);
  // Cut inside row 2: rows 0 and 1 are read, rows 2 and 3 stay cleared.
  const std::string cut =
      full.substr(0, full.find("0.5,37.5,18.2,36.5,0.5,37.5,18.2,36.5,0,0") + 20);
  s->analysis.SummaryTable[3][1] = 99;
  ASSERT_TRUE(open(cut));
  EXPECT_EQ(s->analysis.SummaryTable[1][15], 93.1f);
  EXPECT_EQ(s->analysis.SummaryTable[2][1], 0.0f);
  EXPECT_EQ(s->analysis.SummaryTable[3][1], 0.0f);
}

// `into`: 0 opened alone, 1 into the comparison, 2 into a comparison that began with a V1SA file.
TEST_F(SummaryFileTest, RefusalsAndTheirMessages) {
  auto v2 = [](const std::string& header) {
    return "\"Tidemet V5.6\",\"Ann Lee\",\"Hand\"," + header +
           "\r\n8,0,0,0,\"\",\"\",\"\",\"\",2,2,3,3,1,0\r\n0,0,0\r\n"
           "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n";
  };
  const std::string mismatch = "for /DATA/TRIAL.SUM";
  const std::tuple<std::string, int, std::string> cases[] = {
      {"\"Tidemet V5.3\",\"Ann Lee\",\"Hand\",0,8,1,400,1,4,3,1,2\r\n", 0,
       "is not an Tidemet Version 1.1, 2.X, or 3.X file"},
      {"\"Tidemet V1.1\",\"Bo Berg\",\"Hand\",0,8,1,400,1,4,3,1,2\r\n", 0,
       "contains data for Client: Bo Berg"},
      {v2("2,8,1,400,1,4,3,1,2"), 1, mismatch},
      {v2("0,8,2,400,1,4,3,1,2"), 1, mismatch},
      {v2("0,8,1,400,1,4,3,1,2"), 2, mismatch},
      {"\"Tidemet V5.6\",\"Ann Lee\",\"Hand\",0,8\r\n", 0, "is not a complete summary file"},
      {v2("0,8,1,400,1,4,3,1,99"), 0, "holds a summary header out of range"},
  };
  for (const auto& [bytes, into, secondLine] : cases) {
    SCOPED_TRACE(secondLine);
    alerts.shown.clear();
    comparison.into = into > 0;
    comparison.files = into > 0 ? 1 : 0;
    comparison.firstV1SA = into == 2;
    const float seconds = s->TrialSeconds;
    EXPECT_FALSE(open(bytes));
    EXPECT_EQ(s->OpenFailed, 1);
    EXPECT_EQ(s->TrialSeconds, seconds);  // nothing taken from a refused file
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_NE(alerts.shown[0].text.find("\r\n" + secondLine + "\r\n"), std::string::npos)
        << alerts.shown[0].text;
  }
}

// An 8-channel summary of two pairs, the second cut short.
constexpr std::string_view kTwoPairSummary =
    "\"Tidemet V5.6\",\"Ann Lee\",\"Hand\",0,8,1,400,1,4,1,1,8\r\n"
    "8,8,0,0,\"Hand\",\"Foot\",\"\",\"\",2,2,3,3,1,0\r\n"
    "0,1,0\r\n"
    "0.5,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\r\n"
    "0.25,1,2,3,4,5,6,7,0,0,0,0,0,0,0,0\r\n"
    "2,2,1\r\n"
    "1,1,1,1,1,1,1,1,2,2,2,2,2,2,2,2\r\n";

TEST_F(SummaryFileTest, ASummarySavedAgainKeepsEveryStoredRow) {
  TempFolder folder;
  const auto first = folder.path() / "first.sum";
  ASSERT_FALSE(WriteFileAtomically(first, kTwoPairSummary));
  ASSERT_TRUE(OpenTrialFile(*s, ctx, first.string()));
  // Saved again, and saved once more from its new name: the same rows each time.
  for (const char* name : {"second.sum", "third.SUM"}) {
    const auto target = folder.path() / name;
    ASSERT_TRUE(SaveTrialFile(*s, ctx, target.string())) << name;
    EXPECT_EQ(ReadWholeFile(target, kLargestSummaryFileBytes), kTwoPairSummary) << name;
  }
  // A summary holds no samples for a data file.
  const auto dat = folder.path() / "fourth.dat";
  EXPECT_FALSE(SaveTrialFile(*s, ctx, dat.string()));
  EXPECT_NE(
      alerts.shown.back().text.find("could not be saved: the trial comes from a summary file"),
      std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "fourth.sum"));

  // A new recording is analysed again, even under the name the summary had.
  s->CurrentFileName.clear();
  WriteTrace(*s, 0, Trace().strokes(4, 50, 300, 50, 300));
  ASSERT_TRUE(SaveTrialFile(*s, ctx, (folder.path() / "third.SUM").string()));
  EXPECT_NE(ReadWholeFile(folder.path() / "third.SUM", kLargestSummaryFileBytes), kTwoPairSummary);
  ASSERT_TRUE(SaveTrialFile(*s, ctx, dat.string()));
}

}  // namespace
}  // namespace tidemet
