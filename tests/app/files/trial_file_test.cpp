#include "app/files/trial_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "app/files/client_entry.h"
#include "app/files/safe_file.h"
#include "app/session/model_table.h"
#include "temp_folder.h"
#include "trial_file_builder.h"

namespace tidemet {
namespace {

using testing::AddVersion2;
using testing::BuildV1Part;
using testing::FileHeader;
using testing::TempFolder;
using testing::TrialFileBuilder;
namespace fs = std::filesystem;

class CountingComparison : public ComparisonSeam {
 public:
  int fileCount() const override { return files; }
  void clear() override {
    files = 0;
    ++clears;
  }
  bool openingIntoComparison() const override { return into; }
  int files = 0;
  int clears = 0;
  bool into = false;
};

// Makes the summary "summary", or fails with `failure`.
class RecordingSummary : public SummaryFileSeam {
 public:
  std::optional<std::string> bytes(Session&, std::string& why) override {
    if (!failure) return "summary\r\n";
    why = *failure;
    return std::nullopt;
  }
  bool open(Session&, TrialFileContext&, const std::string&) override { return false; }
  std::optional<std::string> failure;
};

class TrialFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s->ClientName = s->DataClientName = "Ann Lee";
    s->ClientHeight = "165";
    s->ClientWeight = "58 ";
    clients.select(0);
  }
  bool open(std::string_view bytes, const std::string& path = "/data/trial.dat") {
    return OpenTrialBytes(*s, ctx, path, bytes);
  }
  // A file of `h` with the version 2 block.
  static std::string v2(const FileHeader& h, int swimFlag = 2) {
    auto b = BuildV1Part(h);
    AddVersion2(b, swimFlag);
    return b.bytes;
  }
  std::string lastText() const { return alerts.shown.empty() ? "" : alerts.shown.back().text; }
  std::unique_ptr<Session> s = std::make_unique<Session>();
  RecordingAlerts alerts;
  ClientList clients{{MakeClientEntry("Ann Lee", "AL", "165", "58", "Kim"),
                      MakeClientEntry("Bo Berg", "BB", "180", "80", "Kim")}};
  CountingComparison comparison;
  RecordingSummary summary;
  TrialFileContext ctx{alerts, clients, comparison, summary};
};

void FillTrial(Session& s, int channels, int pairStart, int samples) {
  s.ChannelCount = static_cast<int16_t>(channels);
  s.PairStartChannel = static_cast<int16_t>(pairStart);
  s.PairSecondChannel = static_cast<int16_t>(pairStart + 1);
  s.SampleCount = static_cast<int16_t>(samples);
  int16_t first = 0;
  int16_t last = 0;
  SavedChannels(channels, pairStart, first, last);
  for (int j = 0; j < samples; ++j)
    for (int k = first; k <= last; ++k)
      s.TrialData[static_cast<size_t>(j * channels + k)] =
          static_cast<int16_t>(-32768 + (j * 7 + k * 13) % 65536);
  s.GraphGain = 0.25f;
  s.SurfaceArea = 465;
  s.LimbMode = 2;
  s.CalibrationFactor = 25.0f / 90.0f;
  s.TrialSeconds = 12.34f;
  s.BaselineOffsets = {-79, 79, 0, 1, 2, 3, 4, 5, 0, 0, 0};
  s.Comments = "Good set, \"fast\"\r\nsecond line";
  s.PairLabel = "Foot Eqp";
  s.JointAction = 2;
  s.PairJoints = {4, 3, 2, 1};
  s.PairAreas = {100, 200, 300, 400};
  s.PairLabels = {"Foot", "Lower Leg", "Upper Leg", "Trunk"};
  s.SwimFlag = 3;
  s.SwimDistance = 20;
  s.ModelCode = s.RecordedModelCode = 18;
}

