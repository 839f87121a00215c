// tidemet-cli run in-process on a trial file: column 0 four strokes of 300 counts, column 1 two
// strokes and a long rest; 100 samples a second, 10 sq cm, model 0 (0.00976 N per count): 29.28 N
// per 300 counts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "app/files/list_files.h"
#include "app/files/safe_file.h"
#include "app/files/trial_file.h"
#include "cli_args.h"
#include "cli_commands.h"
#include "json_writer.h"
#include "tests/app/analysis/trace_builder.h"
#include "tests/app/files/temp_folder.h"
#include "tests/app/files/trial_file_builder.h"

namespace tidemet::cli {
namespace {

using tidemet::testing::TempFolder;

struct Result {
  int status;
  std::string out, err;
};

Result RunTool(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunCli(ParseArgs(args), out, err);
  return {status, out.str(), err.str()};
}

size_t linesIn(const std::string& text) { return std::ranges::count(text, '\n'); }

std::string contents(const std::string& path) {
  return ReadWholeFile(path, 1 << 20).value_or("<unreadable>");
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto s = tidemet::testing::TwoHandTrial();
    s->DataClientName = "Ann Lee";
    s->PairLabel = "Hand";
    s->SurfaceArea = 10;
    s->PairAreas = {10, 10, 10, 10};
    s->GraphGain = 1.0f;
    s->ClientHeight = "165";
    s->ClientWeight = "58 ";
    ASSERT_FALSE(WriteFileAtomically(dat, TrialFileBytes(*s)));
  }
  std::string path(const char* name) const { return (folder.path() / name).string(); }
  TempFolder folder;
  std::string dat = path("visit.dat");
};

TEST_F(CliTest, InfoPrintsTheTrialRecord) {
  const Result r = RunTool({"info", dat});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      r.out,
      "{\"DataVersionTag\":\"Tidemet V5.6\",\"DataClientName\":\"Ann Lee\",\"PairLabel\":\"Hand\","
      "\"PairStartChannel\":0,\"GraphGain\":1,\"SurfaceArea\":10,\"LimbMode\":1,\"SampleCount\":"
      "400,\"CalibrationFactor\":1,\"TrialSeconds\":4,\"ChannelCount\":2,"
      "\"BaselineOffsets\":[0,0,0,0,0,0,0,0],\"Comments\":\"\",\"JointAction\":1,"
      "\"PairJoints\":[2,2,3,3],\"PairAreas\":[10,10,10,10],\"PairLabels\":[\"\",\"\",\"\",\"\"],"
      "\"SwimFlag\":0,\"SwimDistance\":0,\"RecordedUnitsFlag\":1,\"RecordedModelCode\":0,"
      "\"ClientHeight\":\"165\",\"ClientWeight\":\"58 \"}\n");
}

TEST_F(CliTest, AnalyzePrintsTheRepetitionsOfThePair) {
  const Result r = RunTool({"analyze", dat, "--mode", "impulse"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& o = r.out;
  EXPECT_EQ(o.rfind("{\"file\":\"" + dat +
                        "\",\"pair\":[0,1],\"units\":\"metric\",\"mode\":\"impulse\","
                        "\"ExerciseMode\":1,\"SwimDistance\":0,\"FirstPairReps\":3,"
                        "\"SecondPairReps\":1,\"MostReps\":3,\"SummaryTable\":[[0.49,29.3,14.2,"
                        "28.9,0.5,29.3,14.2,28.5,0.49,29.3,14.2,28.9,0.5,29.3,14.2,28.5],[",
                    0),
            0u)
      << o;
  // The table holds rows 0 to MostReps: four with three repetitions.
  const size_t table = o.find("\"SummaryTable\":[");
  const std::string rows = o.substr(table, o.find("]],\"grid\"", table) - table);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '['), 1 + 4) << rows;
  EXPECT_NE(o.find("\"2.49\",\"72.7\"]"), std::string::npos);  // the grid's rows
  EXPECT_NE(o.find("\"alerts\":[]}\n"), std::string::npos);
}

