#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

#include "app/files/list_files.h"
#include "app/files/safe_file.h"
#include "app/files/trial_file.h"
#include "app/files/trial_file_format.h"
#include "cli_commands.h"
#include "run_tool.h"
#include "json_writer.h"
#include "tests/app/analysis/trace_builder.h"
#include "tests/app/files/temp_folder.h"
#include "tests/app/files/trial_file_builder.h"

namespace tidemet::cli {
namespace {

using tidemet::testing::MakeTrial;
using tidemet::testing::TempFolder;
using tidemet::testing::Trace;
using tidemet::testing::WriteTrace;

class CliTest : public ::testing::Test {
 protected:
  // Column 0: four strokes of 300 counts; column 1: two strokes and a long rest; 100 samples a
  // second, 10 sq cm, model 0 (0.00976 N per count): 29.28 N per 300 counts.
  void SetUp() override {
    auto s = MakeTrial(2, 400);
    s->DataClientName = "Ann Lee";
    s->PairLabel = "Hand";
    s->SurfaceArea = 10;
    s->PairAreas = {10, 10, 10, 10};
    s->GraphGain = 1.0f;
    s->ClientHeight = "165";
    s->ClientWeight = "58 ";
    WriteTrace(*s, 0, Trace().strokes(4, 50, 300, 50, 300));
    WriteTrace(*s, 1, Trace().strokes(2, 50, 300, 50, 300).hold(200, -300));
    dat = path("visit.dat");
    ASSERT_FALSE(WriteFileAtomically(dat, TrialFileBytes(*s)));
  }
  std::string path(const char* name) { return (folder.path() / name).string(); }
  TempFolder folder;
  std::string dat;
};

TEST_F(CliTest, InfoPrintsTheTrialRecord) {
  const Result r = RunTool({"info", dat});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"DataVersionTag\":\"Tidemet V5.6\",\"DataClientName\":\"Ann Lee\",\"PairLabel\":\"Hand\","
            "\"PairStartChannel\":0,\"GraphGain\":1,\"SurfaceArea\":10,\"LimbMode\":1,\"SampleCount\":400,"
            "\"CalibrationFactor\":1,\"TrialSeconds\":4,\"ChannelCount\":2,"
            "\"BaselineOffsets\":[0,0,0,0,0,0,0,0],\"Comments\":\"\",\"JointAction\":1,"
            "\"PairJoints\":[2,2,3,3],\"PairAreas\":[10,10,10,10],\"PairLabels\":[\"\",\"\",\"\",\"\"],"
            "\"SwimFlag\":0,\"SwimDistance\":0,\"RecordedUnitsFlag\":1,\"RecordedModelCode\":0,"
            "\"ClientHeight\":\"165\",\"ClientWeight\":\"58 \"}\n");
}

TEST_F(CliTest, AnalyzePrintsTheRepetitionsOfThePair) {
  const Result r = RunTool({"analyze", dat, "--mode", "impulse"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& o = r.out;
  EXPECT_EQ(o.rfind("{\"file\":\"" + dat + "\",\"pair\":[0,1],\"units\":\"metric\",\"mode\":\"impulse\","
                    "\"ExerciseMode\":1,\"SwimDistance\":0,\"FirstPairReps\":3,\"SecondPairReps\":1,"
                    "\"MostReps\":3,\"SummaryTable\":[[0.49,29.3,14.2,",
                    0),
            0u)
      << o;
  // Impulse of a 300-count push: 0.0976 x 14600 x 0.01 = 14.25 -> 14.2; the long dip 72.7.
  EXPECT_NE(o.find("[\"1\",\"0.50\",\"14.2\",\"0.50\",\"14.2\",\"0.50\",\"14.2\",\"2.49\",\"72.7\"]"),
            std::string::npos);
  EXPECT_NE(o.find("\"labels\":[\"Reps 1-1\",\"Reps 2-2\",\"% Change\",\"Reps 1-2\"]"), std::string::npos);
  EXPECT_NE(o.find("\"swim\":{\"shown\":false,\"line\":\"\",\"StrokeCount\":"), std::string::npos);
  EXPECT_NE(o.find("\"alerts\":[]}\n"), std::string::npos);

  const Result us = RunTool({"analyze", dat, "--units", "us", "--format", "text"});
  ASSERT_EQ(us.status, 0);
  EXPECT_NE(us.out.find("pair 1-2, us, Peak Force       (lbs)"), std::string::npos) << us.out;
}

TEST_F(CliTest, RefusedFilesSayWhyAndTheOthersGoOn) {
  tidemet::testing::FileHeader h;
  h.tag = "Tidemet V5.3";
  const std::string bad = path("bad.dat");
  ASSERT_FALSE(WriteFileAtomically(bad, tidemet::testing::BuildV1Part(h).bytes));
  const Result r = RunTool({"analyze", bad, dat});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "File: " + UpperPath(bad) + "\nis not an Tidemet Version 1.1, 2.X, or 3.X file\n"
                   "and cannot be opened with this program.\n");
  EXPECT_NE(r.out.find("\"FirstPairReps\":3"), std::string::npos);
  EXPECT_EQ(RunTool({"info", path("missing.sum")}).status, 1);
}

TEST_F(CliTest, VersionOneFileOfAnotherClientOpens) {
  tidemet::testing::FileHeader h;
  h.tag = "Tidemet V1.1";
  h.client = "Zoe Park";
  const std::string v1 = path("old.dat");
  ASSERT_FALSE(WriteFileAtomically(v1, tidemet::testing::BuildV1Part(h).bytes));
  const Result r = RunTool({"analyze", v1});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(CliTest, ExportPrintsTheSampleForces) {
  const Result raw = RunTool({"export", dat});
  ASSERT_EQ(raw.status, 0) << raw.err;
  std::istringstream lines(raw.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 402u);  // header and samples 0..400
  EXPECT_EQ(rows[0], "Counter\tTime\tCh1/LHand\tCh2/RHand");
  EXPECT_EQ(rows[2], "1\t0.01\t29.3\t29.3");
  EXPECT_EQ(rows[51], "50\t0.5\t-29.3\t-29.3");

  const Result smooth = RunTool({"export", dat, "--smoothed"});
  ASSERT_EQ(smooth.status, 0);
  std::istringstream slines(smooth.out);
  rows.clear();
  for (std::string line; std::getline(slines, line);) rows.push_back(line);
  // Plotted values -221, -221, 379 smooth to -21: (79 + 21) x 0.0976 = 9.76.
  EXPECT_EQ(rows[51], "50\t0.5\t9.8\t9.8");
  EXPECT_EQ(rows[53], "52\t0.52\t-29.3\t-29.3");
}

TEST_F(CliTest, ResaveWritesDataAndSummaryThatAnalyseAlike) {
  const std::string out = path("copy.dat");
  ASSERT_EQ(RunTool({"resave", dat, out}).status, 0);
  ASSERT_TRUE(std::filesystem::exists(path("copy.sum")));
  const Result fromDat = RunTool({"analyze", out});
  const Result fromSum = RunTool({"analyze", path("copy.sum")});
  ASSERT_EQ(fromSum.status, 0) << fromSum.err;
  auto table = [](const std::string& o) {
    const size_t a = o.find("\"SummaryTable\"");
    return o.substr(a, o.find("\"grid\"") - a);
  };
  EXPECT_EQ(table(fromDat.out), table(fromSum.out));
  const Result info = RunTool({"info", path("copy.sum")});
  EXPECT_NE(info.out.find("\"DataVersionTag\":\"Tidemet V5.6\",\"DataClientName\":\"Ann Lee\""),
            std::string::npos);
}

// Files that are not trial files, or whose read fails, are refused with the system's reason and
// exit 1; the tool never aborts or waits.
TEST_F(CliTest, FilesThatCannotBeReadAreRefused) {
  std::filesystem::create_symlink("/proc/self/mem", path("failing.dat"));
  ASSERT_EQ(::mkfifo(path("pipe.sum").c_str(), 0600), 0);
  const struct {
    std::string file, reason;
  } cases[] = {{path("failing.dat"), "cannot be read: Input/output error."},
               {path("pipe.sum"), "is not a regular file."},
               {folder.path().string() + "/", "is a folder."}};
  for (const auto& c : cases) {
    for (const char* command : {"info", "analyze"}) {
      const Result r = RunTool({command, c.file});
      EXPECT_EQ(r.status, 1) << command << " " << c.file;
      EXPECT_EQ(r.err, "File: " + UpperPath(c.file) + "\n" + c.reason + "\nand cannot be opened with this program.\n")
          << command;
    }
  }
}

TEST_F(CliTest, ASummarySavedAgainKeepsItsResultsAndHoldsNoSamples) {
  ASSERT_EQ(RunTool({"resave", dat, path("first.dat")}).status, 0);
  const auto stored = ReadWholeFile(path("first.sum"), 1 << 20);
  ASSERT_TRUE(stored);
  ASSERT_NE(stored->find("\r\n0,3,1\r\n"), std::string::npos) << *stored;  // three and one repetitions
  for (const char* name : {"second.sum", "third.sum"}) {
    const Result r = RunTool({"resave", name == std::string("second.sum") ? path("first.sum") : path("second.sum"),
                              path(name)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(path(name), 1 << 20), stored) << name;
  }
  const Result toData = RunTool({"resave", path("first.sum"), path("fourth.dat")});
  EXPECT_EQ(toData.status, 1);
  EXPECT_NE(toData.err.find("holds no samples"), std::string::npos) << toData.err;
  EXPECT_FALSE(std::filesystem::exists(path("fourth.dat")));
}

TEST_F(CliTest, AReadOnlyTargetIsReplacedOnlyWithForce) {
  ASSERT_EQ(RunTool({"resave", dat, path("kept.sum")}).status, 0);
  ASSERT_EQ(::chmod(path("kept.sum").c_str(), 0444), 0);
  const auto before = ReadWholeFile(path("kept.sum"), 1 << 20);
  const Result refused = RunTool({"resave", dat, path("kept.dat")});  // its summary is read-only
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "tidemet-cli: " + path("kept.sum") + " is read-only; --force replaces it\n");
  EXPECT_FALSE(std::filesystem::exists(path("kept.dat")));
  EXPECT_EQ(RunTool({"resave", dat, path("kept.dat"), "--force"}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(path("kept.dat")));
  EXPECT_EQ(ReadWholeFile(path("kept.sum"), 1 << 20), before);  // the same trial's summary
}

TEST_F(CliTest, AFileNameThatIsNotUtf8StaysValidJson) {
  const std::string odd = path("caf\xe9 \xff.dat");
  std::filesystem::copy_file(dat, odd);
  const Result r = RunTool({"analyze", odd});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("caf\\ufffd \\ufffd.dat\""), std::string::npos) << r.out.substr(0, 300);
  EXPECT_EQ(JsonQuote("\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8a"), "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8a\"");
  EXPECT_EQ(JsonQuote("\xc0\xaf\xed\xa0\x80\xe2\x82"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\"");
}

TEST(CliUsageTest, WrongUsageGivesTwoAndHelpGivesZero) {
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"frobnicate"}, {"analyze"}, {"analyze", "a.dat", "--pair", "23"},
      {"analyze", "a.dat", "--smoothed"}, {"export", "a.dat", "--mode", "peak"},
      {"resave", "a.dat"}, {"analyze", "a.dat", "--units"}, {"info", "a.dat", "--bogus"},
      {"simulate", "--model", "7", "--seconds", "5", "--out", "a.dat"},
      {"simulate", "--model", "0", "--out", "a.dat"},
      {"simulate", "--model", "0", "--seconds", "five", "--out", "a.dat"},
      {"simulate", "--model", "0", "--seconds", "5"},
      {"simulate", "--model", "0", "--seconds", "5", "--out", "a.dat", "--channels", "3"},
      {"simulate", "a.dat"}};
  for (const auto& args : wrong) {
    const Result r = RunTool(args);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(r.err.find("usage: tidemet-cli"), std::string::npos);
  }
  for (const char* command : {"info", "analyze", "export", "resave", "simulate"}) {
    const Result r = RunTool({command, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind(std::string("usage: tidemet-cli ") + command, 0), 0u);
  }
  EXPECT_EQ(RunTool({"--help"}).status, 0);
}

}  // namespace
}  // namespace tidemet::cli

namespace tidemet::cli {
namespace {

TEST_F(CliTest, WorkingFolderListsChooseSettingsAndClient) {
  // An empty folder is a first start.
  const std::string lists = path("lists");
  std::filesystem::create_directory(lists);
  EXPECT_EQ(RunTool({"analyze", dat, "--working-folder", lists}).status, 0);
  // The lists a first start writes.
  ASSERT_FALSE(EnsureListFiles(lists));
  const Result r = RunTool({"analyze", dat, "--working-folder", lists});
  EXPECT_EQ(r.status, 0) << r.err;
  // A damaged list is reported and the file is not analysed.
  ASSERT_FALSE(WriteFileAtomically(std::filesystem::path(lists) / "client.lst", "\"unclosed"));
  const Result bad = RunTool({"analyze", dat, "--working-folder", lists});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("client.lst"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace tidemet::cli

namespace tidemet::cli {
namespace {

// A simulated recording is saved with its summary, and the analyser finds the strokes the demo
// unit made: 40 a minute after one second of rest, the right arm half a stroke behind.
TEST(CliSimulateTest, AnalyzeFindsTheSimulatedStrokes) {
  TempFolder folder;
  const std::string path = (folder.path() / "demo.dat").string();
  const Result made = RunTool({"simulate", "--model", "0", "--seconds", "31", "--out", path,
                               "--seed", "5", "--stroke-rate", "40"});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out.rfind("recorded 3100 readings (3099 samples per channel", 0), 0u) << made.out;
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "demo.sum"));

  const Result analysed = RunTool({"analyze", path});
  ASSERT_EQ(analysed.status, 0) << analysed.err;
  // 30 s of strokes at 40 a minute: 20 strokes, the last one cut by the stop on the right.
  EXPECT_NE(analysed.out.find("\"FirstPairReps\":19"), std::string::npos) << analysed.out.substr(0, 400);
  EXPECT_NE(analysed.out.find("\"SecondPairReps\":19"), std::string::npos) << analysed.out.substr(0, 400);
  EXPECT_NE(made.out.find("; the analysis finds 19 and 19 repetitions on channels 1 and 2"), std::string::npos)
      << made.out;
  EXPECT_EQ(made.err, "");
}

// Strokes faster than the analysis parts are refused; a trial without a whole stroke says so.
TEST(CliSimulateTest, WhatTheAnalysisCannotPartIsRefusedOrToldSo) {
  TempFolder folder;
  const std::string path = (folder.path() / "fast.dat").string();
  const Result fastest = RunTool({"simulate", "--model", "0", "--seconds", "20", "--out", path, "--stroke-rate", "97", "--seed", "3"});
  ASSERT_EQ(fastest.status, 0) << fastest.err;
  EXPECT_NE(fastest.out.find("finds 29 and 29 repetitions"), std::string::npos) << fastest.out;
  const Result tooFast = RunTool({"simulate", "--model", "0", "--seconds", "20", "--out", path, "--stroke-rate", "100"});
  EXPECT_EQ(tooFast.status, 2);
  EXPECT_EQ(tooFast.err.rfind("tidemet-cli: --stroke-rate takes 1 to 97 strokes a minute; the analysis cannot "
                              "part faster strokes\n", 0), 0u) << tooFast.err;
  const Result shortTrial = RunTool({"simulate", "--model", "0", "--seconds", "1", "--out", path});
  ASSERT_EQ(shortTrial.status, 0) << shortTrial.err;
  EXPECT_EQ(shortTrial.err, "tidemet-cli: the analysis finds no repetitions in this trial\n");
}

}  // namespace
}  // namespace tidemet::cli