// Every field the file holds comes back: the reopened trial writes the same bytes.
TEST_F(TrialFileTest, WhatIsSavedOpensAgainFieldForField) {
  struct Case {
    int channels, pairStart, samples;
  };
  const Case cases[] = {{2, 6, 14997}, {4, 0, 7500}, {8, 0, 3750}, {8, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.channels << " channels, pair " << c.pairStart);
    auto saved = std::make_unique<Session>();
    *saved = *s;
    FillTrial(*saved, c.channels, c.pairStart, c.samples);
    ApplyCalibration(*saved, 18);
    TempFolder folder;
    const std::string path = (folder.path() / "trial.dat").string();
    ASSERT_TRUE(SaveTrialFile(*saved, ctx, path));

    auto back = std::make_unique<Session>();
    back->ClientName = back->DataClientName = "Ann Lee";
    ASSERT_TRUE(OpenTrialFile(*back, ctx, path)) << lastText();
    if (c.channels != 2) back->PairLabel = saved->PairLabel;  // a pair's label comes with 2 only
    EXPECT_TRUE(TrialFileBytes(*back) == TrialFileBytes(*saved));
    EXPECT_EQ(back->TrialData, saved->TrialData);
    EXPECT_FLOAT_EQ(back->PressurePerCount, 0.003997696f);
    EXPECT_EQ(back->CurrentFileName, path);
  }
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(TrialFileTest, LayoutIsByteForByte) {
  FillTrial(*s, 2, 4, 2);
  const int16_t pair[] = {0x0102, -2, 0x0304, 7};
  std::copy(std::begin(pair), std::end(pair), s->TrialData.begin() + 4);
  s->TrialData[0] = 99;  // not a column of the pair: not written
  s->DataClientName = "Ann";
  s->Comments = "c";
  s->PairLabel = "Foot";
  s->ClientHeight = "48";
  s->ClientWeight = "130";
  TrialFileBuilder expected;
  expected.raw("Tidemet V5.6").i16(3).i16(1).i16(4).raw("Ann").raw("Foot");
  expected.i16(4).f32(0.25f).i16(465).i16(2).i16(2).f32(25.0f / 90.0f).f32(12.34f).i16(2);
  for (int o : {-79, 79, 0, 1, 2, 3, 4, 5}) expected.i16(o);
  expected.i16(0x0102).i16(-2).i16(0x0304).i16(7);
  expected.raw("c").i16(2);
  for (int v : {4, 3, 2, 1, 100, 200, 300, 400, 4, 9, 9, 5}) expected.i16(v);
  expected.raw("Foot").raw("Lower Leg").raw("Upper Leg").raw("Trunk").i16(3).i16(20);
  expected.i16(1).i16(18).raw("48 ").raw("130");
  EXPECT_EQ(TrialFileBytes(*s), expected.bytes);
}

// The first and last tag of each layout; the current trial has model 21, swim distance 15.
TEST_F(TrialFileTest, EveryLayoutOpensWithTheDefaultsForWhatItLacks) {
  struct Case {
    const char* tag;
    bool version2;
    int distance;  // -1: none in the file
    bool units;
    int16_t model, swimDistance;  // after the open
  };
  const Case cases[] = {
      {"Tidemet V1SA", false, -1, false, 21, 15}, {"Tidemet V1.1", false, -1, false, 21, 15},
      {"Tidemet V2.0", true, -1, false, 3, 0},    {"Tidemet V2.3", true, -1, false, 3, 0},
      {"Tidemet V2.4", true, 20, false, 3, 20},   {"Tidemet V2.6", true, 20, false, 3, 20},
      {"Tidemet V2.4", true, 0, false, 3, 15},  // a distance of 0 keeps the current one
      {"Tidemet V3.0", true, 20, false, 12, 20},  {"Tidemet V3.4", true, 20, false, 12, 20},
      {"Tidemet V3.5", true, 20, false, 21, 20},  // ends after the swim distance
      {"Tidemet V3.5", true, 20, true, 9, 20},    {"Tidemet V3.6", true, 20, true, 9, 20},
      {"Tidemet V5.6", true, 20, true, 9, 20},
  };
  s->ModelCode = 21;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    s->SwimDistance = 15;
    s->ClientHeight = "165";
    auto b = BuildV1Part({.tag = c.tag});
    if (c.version2) AddVersion2(b);
    if (c.distance >= 0) b.i16(c.distance);
    if (c.units) b.i16(1).i16(9).raw("190").raw("95 ");
    ASSERT_TRUE(open(b.bytes));
    EXPECT_EQ(s->RecordedModelCode, c.model);
    EXPECT_EQ(s->SwimDistance, c.swimDistance);
    EXPECT_EQ(s->ExerciseMode, c.version2 ? 3 : 1);  // swim flag 2 in the files
    EXPECT_EQ(s->ClientHeight, c.units ? "190" : "165");
  }
  // Samples and offsets (kept within -79..79) sit where every layout has them.
  EXPECT_EQ(s->TrialData[5], 1021);  // sample 2, channel 1
  EXPECT_EQ(s->BaselineOffsets[2], 79);
  EXPECT_EQ(s->BaselineOffsets[3], -79);
  EXPECT_TRUE(alerts.shown.empty());
}