// Every column of every row the text form prints, with its width.
TEST_F(CliTest, AnalyzeTextPrintsEveryColumnOfEveryRow) {
  const Result r =
      RunTool({"analyze", dat, "--format", "text", "--mode", "impulse", "--pair", "12"});
  ASSERT_EQ(r.status, 0) << r.err;
  // Impulse of a 300-count push: 0.0976 x 14600 x 0.01 = 14.25 -> 14.2; the long dip 72.7.
  EXPECT_EQ(
      r.out,
      dat +
          "\n"
          "pair 1-2, metric,   Impulse        (N*sec), exercise mode 1\n"
          "repetitions: 3 and 1 (most 3)\n\n"
          "   0     0.49     14.2     0.50     14.2     0.49     14.2     0.50     14.2\n"
          "   1     0.50     14.2     0.50     14.2     0.50     14.2     2.49     72.7\n"
          "   2     0.50     14.2     0.50     14.2                                    \n"
          "   3     0.50     14.2     0.49     14.2                                    \n\n"
          "Reps 1-1       0.50     14.2     0.50     14.2                                    \n"
          "Reps 2-2       0.50     14.2     0.50     14.2                                    \n"
          "% Change       0         0       0         0                                      \n"
          "Reps 1-2       0.50     14.2     0.50     14.2                                    \n");
}

TEST_F(CliTest, ExportPrintsTheSampleForces) {
  const std::string raw = RunTool({"export", dat}).out;
  EXPECT_EQ(linesIn(raw), 402u);  // header and samples 0..400
  EXPECT_EQ(raw.rfind("Counter\tTime\tCh1/LHand\tCh2/RHand\n", 0), 0u);
  EXPECT_NE(raw.find("\n50\t0.5\t-29.3\t-29.3\n"), std::string::npos);
  // Plotted values -221, -221, 379 smooth to -21: (79 + 21) x 0.0976 = 9.76.
  EXPECT_NE(RunTool({"export", dat, "--smoothed"}).out.find("\n50\t0.5\t9.8\t9.8\n"),
            std::string::npos);
}

