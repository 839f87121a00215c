#include <gtest/gtest.h>

#include "app/analysis/batch_runs.h"
#include "app/analysis/clip_texts.h"
#include "app/analysis/recompute_analysis.h"
#include "app/analysis/sample_export.h"
#include "trace_builder.h"

namespace tidemet {
namespace {

using testing::MakeTrial;
using testing::Trace;
using testing::WriteTrace;

TEST(ClipTextsTest, GridSelectionAndMeansByteForByte) {
  auto s = testing::TwoHandTrial();
  s->analysis.AnalysisMode = 1;
  testing::Analyse(*s);
  const auto grid = RepetitionGrid(*s);
  const std::string row1 = "1\t0.50\t18.2\t0.50\t18.2\t0.50\t18.2\t2.49\t93.1";
  const std::string row2 = "2\t0.50\t18.2\t0.50\t18.2\t\t\t\t";
  EXPECT_EQ(SelectedRowsClipText(grid, {2, 1, 2, 7}), row1 + "\r" + row2);
  EXPECT_EQ(SelectedRowsClipText(grid, {}), "");
  const std::string all = GridClipText(grid);
  EXPECT_EQ(std::count(all.begin(), all.end(), '\r'), 3);
  EXPECT_NE(all.find("\r" + row1 + "\r" + row2 + "\r3\t"), std::string::npos);
  EXPECT_EQ(MeansClipText(MeansGridOf(*s)), "0.50\t18.2\t0.50\t18.2\t\t\t\t");
}

TEST(FilterCaptionsTest, ForceOfEachFilterAtTheGain) {
  Session s;
  s.SurfaceArea = 8;
  s.PressurePerCount = 0.015625f;  // 0.125 N per count
  s.GraphGain = 0.5f;              // two counts per plot unit
  EXPECT_EQ(FilterCaptions(s),
            (std::array<std::string, 4>{"&0 0 N", "&1 4 N", "&2 8 N", "&3 16 N"}));
  s.UnitsFlag = 0;
  s.GraphGain = 4.0f;
  EXPECT_EQ(FilterCaptions(s)[3], "&3 2 lbs");
}

// Opens "good*" files as a trial of four strokes per column, refuses the others.
struct FakeFiles {
  int opened = 0;
  TrialOpener opener() {
    return [this](Session& s, Alerts& alerts, const std::string& path) {
      if (path.find("good") == std::string::npos) {
        alerts.show({"Tidemet", "File: " + path + "\r\nis damaged."});
        return false;
      }
      ++opened;
      s.SampleCount = 400;
      s.TrialSeconds = 4;
      s.Stroke = "Free";
      s.ClientHeight = "180";
      s.CurrentFileName = path;
      WriteTrace(s, 0, Trace().strokes(4, 50, 300, 50, 300));
      WriteTrace(s, 1, Trace().strokes(4, 50, 600, 40, 600));
      return true;
    };
  }
};

class CountingProgress : public BatchProgress {
 public:
  explicit CountingProgress(int stopAt = -1) : stopAt_(stopAt) {}
  bool next(int index, int, const std::string&) override {
    calls.push_back(index);
    return index != stopAt_;
  }
  std::vector<int> calls;

 private:
  int stopAt_;
};

TEST(AutoCopyTest, OneRowPerFileSkippingFilesThatDoNotOpen) {
  auto s = MakeTrial(2, 400);
  s->CurrentFileName = "mine.dat";
  s->analysis.AnalysisMode = 2;
  FakeFiles files;
  CountingProgress progress;
  const auto result =
      AutoCopy(*s, {"/t/jsgood1.dat", "/t/bad.dat", "/t/kbgood2.dat"}, files.opener(), progress);
  EXPECT_EQ(progress.calls, (std::vector<int>{0, 1, 2, 3}));
  ASSERT_EQ(result.rows.size(), 2u);
  ASSERT_EQ(result.skipped.size(), 1u);
  EXPECT_EQ(result.skipped[0].file, "/t/bad.dat");
  EXPECT_EQ(SkippedFilesText(result),
            "1 file was skipped:\r\nbad.dat: File: /t/bad.dat is damaged.");
  EXPECT_FALSE(result.cancelled);
  EXPECT_EQ(result.rows[0],
            (AutoCopyRow{"JS",   "FR",   "good1.dat", "0.50", "18.2", "0.50", "0.50",
                         "36.5", "0.40", "37.5",      "75.0", " 4",   " 0",   " 1.05",
                         " 0",   " 8",   "180",       "",     " 0",   " 0"}));
  EXPECT_EQ(result.rows[1][0], "KB");
  EXPECT_TRUE(result.clipText().starts_with("JS\tFR\tgood1.dat\t0.50\t18.2\t0.50\t"))
      << result.clipText();
  // The user's own trial is left as it was.
  EXPECT_EQ(s->CurrentFileName, "mine.dat");
  EXPECT_EQ(s->analysis.AnalysisMode, 2);
}

TEST(AutoPrintTest, PrintsEachReportAndStopsWhenCancelled) {
  auto s = MakeTrial(2, 400);
  FakeFiles files;
  CountingProgress progress(2);
  std::vector<std::string> printedFiles;
  const auto result = AutoPrint(*s, {"a_good.dat", "nope.dat", "b_good.dat", "c_good.dat"},
                                files.opener(), progress, [&](const ReportDocument& doc) {
                                  printedFiles.push_back(doc.pages[0].lines[14]);
                                  return true;
                                });
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.printed, 1);
  EXPECT_EQ(result.done, 2);
  EXPECT_EQ(files.opened, 1);
  ASSERT_EQ(printedFiles.size(), 1u);
  EXPECT_EQ(printedFiles[0].substr(0, 20), "Filename: A_GOOD.DAT");

  // A printer that fails ends the run as well; a second run starts afresh.
  CountingProgress again;
  const auto failed = AutoPrint(*s, {"a_good.dat", "b_good.dat"}, files.opener(), again,
                                [](const ReportDocument&) { return false; });
  EXPECT_TRUE(failed.cancelled);
  EXPECT_EQ(failed.printed, 0);
  EXPECT_EQ(again.calls, (std::vector<int>{0}));
}

using Row = std::vector<std::string>;

TEST(SampleExportTest, HeaderNamesTheUnitsChannels) {
  struct Case {
    int channels;
    Row header;
  };
  const Case cases[] = {
      {4, {"Counter", "Time", "Ch1/LHand", "Ch2/RHand", "Ch3/LFoot", "Ch4/RFoot"}},
      {8,
       {"Counter", "Time", "Ch1/LHand", "Ch2/RHand", "Ch3 (mv)", "Ch4 (mv)", "Ch5 (mv)", "Ch6 (mv)",
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