// Unknown and damaged files are refused with their reason and leave the trial as it was.
TEST_F(TrialFileTest, UnknownOrDamagedFilesAreRefusedAndTheTrialStaysWhole) {
  auto withHeader = [](const FileHeader& h) {
    return v2(h) + TrialFileBuilder().i16(20).i16(1).i16(9).raw("190").raw("95 ").bytes;
  };
  const std::string good = withHeader({});
  const std::string tooMany = "holds more samples than a trial can keep (30001).";
  const std::string pairStart = "has a pair start channel other than 0, 2, 4 or 6.";
  const std::string text = "has a text that runs past the end of the file.";
  const std::string head = good.substr(0, 12);
  const std::string units = good.substr(0, good.size() - 10);
  const std::string unknown = "is not an Tidemet Version 1.1, 2.X, or 3.X file";
  const std::pair<std::string, std::string> cases[] = {
      {v2({.tag = "Tidemet V5.3"}), unknown},
      {v2({.tag = "TIDEMET V5.6"}), unknown},
      {v2({.tag = "Tidemet V5."}), unknown},
      {"", unknown},
      {withHeader({.samples = 15001}), tooMany},
      {withHeader({.pairStart = 6, .samples = 14998}), tooMany},
      {withHeader({.samples = 3751, .channels = 8}), tooMany},
      {withHeader({.samples = -1}), "has a negative sample count."},
      {withHeader({.channels = 3}), "has a channel count other than 2, 4 or 8."},
      {withHeader({.pairStart = 3}), pairStart},
      {withHeader({.pairStart = 8}), pairStart},
      {withHeader({.limb = 0}), "has an unknown limb mode."},
      {withHeader({.limb = 4}), "has an unknown limb mode."},
      {withHeader({.gain = 0.0f}),
       "has a gain, calibration factor or trial time that is not a number."},
      {good.substr(0, 60), "ends inside its header."},
      {good.substr(0, 70), "ends before its samples."},
      {good.substr(0, good.size() - 13), "ends inside its pair set-up."},
      {good.substr(0, good.size() - 20), text},
      {good.substr(0, good.size() - 3), "ends inside its units block."},
      {head + std::string("\xFF\xFF\0\0\0\0", 6) + good.substr(18), "has a negative text length."},
      {head + std::string("\0\x7F\0\0\0\0", 6) + good.substr(18), text},
      {units + std::string("\x07\0\x09\0", 4) + "19095 ", "has an unknown units flag."},
      {units + std::string("\x01\0\x18\0", 4) + "19095 ", "has an unknown interface model."},
  };
  ASSERT_TRUE(open(good, "/data/kept.dat"));  // the file the cases are cut from is sound
  const auto before = s->TrialData;
  for (const auto& [bytes, reason] : cases) {
    alerts.shown.clear();
    EXPECT_FALSE(open(bytes, "/data/bad.dat")) << reason;
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].title, "Tidemet");
    EXPECT_EQ(alerts.shown[0].text,
              "File: /DATA/BAD.DAT\r\n" + reason + "\r\nand cannot be opened with this program.");
    EXPECT_EQ(s->OpenFailed, 1);
    EXPECT_EQ(s->OpenedFromFile, 0);
    EXPECT_EQ(s->TrialData, before);
    EXPECT_EQ(s->CurrentFileName, "/data/kept.dat");
  }
}