TEST_F(CliTest, ReportAndExportWriteTheFormatAskedFor) {
  const Result text = RunTool({"report", dat, "--format", "text", "--mode", "impulse"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Filename: VISIT.DAT"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("\nRep      Time     Impulse  Time     Impulse"), std::string::npos);
  const std::string pdf = path("visit.pdf");
  for (int run = 0; run < 2; ++run) {  // a second report over the first
    ASSERT_EQ(RunTool({"report", dat, "--out", pdf}).status, 0);
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
    EXPECT_NE(contents(pdf + ".txt").find("Filename: VISIT.DAT"), std::string::npos);
  }
  // The US units reach the export; each format is the one asked for (EDF's version field).
  const std::string csv = path("v.csv");
  ASSERT_EQ(RunTool({"export", dat, "--format", "csv", "--out", csv, "--units", "us"}).status, 0);
  EXPECT_EQ(contents(csv).rfind("Time (s),Ch1 (lbs),Ch2 (lbs)\r\n0.0000,", 0), 0u);
  ASSERT_EQ(RunTool({"export", dat, "--format", "edf", "--out", path("v.edf")}).status, 0);
  EXPECT_EQ(contents(path("v.edf")).substr(0, 8), "0       ");
}

// Each file given is tried; one that is refused says why and makes the status 1, wherever it
// stands among the others, and the tool never waits on a FIFO. A version 1 file of another
// client opens: the tool takes the file's client.
TEST_F(CliTest, ARefusedFileAmongSeveralGivesStatusOne) {
  const std::string pipe = path("pipe.dat");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string refusal = "File: " + UpperPath(pipe) +
                              "\nis not a regular file.\nand cannot be opened with this program.\n";
  const std::string sum = path("visit.sum");
  ASSERT_EQ(RunTool({"resave", dat, dat}).status, 0);
  const struct {
    std::vector<std::string> args;
    size_t printed;  // lines of output from the files that open
    std::string err;
  } cases[] = {
      {{"info", dat, pipe}, 1, refusal},
      {{"info", pipe, dat}, 1, refusal},
      {{"analyze", pipe, dat, sum}, 2, refusal},
      {{"export", dat, sum}, 402, "tidemet-cli: " + sum + ": a summary file holds no samples\n"},
      {{"export", pipe, dat}, 402, refusal},
      {{"export", sum, "--format", "csv", "--out", path("x.csv")},
       0,
       "tidemet-cli: " + sum + ": a summary file holds no samples\n"},
      {{"export", dat, "--format", "csv", "--out", path("no/x.csv")},
       0,
       "tidemet-cli: " + path("no/x.csv") + ": No such file or directory\n"},
      {{"report", dat, "--out", path("no/x.pdf")},
       0,
       "tidemet-cli: " + path("no/x.pdf") + ": No such file or directory\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    const Result r = RunTool(c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(linesIn(r.out), c.printed);
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_EQ(RunTool({"info", dat, sum}).status, 0);
  const std::string v1 = path("old.dat");
  ASSERT_FALSE(WriteFileAtomically(
      v1, tidemet::testing::BuildV1Part({.tag = "Tidemet V1.1", .client = "Zoe Park"}).bytes));
  EXPECT_EQ(RunTool({"analyze", v1}).status, 0);
}

// resave writes the data file and a summary of the analysed trial beside it.
TEST_F(CliTest, AReadOnlyTargetIsReplacedOnlyWithForce) {
  ASSERT_EQ(RunTool({"resave", dat, path("kept.sum")}).status, 0);
  ASSERT_EQ(::chmod(path("kept.sum").c_str(), 0444), 0);
  const Result refused = RunTool({"resave", dat, path("kept.dat")});  // its summary is read-only
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "tidemet-cli: " + path("kept.sum") + " is read-only; --force replaces it\n");
  EXPECT_FALSE(std::filesystem::exists(path("kept.dat")));
  EXPECT_EQ(RunTool({"resave", dat, path("kept.dat"), "--force"}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(path("kept.dat")));
  // The summary's header carries the analysis: 3 repetitions at most.
  EXPECT_EQ(contents(path("kept.sum"))
                .rfind("\"Tidemet V5.6\",\"Ann Lee\",\"Hand\",0,10,1,400,1,4,3,1,2\r\n", 0),
            0u);
}

// Every value of every choice and what it sets, as "pair mode metric text" (-1: not given).
TEST(CliArgsTest, EachChoiceSetsItsOption) {
  auto chosen = [](const CliOptions& o) {
    return std::to_string(o.pairItem.value_or(-1)) + " " + std::to_string(o.mode.value_or(-1)) +
           " " + std::to_string(o.metric ? int(*o.metric) : -1) + " " + std::to_string(o.text);
  };
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"analyze", "a", "--pair", "12", "--mode", "peak", "--units", "us", "--format", "text"},
       "0 0 0 1"},
      {{"analyze", "a", "--pair", "34", "--mode", "impulse", "--units", "metric"}, "1 1 1 0"},
      {{"analyze", "a", "--pair", "56", "--mode", "avg", "--format", "json"}, "2 2 -1 0"},
      {{"export", "a", "--pair", "78"}, "3 -1 -1 0"},
      {{"report", "a", "--pair", "34", "--format", "text"}, "1 -1 -1 1"},
  };
  for (const auto& [args, options] : cases) {
    const ParsedArgs parsed = ParseArgs(args);
    EXPECT_EQ(parsed.error, "") << args[3];
    EXPECT_EQ(chosen(parsed.options), options) << args[3];
  }
}

// Each number's range at its ends, and the usage errors: wrong usage is status 2 with the usage
// text, help is status 0.
TEST(CliArgsTest, RangesAndWrongUsage) {
  auto sim = [](std::vector<std::string> more) {
    std::vector<std::string> args{"simulate", "--model", "0", "--out", "a.dat"};
    if (more[0] != "--seconds") args.insert(args.end(), {"--seconds", "5"});
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const std::string rate =
      "--stroke-rate takes 1 to 97 strokes a minute; the analysis cannot part faster strokes";
  const std::string seconds = "simulate needs --seconds from 0 to 327";
  const struct {
    std::vector<std::string> args;
    std::string error;  // empty: accepted
  } cases[] = {
      {sim({"--channels", "8"}), ""},
      {sim({"--channels", "3"}), "--channels takes 2, 4 or 8"},
      {sim({"--stroke-rate", "1"}), ""},
      {sim({"--stroke-rate", "97"}), ""},
      {sim({"--stroke-rate", "0.9"}), rate},
      {sim({"--stroke-rate", "97.5"}), rate},
      {sim({"--seconds", "327"}), ""},
      {sim({"--seconds", "327.01"}), seconds},
      {sim({"--seconds", "0"}), seconds},
      {sim({"--seconds", "five"}), "invalid value 'five' for --seconds"},
      {{"simulate", "--model", "7", "--seconds", "5", "--out", "a.dat"},
       "only the demonstration unit, --model 0, can be simulated"},
      {{"simulate", "--model", "0", "--seconds", "5"}, "simulate needs --out FILE.dat"},
      {{"simulate", "a.dat"}, "simulate takes no file 'a.dat'"},
      {{}, "no command given"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"analyze"}, "no file given"},
      {{"analyze", "a.dat", "--pair", "23"}, "invalid value '23' for --pair"},
      {{"analyze", "a.dat", "--units"}, "option '--units' needs a value"},
      {{"analyze", "a.dat", "--smoothed"}, "option '--smoothed' does not apply to this command"},
      {{"resave", "a.dat"}, "resave takes IN and OUT"},
      {{"report", "a.dat"}, "report needs --out FILE.pdf or --format text"},
      {{"report", "a.dat", "b.dat", "--format", "text"}, "report takes one FILE"},
      {{"export", "a.dat", "--format", "edf"},
       "export writes a file with both --format edf|csv and --out FILE"},
      {{"export", "a.dat", "--out", "x.edf"},
       "export writes a file with both --format edf|csv and --out FILE"},
      {{"export", "a.dat", "--format", "pdf", "--out", "x"},
       "invalid value 'pdf' for --format (edf or csv)"},
      {{"export", "a.dat", "b.dat", "--format", "csv", "--out", "x"},
       "export --format takes one FILE"},
      {{"export", "a.dat", "--smoothed", "--format", "csv", "--out", "x"},
       "--smoothed applies only to the tab-separated table"},
      {{"info", "a.dat", "--bogus"}, "unknown option '--bogus'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "" : c.args.back());
    EXPECT_EQ(ParseArgs(c.args).error, c.error);
    if (!c.error.empty()) {
      const Result r = RunTool(c.args);
      EXPECT_EQ(r.status, 2);
      EXPECT_EQ(r.err.rfind("tidemet-cli: " + c.error + "\nusage: tidemet-cli", 0), 0u) << r.err;
    }
  }
  const Result help = RunTool({"report", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: tidemet-cli report", 0), 0u);
  EXPECT_EQ(RunTool({"--version"}).out, "tidemet-cli 5.6\n");
}

// Quotes, backslashes and every control character are escaped; other text is kept byte for
// byte, and what is not UTF-8 becomes the replacement character.
TEST(CliJsonTest, TextIsEscapedAsJsonRequires) {
  const std::pair<std::string, std::string> cases[] = {
      {"say \"hi\"\\", "\"say \\\"hi\\\"\\\\\""},
      {"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
      {std::string("\0\x01\x08\x0b\x0c\x1f", 6), "\"\\u0000\\u0001\\u0008\\u000b\\u000c\\u001f\""},
      {" \x7f~", "\" \x7f~\""},
      {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8a", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8a\""},
      {"\xc0\xaf\xed\xa0\x80\xe2\x82", "\"\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\""},
  };
  for (const auto& [text, json] : cases) EXPECT_EQ(JsonQuote(text), json);
}

TEST_F(CliTest, ADamagedListInTheWorkingFolderStopsTheAnalysis) {
  ASSERT_FALSE(EnsureListFiles(folder.path()));
  ASSERT_FALSE(WriteFileAtomically(path("client.lst"), "\"unclosed"));
  const Result bad = RunTool({"analyze", dat, "--working-folder", folder.path().string()});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("client.lst"), std::string::npos) << bad.err;
}

// A simulated recording is saved with its summary and says what the analysis finds in it; a
// trial too short for a whole stroke says so.
TEST_F(CliTest, SimulateSavesTheRecordingAndTellsItsRepetitions) {
  const std::string demo = path("demo.dat");
  const Result made = RunTool({"simulate", "--model", "0", "--out", demo, "--seconds", "1"});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out.rfind("recorded ", 0), 0u) << made.out;
  EXPECT_NE(made.out.find("into " + demo +
                          "; the analysis finds 0 and 0 repetitions on channels 1 and 2\n"),
            std::string::npos)
      << made.out;
  EXPECT_EQ(made.err, "tidemet-cli: the analysis finds no repetitions in this trial\n");
  EXPECT_TRUE(std::filesystem::exists(path("demo.sum")));
  EXPECT_NE(RunTool({"analyze", demo, "--format", "text"}).out.find("repetitions: 0 and 0"),
            std::string::npos);
}

}  // namespace
}  // namespace tidemet::cli
