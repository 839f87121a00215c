#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <sstream>

#include "app/files/list_files.h"
#include "app/files/trial_file.h"
#include "cli_args.h"
#include "cli_trial.h"
#include "json_writer.h"
#include "run_tool.h"
#include "tests/app/files/trial_file_builder.h"

namespace tidemet::cli {
namespace {

using tidemet::testing::TempFolder;

std::vector<std::string> linesOf(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(CliTest, InfoPrintsTheTrialRecord) {
  const Result r = RunTool({"info", dat});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      r.out,
      "{\"DataVersionTag\":\"Tidemet V5.6\",\"DataClientName\":\"Ann Lee\",\"PairLabel\":\"Hand\","
      "\"PairStartChannel\":0,\"GraphGain\":1,\"SurfaceArea\":10,\"LimbMode\":1,\"SampleCount\":"
      "400,"
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
  EXPECT_EQ(
      o.rfind("{\"file\":\"" + dat +
                  "\",\"pair\":[0,1],\"units\":\"metric\",\"mode\":\"impulse\","
                  "\"ExerciseMode\":1,\"SwimDistance\":0,\"FirstPairReps\":3,\"SecondPairReps\":1,"
                  "\"MostReps\":3,\"SummaryTable\":[[0.49,29.3,14.2,28.9,0.5,29.3,14.2,28.5,"
                  "0.49,29.3,14.2,28.9,0.5,29.3,14.2,28.5],[",
              0),
      0u)
      << o;
  EXPECT_NE(
      o.find("[\"1\",\"0.50\",\"14.2\",\"0.50\",\"14.2\",\"0.50\",\"14.2\",\"2.49\",\"72.7\"]"),
      std::string::npos);
  EXPECT_NE(o.find("\"labels\":[\"Reps 1-1\",\"Reps 2-2\",\"% Change\",\"Reps 1-2\"]"),
            std::string::npos);
  EXPECT_NE(o.find("\"swim\":{\"shown\":false,\"line\":\"\",\"StrokeCount\":"), std::string::npos);
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

TEST_F(CliTest, VersionOneFileOfAnotherClientOpens) {
  const std::string v1 = path("old.dat");
  ASSERT_FALSE(WriteFileAtomically(
      v1, tidemet::testing::BuildV1Part({.tag = "Tidemet V1.1", .client = "Zoe Park"}).bytes));
  const Result r = RunTool({"analyze", v1});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(CliTest, ExportPrintsTheSampleForces) {
  const Result raw = RunTool({"export", dat});
  ASSERT_EQ(raw.status, 0) << raw.err;
  std::vector<std::string> rows = linesOf(raw.out);
  ASSERT_EQ(rows.size(), 402u);  // header and samples 0..400
  EXPECT_EQ(rows[0], "Counter\tTime\tCh1/LHand\tCh2/RHand");
  EXPECT_EQ(rows[51], "50\t0.5\t-29.3\t-29.3");

  const Result smooth = RunTool({"export", dat, "--smoothed"});
  ASSERT_EQ(smooth.status, 0);
  rows = linesOf(smooth.out);
  // Plotted values -221, -221, 379 smooth to -21: (79 + 21) x 0.0976 = 9.76.
  EXPECT_EQ(rows[51], "50\t0.5\t9.8\t9.8");
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
}

// Each file given is tried; one that is refused says why and makes the status 1, wherever it
// stands among the others, and the tool never waits on a FIFO.
TEST_F(CliTest, OneRefusedFileAmongSeveralGivesStatusOne) {
  ASSERT_EQ(::mkfifo(path("pipe.dat").c_str(), 0600), 0);
  const std::string refusal = "File: " + UpperPath(path("pipe.dat")) +
                              "\nis not a regular file.\nand cannot be opened with this program.\n";
  const std::string sum = path("visit.sum");
  ASSERT_EQ(RunTool({"resave", dat, path("visit.dat")}).status, 0);
  const std::string bad = path("bad.dat");
  ASSERT_FALSE(
      WriteFileAtomically(bad, tidemet::testing::BuildV1Part({.tag = "Tidemet V5.3"}).bytes));
  const struct {
    std::vector<std::string> args;
    size_t printed;  // lines of output from the files that open
    std::string err;
  } cases[] = {
      {{"info", dat, path("pipe.dat")}, 1, refusal},
      {{"info", path("pipe.dat"), dat}, 1, refusal},
      {{"analyze", path("pipe.dat"), dat, sum}, 2, refusal},
      {{"analyze", dat, path("pipe.dat")}, 1, refusal},
      {{"analyze", bad, dat},
       1,
       "File: " + UpperPath(bad) +
           "\nis not an Tidemet Version 1.1, 2.X, or 3.X file\nand cannot be opened with this "
           "program.\n"},
      {{"export", dat, sum}, 402, "tidemet-cli: " + sum + ": a summary file holds no samples\n"},
      {{"export", path("pipe.dat"), dat}, 402, refusal},
  };
  for (const auto& c : cases) {
    const Result r = RunTool(c.args);
    EXPECT_EQ(r.status, 1) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(linesOf(r.out).size(), c.printed) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(r.err, c.err) << c.args[0];
  }
  EXPECT_EQ(RunTool({"info", dat, sum}).status, 0);
}

TEST_F(CliTest, AReadOnlyTargetIsReplacedOnlyWithForce) {
  ASSERT_EQ(RunTool({"resave", dat, path("kept.sum")}).status, 0);
  ASSERT_EQ(::chmod(path("kept.sum").c_str(), 0444), 0);
  const auto before = ReadWholeFile(path("kept.sum"), 1 << 20);
  const Result refused = RunTool({"resave", dat, path("kept.dat")});  // its summary is read-only
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "tidemet-cli: " + path("kept.sum") + " is read-only; --force replaces it\n");
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
}

// Every value of every choice and what it sets.
TEST(CliArgsTest, EachChoiceSetsItsOption) {
  using Get = std::function<int(const CliOptions&)>;
  const Get pair = [](const CliOptions& o) { return o.pairItem.value_or(-1); };
  const Get mode = [](const CliOptions& o) { return o.mode.value_or(-1); };
  const Get metric = [](const CliOptions& o) { return o.metric ? int(*o.metric) : -1; };
  const Get text = [](const CliOptions& o) { return int(o.text); };
  const struct {
    std::vector<std::string> args;
    Get get;
    int value;
  } cases[] = {
      {{"analyze", "a.dat", "--pair", "12"}, pair, 0},
      {{"analyze", "a.dat", "--pair", "34"}, pair, 1},
      {{"analyze", "a.dat", "--pair", "56"}, pair, 2},
      {{"analyze", "a.dat", "--pair", "78"}, pair, 3},
      {{"export", "a.dat", "--pair", "78"}, pair, 3},
      {{"report", "a.dat", "--pair", "34", "--format", "text"}, pair, 1},
      {{"analyze", "a.dat", "--mode", "peak"}, mode, 0},
      {{"analyze", "a.dat", "--mode", "impulse"}, mode, 1},
      {{"analyze", "a.dat", "--mode", "avg"}, mode, 2},
      {{"analyze", "a.dat", "--units", "metric"}, metric, 1},
      {{"analyze", "a.dat", "--units", "us"}, metric, 0},
      {{"analyze", "a.dat", "--format", "text"}, text, 1},
      {{"analyze", "a.dat", "--format", "json"}, text, 0},
  };
  for (const auto& c : cases) {
    const ParsedArgs parsed = ParseArgs(c.args);
    EXPECT_EQ(parsed.error, "") << c.args[2] << " " << c.args[3];
    EXPECT_EQ(c.get(parsed.options), c.value) << c.args[0] << " " << c.args[2] << " " << c.args[3];
  }
}

// Each number's range at its ends, and the usage errors: wrong usage is status 2 with the usage
// text, help is status 0.
TEST(CliArgsTest, RangesAndWrongUsage) {
  const std::vector<std::string> simulate{"simulate", "--model", "0", "--out", "a.dat"};
  auto sim = [&](std::vector<std::string> more) {
    std::vector<std::string> args = simulate;
    if (more.size() < 2 || more[0] != "--seconds") args.insert(args.end(), {"--seconds", "5"});
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const std::string rate =
      "--stroke-rate takes 1 to 97 strokes a minute; the analysis cannot part faster strokes";
  const struct {
    std::vector<std::string> args;
    std::string error;  // empty: accepted
  } cases[] = {
      {sim({"--channels", "2"}), ""},
      {sim({"--channels", "4"}), ""},
      {sim({"--channels", "8"}), ""},
      {sim({"--channels", "3"}), "--channels takes 2, 4 or 8"},
      {sim({"--stroke-rate", "1"}), ""},
      {sim({"--stroke-rate", "97"}), ""},
      {sim({"--stroke-rate", "0.9"}), rate},
      {sim({"--stroke-rate", "97.5"}), rate},
      {sim({"--seconds", "327"}), ""},
      {sim({"--seconds", "327.01"}), "simulate needs --seconds from 0 to 327"},
      {sim({"--seconds", "0"}), "simulate needs --seconds from 0 to 327"},
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
      {{"export", "a.dat", "--mode", "peak"}, "option '--mode' does not apply to this command"},
      {{"resave", "a.dat", "--pair", "12", "b.dat"},
       "option '--pair' does not apply to this command"},
      {{"resave", "a.dat"}, "resave takes IN and OUT"},
      {{"info", "a.dat", "--bogus"}, "unknown option '--bogus'"},
  };
  for (const auto& c : cases) {
    const std::string shown = c.args.empty() ? "" : c.args.back();
    EXPECT_EQ(ParseArgs(c.args).error, c.error) << shown;
    if (!c.error.empty()) {
      const Result r = RunTool(c.args);
      EXPECT_EQ(r.status, 2) << shown;
      EXPECT_EQ(r.err.rfind("tidemet-cli: " + c.error + "\nusage: tidemet-cli", 0), 0u) << r.err;
    }
  }
  for (const char* command : {"info", "analyze", "export", "resave", "simulate", "report"}) {
    const Result r = RunTool({command, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind(std::string("usage: tidemet-cli ") + command, 0), 0u);
  }
  EXPECT_EQ(RunTool({"--version"}).out, "tidemet-cli 5.6\n");
}

// Quotes, backslashes and every control character are escaped; other text is kept byte for
// byte, and what is not UTF-8 becomes the replacement character.
TEST(CliJsonTest, TextIsEscapedAsJsonRequires) {
  const struct {
    std::string text, json;
  } cases[] = {
      {"say \"hi\"\\", "\"say \\\"hi\\\"\\\\\""},
      {"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
      {std::string("\0\x01\x08\x0b\x0c\x1f", 6), "\"\\u0000\\u0001\\u0008\\u000b\\u000c\\u001f\""},
      {" \x7f~", "\" \x7f~\""},
      {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8a", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8a\""},
      {"\xc0\xaf\xed\xa0\x80\xe2\x82", "\"\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\""},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonQuote(c.text), c.json);
}

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

// A simulated recording is saved with its summary and says what the analysis finds in it: 40
// strokes a minute after one second of rest; at the fastest rate the analysis parts; and a trial
// too short for a whole stroke, which says so.
TEST(CliSimulateTest, TheRecordingIsSavedAndItsRepetitionsTold) {
  TempFolder folder;
  const std::string path = (folder.path() / "demo.dat").string();
  const struct {
    std::vector<std::string> more;
    std::string out, err;
  } cases[] = {
      {{"--seconds", "31", "--seed", "5", "--stroke-rate", "40"},
       "into " + path + "; the analysis finds 19 and 19 repetitions on channels 1 and 2\n",
       ""},
      {{"--seconds", "20", "--seed", "3", "--stroke-rate", "97"},
       "finds 29 and 29 repetitions",
       ""},
      {{"--seconds", "1"},
       "finds 0 and 0 repetitions",
       "tidemet-cli: the analysis finds no repetitions in this trial\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"simulate", "--model", "0", "--out", path};
    args.insert(args.end(), c.more.begin(), c.more.end());
    const Result made = RunTool(args);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out.rfind("recorded ", 0), 0u) << made.out;
    EXPECT_NE(made.out.find(c.out), std::string::npos) << made.out;
    EXPECT_EQ(made.err, c.err);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "demo.sum"));
  }
  // The file holds what was told.
  const Result analysed = RunTool({"analyze", path, "--format", "text"});
  ASSERT_EQ(analysed.status, 0) << analysed.err;
  EXPECT_NE(analysed.out.find("repetitions: 0 and 0"), std::string::npos) << analysed.out;
}

}  // namespace
}  // namespace tidemet::cli