// A later file of another client makes that client current; one not in the list (or of no name)
// makes entry 0 current. A version 1 file of another client is refused.
TEST_F(TrialFileTest, AFileOfAnotherClient) {
  for (const std::string client : {"Bo Berg", "Nobody", ""}) {
    SCOPED_TRACE(client);
    s->ClientName = s->DataClientName = "Cy";
    comparison.files = 3;
    ASSERT_TRUE(open(v2({.tag = "Tidemet V3.0", .client = client})));
    EXPECT_EQ(s->ClientName, client == "Bo Berg" ? "Bo Berg" : "Ann Lee");
    EXPECT_EQ(s->ClientHeight, client == "Bo Berg" ? "180" : "165");
    EXPECT_EQ(s->DataClientName, client);
    EXPECT_EQ(s->FileClientName, client);
    EXPECT_EQ(comparison.files, 0);
  }
  EXPECT_FALSE(open(BuildV1Part({.tag = "Tidemet V1.1", .client = "Bo Berg"}).bytes, "c:/t/a.dat"));
  EXPECT_EQ(lastText(),
            "File: C:/T/A.DAT\r\ncontains data for Client: Bo Berg\r\n"
            "Change Client or select another file.");
  EXPECT_EQ(s->ClientName, "Ann Lee");
}

// A file of another pair or limb clears the comparison, or is refused when it is opened into
// the comparison.
TEST_F(TrialFileTest, AnotherPairOrLimbClearsTheComparisonOrIsRefusedInIt) {
  // The file's pair start and limb, opened into the comparison, clears of it, opened.
  const std::tuple<int, int, bool, int, bool> cases[] = {
      {0, 1, false, 0, true}, {2, 1, false, 1, true}, {0, 3, false, 1, true},
      {0, 1, true, 0, true},  {2, 1, true, 0, false}, {0, 3, true, 0, false}};
  for (const auto& [pairStart, limb, into, clears, opens] : cases) {
    SCOPED_TRACE(::testing::Message() << pairStart << " " << limb << " " << into);
    s->PairStartChannel = 0;
    s->LimbMode = 1;
    comparison.into = into;
    comparison.files = 2;
    comparison.clears = 0;
    alerts.shown.clear();
    EXPECT_EQ(open(v2({.pairStart = pairStart, .limb = limb}), "/d/p.dat"), opens);
    EXPECT_EQ(comparison.clears, clears);
    EXPECT_EQ(lastText(), opens ? ""
                                : "Resistive surface or joint action\r\nfor /D/P.DAT\r\n"
                                  "does not match with above file(s).\r\n"
                                  "Remove all files before opening.");
  }
}

TEST_F(TrialFileTest, AUsFileSwitchesTheProgramToUsUnits) {
  ApplyCalibration(*s, 18);
  ASSERT_TRUE(
      open(v2({}, 0) + TrialFileBuilder().i16(0).i16(0).i16(18).raw("70 ").raw("154").bytes));
  EXPECT_EQ(s->ClientHeight, "70 ");  // 70 * 2.54 = 177.8 -> 178 -> 70.08 -> 70
  EXPECT_EQ(s->ClientWeight, "154");  // 154 / 2.2 = 70 -> 154
  EXPECT_FLOAT_EQ(s->PressurePerCount, 0.003997696f / 4.45f);
  EXPECT_EQ(EntryHeight(clients.entry(1)), "71 ");  // the list in inches too: 180 cm
  EXPECT_EQ(s->ExerciseMode, 1);                    // swim flag 0: Exercise
}

