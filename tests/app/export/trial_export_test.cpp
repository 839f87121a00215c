// Exported trials read back: EDF+ through EDFlib's own reader, CSV as bytes.
#include <edflib.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/acquisition/simulated_recording.h"
#include "app/analysis/recompute_analysis.h"
#include "app/export/trial_export.h"
#include "app/files/safe_file.h"
#include "app/files/temp_folder.h"
#include "tests/app/analysis/trace_builder.h"

namespace tidemet {
namespace {

std::string readFile(const std::filesystem::path& p) {
  return ReadWholeFile(p, 1 << 20).value_or("<unreadable>");
}

// A demo trial of `channels` channels with the forces of a 100 sq cm surface, with baseline offset
// 5 on every column.
std::unique_ptr<Session> demoTrial(int16_t channels, int16_t pairStart, bool metric) {
  auto s = std::make_unique<Session>();
  s->ChannelCount = channels;
  s->PairStartChannel = pairStart;
  s->PairSecondChannel = static_cast<int16_t>(pairStart + 1);
  RecordingAlerts alerts;
  DemoParameters p;
  p.seed = 3;
  RecordSimulatedTrial(*s, alerts, 20.0, p);
  s->DataClientName = "Anna Berg";
  s->Comments = "after warm-up\r\nlane 2";
  s->SurfaceArea = 100;
  s->UnitsFlag = metric ? 1 : 0;
  s->PressurePerCount = metric ? 0.00976f : 0.00976f / 4.45f;
  s->BaselineOffset = -1185;
  s->BaselineOffsets.fill(5);
  return s;
}

TEST(TrialExportTest, EdfReadsBackWithSamplesRateAndRepetitions) {
  // Channels, pair start, metric, the unit of the signals.
  const std::tuple<int16_t, int16_t, bool, std::string> cases[] = {
      {2, 4, false, "lbs"}, {4, 0, true, "N"}, {8, 6, false, "lbs"}};
  for (const auto& [channels, pairStart, metric, unit] : cases) {
    SCOPED_TRACE(std::to_string(channels) + " channels, " + unit);
    testing::TempFolder folder;
    auto s = demoTrial(channels, pairStart, metric);
    const auto path = folder.path() / "trial.edf";
    ASSERT_EQ(ExportTrial(*s, path, ExportFormatFor(path)), std::nullopt);

    edf_hdr_struct hdr{};
    ASSERT_EQ(edfopen_file_readonly(path.c_str(), &hdr, EDFLIB_READ_ALL_ANNOTATIONS), 0);
    ASSERT_EQ(hdr.edfsignals, channels);
    EXPECT_STREQ(hdr.patient_name, "Anna Berg");
    EXPECT_NE(std::string(hdr.recording_additional).find("after warm-up lane 2"),
              std::string::npos);
    const int n = s->SampleCount;
    const double rate = n / static_cast<double>(s->TrialSeconds);
    const double scale = 100 * (metric ? 0.00976 : 0.00976 / 4.45);  // N or lbs per count
    const int first = channels == 2 ? pairStart : 0;
    for (int sig = 0; sig < channels; ++sig) {
      const edf_param_struct& p = hdr.signalparam[sig];
      EXPECT_EQ(std::string(p.label).substr(0, 4), "Ch" + std::to_string(first + sig + 1) + " ");
      EXPECT_EQ(std::string(p.physdimension), unit + std::string(8 - unit.size(), ' '));
      ASSERT_EQ(p.smp_in_file, n);
      EXPECT_NEAR(p.smp_in_datarecord / (hdr.datarecord_duration * 1e-7), rate, rate * 1e-4);
      std::vector<double> got(static_cast<size_t>(n));
      ASSERT_EQ(edfread_physical_samples(hdr.handle, sig, n, got.data()), n);
      for (int k = 0; k < n; ++k) {
        const double counts = s->TrialData[s->trialIndex(k, first + sig)] + 5 - 1185;
        ASSERT_NEAR(got[k], counts * scale, scale / 2) << "sample " << k;
      }
    }

    // Every repetition of the displayed pair starts an annotation at its first sample.
    testing::Analyse(*s);
    const int col = s->PairStartChannel;
    ASSERT_GE(s->analysis.FirstPairReps, 5);
    const std::string prefix = "Ch" + std::to_string(col + 1) + " rep ";
    int starts = 0;
    for (long long i = 0; i < hdr.annotations_in_file; ++i) {
      edf_annotation_struct a{};
      ASSERT_EQ(edf_get_annotation(hdr.handle, static_cast<int>(i), &a), 0);
      const std::string text = a.annotation;
      if (text.rfind(prefix, 0) != 0 || text.find(' ', prefix.size()) != std::string::npos)
        continue;
      const int j = std::stoi(text.substr(prefix.size()));
      EXPECT_EQ(j, starts++);
      EXPECT_NEAR(a.onset * 1e-7, s->analysis.RepStartMarks[col][j] / rate, 2e-4) << text;
      EXPECT_NEAR(a.duration_l * 1e-7,
                  (s->analysis.RepNegEndMarks[col][j] - s->analysis.RepStartMarks[col][j]) / rate,
                  2e-4);
    }
    EXPECT_EQ(starts, s->analysis.FirstPairReps + 1);
    edfclose_file(hdr.handle);
  }
}

TEST(TrialExportTest, CsvHoldsTimeAndForcesOfTheRecordedPair) {
  auto s = std::make_unique<Session>();
  s->ChannelCount = 2;
  s->PairStartChannel = 4;
  s->SampleCount = 3;
  s->TrialSeconds = 0.06f;
  s->SurfaceArea = 100;
  s->PressurePerCount = 0.01f;
  s->BaselineOffset = -1000;
  s->BaselineOffsets[4] = 10;
  // A two-channel trial keeps its pair at index 2k + 4 and 2k + 5.
  const int16_t counts[] = {1000, 1100, 1200, 900, 990, 1300};
  for (int i = 0; i < 6; ++i) s->TrialData[4 + i] = counts[i];
  testing::TempFolder folder;
  const auto path = folder.path() / "trial.CSV";
  ASSERT_EQ(ExportTrial(*s, path, ExportFormatFor(path)), std::nullopt);
  EXPECT_EQ(readFile(path),
            "Time (s),Ch5 (N),Ch6 (N)\r\n"
            "0.0000,10.000,100.000\r\n"
            "0.0200,210.000,-100.000\r\n"
            "0.0400,0.000,300.000\r\n");
}

TEST(TrialExportTest, RefusedExportLeavesTheOldFileAndSaysWhy) {
  using Spoil = void (*)(Session&);
  const std::pair<Spoil, const char*> cases[] = {
      {[](Session& s) { s.CurrentFileName = "C:/T/TRIAL.SUM"; }, "summary file holds no samples"},
      {[](Session& s) { s.SampleCount = 0; }, "no recorded trial"},
      {[](Session& s) { s.SurfaceArea = 0; }, "surface area is 0"},
      {[](Session& s) { s.TrialSeconds = 0; }, "no measured trial time"},
      {[](Session& s) { s.SampleCount = 20000; }, "more than the trial buffer holds"},
  };
  for (const auto& [spoil, why] : cases) {
    SCOPED_TRACE(why);
    auto s = demoTrial(2, 0, true);
    spoil(*s);
    testing::TempFolder folder;
    for (const char* name : {"old.edf", "old.csv"}) {
      const auto path = folder.path() / name;
      std::ofstream(path) << "previous export";
      const auto error = ExportTrial(*s, path, ExportFormatFor(path));
      ASSERT_TRUE(error.has_value());
      EXPECT_NE(error->find(why), std::string::npos) << *error;
      EXPECT_EQ(readFile(path), "previous export");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
  }
  // A folder that does not exist: nothing is written, and the box names the file.
  auto s = demoTrial(8, 0, true);
  const auto error = ExportTrial(*s, "/nonexistent-folder/t.edf", ExportFormat::Edf);
  ASSERT_TRUE(error.has_value());
  EXPECT_TRUE(
      ExportFailedAlert("/nonexistent-folder/t.edf", *error)
          .text.starts_with("File: /nonexistent-folder/t.edf\r\ncould not be exported.\r\n"));
}

}  // namespace
}  // namespace tidemet