TEST_F(TrialFileTest, ATrialFromAnOldFileIsSavedWithoutTheUnitsBlock) {
  const std::string old = v2({.tag = "Tidemet V2.6"}) + TrialFileBuilder().i16(10).bytes;
  ASSERT_TRUE(open(old));
  std::string saved = TrialFileBytes(*s);
  EXPECT_EQ(saved.substr(0, 12), "Tidemet V5.6");
  EXPECT_EQ(saved.size(), old.size());  // same layout, no units, model, height, weight
  // Such a file opens again, keeping the current model.
  s->ModelCode = 20;
  ASSERT_TRUE(open(saved));
  EXPECT_EQ(s->RecordedModelCode, 20);
}

TEST_F(TrialFileTest, SavingWritesTheSummaryBesideUnlessAutosaveIsOn) {
  TempFolder folder;
  const fs::path& dir = folder.path();
  ASSERT_TRUE(SaveTrialFile(*s, ctx, (dir / "trial.dat").string()));
  EXPECT_EQ(ReadWholeFile(dir / "trial.sum", 100), "summary\r\n");
  s->AutosaveFlag = 1;
  ASSERT_TRUE(SaveTrialFile(*s, ctx, (dir / "B.DAT").string()));
  EXPECT_TRUE(fs::exists(dir / "B.DAT"));
  EXPECT_FALSE(fs::exists(dir / "B.SUM"));
  ASSERT_TRUE(SaveTrialFile(*s, ctx, (dir / "only.sum").string()));
  EXPECT_EQ(ReadWholeFile(dir / "only.sum", 100), "summary\r\n");
  EXPECT_EQ(SummaryPathFor("C:\\T\\RUN.Dat"), "C:\\T\\RUN.Sum");

  // A summary that cannot be made fails the save of the pair: the old data file stays.
  s->AutosaveFlag = 0;
  ASSERT_FALSE(WriteFileAtomically(dir / "x.dat", "old trial"));
  summary.failure = "disk full";
  EXPECT_FALSE(SaveTrialFile(*s, ctx, (dir / "x.dat").string()));
  EXPECT_EQ(lastText(),
            "File: " + UpperPath((dir / "x.sum").string()) + "\r\ncould not be saved: disk full");
  EXPECT_EQ(ReadWholeFile(dir / "x.dat", 100), "old trial");
  EXPECT_EQ(s->CurrentFileName, (dir / "only.sum").string());
}

TEST_F(TrialFileTest, ReplacingAReadOnlyFileIsAskedFirst) {
  TempFolder folder;
  const auto dat = folder.path() / "kept.dat";
  ASSERT_FALSE(WriteFileAtomically(dat, "old"));
  ASSERT_EQ(::chmod(dat.c_str(), 0444), 0);
  alerts.answers = {AlertAnswer::No};
  EXPECT_FALSE(SaveTrialFile(*s, ctx, dat.string()));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text,
            "File: " + UpperPath(dat.string()) + "\r\nis read-only. Replace it?");
  EXPECT_EQ(alerts.shown[0].buttons, AlertButtons::YesNo);
  EXPECT_EQ(ReadWholeFile(dat, 100), "old");
  EXPECT_FALSE(fs::exists(folder.path() / "kept.sum"));
  alerts.answers = {AlertAnswer::Yes};
  EXPECT_TRUE(SaveTrialFile(*s, ctx, dat.string()));
  EXPECT_EQ(ReadWholeFile(dat, kLargestTrialFileBytes), TrialFileBytes(*s));
  EXPECT_TRUE(fs::exists(folder.path() / "kept.sum"));
}

}  // namespace
}  // namespace tidemet
