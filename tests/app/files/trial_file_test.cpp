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

class CountingComparison : public ComparisonSeam {
 public:
  int fileCount() const override { return files; }
  void clear() override { files = 0, ++clears; }
  bool openingIntoComparison() const override { return into; }
  int files = 0;
  int clears = 0;
  bool into = false;
};

class RecordingSummary : public SummaryFileSeam {
 public:
  std::optional<std::string> bytes(Session&, std::string& why) override {
    ++made;
    if (failure) why = *failure;
    return failure ? std::nullopt : std::optional<std::string>("summary " + std::to_string(made) + "\r\n");
  }
  bool open(Session&, TrialFileContext&, const std::string& path) override {
    opened.push_back(path);
    return true;
  }
  std::vector<std::string> opened;
  int made = 0;
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
  int16_t first = 0, last = 0;
  SavedChannels(channels, pairStart, first, last);
  for (int j = 0; j < samples; ++j)
    for (int k = first; k <= last; ++k)
      s.TrialData[static_cast<size_t>(j * channels + k)] = static_cast<int16_t>(-32768 + (j * 7 + k * 13) % 65536);
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

TEST_F(TrialFileTest, RoundTripGivesBackEveryFieldAndSample) {
  struct Case { int channels, pairStart, samples; };
  const Case cases[] = {{2, 0, 100}, {2, 6, 14997}, {4, 0, 7500}, {8, 0, 3750}, {8, 0, 0}};
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
    back->ModelCode = 18;
    Session& b = *back;
    ASSERT_TRUE(OpenTrialFile(b, ctx, path)) << (alerts.shown.empty() ? "" : alerts.shown.back().text);
    EXPECT_EQ(b.ChannelCount, c.channels);
    EXPECT_EQ(b.PairStartChannel, c.channels == 2 ? c.pairStart : 0);
    EXPECT_EQ(b.SampleCount, c.samples);
    EXPECT_EQ(b.GraphGain, 0.25f);
    EXPECT_EQ(b.SurfaceArea, 465);
    EXPECT_EQ(b.CalibrationFactor, 25.0f / 90.0f);
    EXPECT_EQ(b.TrialSeconds, 12.34f);
    EXPECT_EQ(b.BaselineOffsets, saved->BaselineOffsets);
    EXPECT_EQ(b.Comments, saved->Comments);
    EXPECT_EQ(b.JointAction, 2);
    EXPECT_EQ(b.PairJoints, saved->PairJoints);
    EXPECT_EQ(b.PairAreas, saved->PairAreas);
    EXPECT_EQ(b.PairLabels, saved->PairLabels);
    EXPECT_EQ(b.RecordedModelCode, 18);
    EXPECT_EQ(b.ExerciseMode, 3);
    EXPECT_EQ(b.ClientWeight, "58 ");
    EXPECT_FLOAT_EQ(b.PressurePerCount, 0.003997696f);
    EXPECT_EQ(b.TrialData, saved->TrialData);
    EXPECT_EQ(b.CurrentFileName, path);
  }
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(TrialFileTest, LayoutIsByteForByte) {
  FillTrial(*s, 2, 4, 2);
  s->TrialData[4] = 0x0102, s->TrialData[5] = -2, s->TrialData[6] = 0x0304, s->TrialData[7] = 7;
  s->TrialData[0] = 99;  // not a column of the pair: not written
  s->DataClientName = "Ann";
  s->Comments = "c";
  s->PairLabel = "Foot";
  s->ClientHeight = "48";
  s->ClientWeight = "130";
  testing::TrialFileBuilder expected;
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

TEST_F(TrialFileTest, EveryTagOpensWithTheDefaultsForWhatItLacks) {
  struct Case {
    const char* tag;
    bool version2, distance, units;
    int16_t model;         // RecordedModelCode after the open
    int16_t swimDistance;  // after the open (current is 15, file says 20 where it has one)
  };
  std::vector<Case> cases = {
      {"Tidemet V1SA", false, false, false, 21, 15}, {"Tidemet V1.1", false, false, false, 21, 15},
  };
  for (const char* t : {"Tidemet V2.0", "Tidemet V2.1", "Tidemet V2.2", "Tidemet V2.3"})
    cases.push_back({t, true, false, false, 3, 0});
  for (const char* t : {"Tidemet V2.4", "Tidemet V2.5", "Tidemet V2.6"}) cases.push_back({t, true, true, false, 3, 20});
  for (const char* t : {"Tidemet V3.0", "Tidemet V3.1", "Tidemet V3.2", "Tidemet V3.3", "Tidemet V3.4"})
    cases.push_back({t, true, true, false, 12, 20});
  cases.push_back({"Tidemet V3.5", true, true, false, 21, 20});  // ends after the swim distance
  cases.push_back({"Tidemet V3.5", true, true, true, 9, 20});
  for (const char* t : {"Tidemet V3.6", "Tidemet V3.7", "Tidemet V3.8", "Tidemet V3.9", "Tidemet V4.0",
                        "Tidemet V4.1", "Tidemet V4.2", "Tidemet V4.3", "Tidemet V5.0", "Tidemet V5.1",
                        "Tidemet V5.2", "Tidemet V5.4", "Tidemet V5.5", "Tidemet V5.6"})
    cases.push_back({t, true, true, true, 9, 20});
  ASSERT_EQ(cases.size(), 30u);  // 29 tags, V3.5 twice

  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    auto fresh = std::make_unique<Session>();
    Session& t = *fresh;
    t.ClientName = t.DataClientName = "Ann Lee";
    t.ModelCode = 21;
    t.SwimDistance = 15;
    t.PairAreas = {5, 5, 5, 5};
    t.ClientHeight = "165";
    FileHeader h;
    h.tag = c.tag;
    auto b = BuildV1Part(h);
    if (c.version2) AddVersion2(b);
    if (c.distance) b.i16(20);
    if (c.units) b.i16(1).i16(9).raw("190").raw("95 ");
    ASSERT_TRUE(OpenTrialBytes(t, ctx, "t.dat", b.bytes));
    EXPECT_EQ(t.DataVersionTag, c.tag);
    EXPECT_EQ(t.RecordedModelCode, c.model);
    EXPECT_EQ(t.SwimDistance, c.swimDistance);
    EXPECT_FLOAT_EQ(t.PressurePerCount, CalibrationFor(c.model, 2.35f).PressurePerCount);
    EXPECT_EQ(t.PairAreas[0], c.version2 ? 11 : 5);
    EXPECT_EQ(t.ExerciseMode, c.version2 ? 3 : 1);  // swim flag 2 in the files
    EXPECT_EQ(t.ClientHeight, c.units ? "190" : "165");
    EXPECT_EQ(t.TrialData[5], 1021);  // sample 2, channel 1
    EXPECT_EQ(t.BaselineOffsets[2], 79);
    EXPECT_EQ(t.BaselineOffsets[3], -79);
  }
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(TrialFileTest, UnknownTagsAreRefusedWithTheirMessage) {
  for (std::string tag : {"Tidemet V5.3", "Tidemet V6.0", "TIDEMET V5.6", "Tidemet V5."}) {
    EXPECT_FALSE(open(v2({.tag = tag}), "/data/old.dat")) << tag;
  }
  EXPECT_FALSE(open(""));
  ASSERT_EQ(alerts.shown.size(), 5u);
  EXPECT_EQ(alerts.shown[0].title, "Tidemet");
  EXPECT_EQ(alerts.shown[0].text,
            "File: /DATA/OLD.DAT\r\nis not an Tidemet Version 1.1, 2.X, or 3.X file\r\n"
            "and cannot be opened with this program.");
  EXPECT_EQ(s->OpenFailed, 1);
}

TEST_F(TrialFileTest, DamagedFilesAreRefusedAndTheTrialStaysWhole) {
  auto withHeader = [](auto change) {
    FileHeader h;
    change(h);
    return v2(h) + testing::TrialFileBuilder().i16(20).i16(1).i16(9).raw("190").raw("95 ").bytes;
  };
  const std::string good = withHeader([](FileHeader&) {});
  struct Case { std::string bytes; std::string reason; };
  const Case cases[] = {
      {withHeader([](FileHeader& h) { h.samples = 15001; }), "holds more samples than a trial can keep (30001)."},
      {withHeader([](FileHeader& h) { h.samples = 14998; h.pairStart = 6; }), "holds more samples than a trial can keep (30001)."},
      {withHeader([](FileHeader& h) { h.channels = 8; h.samples = 3751; }), "holds more samples than a trial can keep (30001)."},
      {withHeader([](FileHeader& h) { h.samples = -1; }), "has a negative sample count."},
      {withHeader([](FileHeader& h) { h.channels = 3; }), "has a channel count other than 2, 4 or 8."},
      {withHeader([](FileHeader& h) { h.pairStart = 3; }), "has a pair start channel other than 0, 2, 4 or 6."},
      {withHeader([](FileHeader& h) { h.pairStart = 8; }), "has a pair start channel other than 0, 2, 4 or 6."},
      {withHeader([](FileHeader& h) { h.limb = 0; }), "has an unknown limb mode."},
      {withHeader([](FileHeader& h) { h.limb = 4; }), "has an unknown limb mode."},
      {withHeader([](FileHeader& h) { h.gain = 0.0f; }), "has a gain, calibration factor or trial time that is not a number."},
      {good.substr(0, 60), "ends inside its header."},
      {good.substr(0, 70), "ends before its samples."},
      {good.substr(0, good.size() - 13), "ends inside its pair set-up."},
      {good.substr(0, good.size() - 20), "has a text that runs past the end of the file."},
      {good.substr(0, good.size() - 3), "ends inside its units block."},
      {good.substr(0, 12) + std::string("\xFF\xFF\x00\x00\x00\x00", 6) + good.substr(18), "has a negative text length."},
      {good.substr(0, 12) + std::string("\x00\x7F\x00\x00\x00\x00", 6) + good.substr(18), "has a text that runs past the end of the file."},
      {good.substr(0, good.size() - 10) + std::string("\x07\x00\x09\x00", 4) + "19095 ", "has an unknown units flag."},
      {good.substr(0, good.size() - 10) + std::string("\x01\x00\x18\x00", 4) + "19095 ", "has an unknown interface model."},
  };
  FillTrial(*s, 8, 0, 50);
  s->CurrentFileName = "/data/kept.dat";
  s->OpenedFromFile = 1;
  comparison.files = 2;
  auto before = std::make_unique<Session>();
  *before = *s;
  for (const auto& c : cases) {
    alerts.shown.clear();
    EXPECT_FALSE(open(c.bytes, "/data/bad.dat")) << c.reason;
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].text,
              "File: /DATA/BAD.DAT\r\n" + c.reason + "\r\nand cannot be opened with this program.");
    EXPECT_EQ(s->OpenFailed, 1);
    EXPECT_EQ(s->OpenedFromFile, 0);
    EXPECT_EQ(s->TrialData, before->TrialData);
    EXPECT_EQ(s->SampleCount, 50);
    EXPECT_EQ(s->ChannelCount, 8);
    EXPECT_EQ(s->CurrentFileName, "/data/kept.dat");
    EXPECT_EQ(s->Comments, before->Comments);
    EXPECT_EQ(comparison.files, 2);
  }
  EXPECT_TRUE(open(good));  // the file the cases were cut from is sound
}

TEST_F(TrialFileTest, AVersion1FileOfAnotherClientIsRefused) {
  EXPECT_FALSE(open(BuildV1Part({.tag = "Tidemet V1.1", .client = "Bo Berg"}).bytes, "c:/t/one.dat"));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text,
            "File: C:/T/ONE.DAT\r\ncontains data for Client: Bo Berg\r\nChange Client or select another file.");
  EXPECT_EQ(s->ClientName, "Ann Lee");
}

TEST_F(TrialFileTest, ALaterFileOfAnotherClientMakesThatClientCurrent) {
  struct Case { std::string client; int selected; const char* name; const char* height; int clears; };
  const Case cases[] = {
      {"Bo Berg", 1, "Bo Berg", "180", 1},
      {"Nobody", 0, "Ann Lee", "165", 1},  // not in the list: entry 0
      {"", 0, "Ann Lee", "165", 1},        // an empty name matches no entry past the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.client);
    s->ClientName = s->DataClientName = "Cy";
    comparison.files = 3;
    comparison.clears = 0;
    ASSERT_TRUE(open(v2({.tag = "Tidemet V3.0", .client = c.client})));
    EXPECT_EQ(clients.selected(), c.selected);
    EXPECT_EQ(s->ClientName, c.name);
    EXPECT_EQ(s->ClientHeight, c.height);
    EXPECT_EQ(s->DataClientName, c.client);
    EXPECT_EQ(s->FileClientName, c.client);
    EXPECT_EQ(comparison.clears, c.clears);
  }
}

TEST_F(TrialFileTest, ASwimDistanceOfZeroKeepsTheCurrentOne) {
  struct Case { int distance; int16_t expected; AppMode mode; };
  const Case cases[] = {{0, 15, AppMode::Swim15}, {25, 25, AppMode::Swim25}};
  for (const auto& c : cases) {
    s->SwimDistance = 15;
    ASSERT_TRUE(open(v2({.tag = "Tidemet V2.4"}, 1) + testing::TrialFileBuilder().i16(c.distance).bytes));
    EXPECT_EQ(s->SwimDistance, c.expected);
    EXPECT_EQ(s->ExerciseMode, 3);
    EXPECT_EQ(s->SwimGraphFlag, 1);
    EXPECT_EQ(s->settingsChecks.appMode, c.mode);
  }
}

// A file of another pair or limb clears the comparison, or is refused when it is opened into
// the comparison.
TEST_F(TrialFileTest, AnotherPairOrLimbClearsTheComparisonOrIsRefusedInIt) {
  struct Case { int pairStart, limb; bool into; int clears; bool opens; };
  const Case cases[] = {{0, 1, false, 0, true}, {2, 1, false, 1, true}, {0, 3, false, 1, true},
                        {0, 1, true, 0, true},  {2, 1, true, 0, false}, {0, 3, true, 0, false}};
  for (const auto& c : cases) {
    s->PairStartChannel = 0;
    s->LimbMode = 1;
    comparison.into = c.into;
    comparison.files = 2;
    comparison.clears = 0;
    alerts.shown.clear();
    SCOPED_TRACE(::testing::Message() << c.pairStart << " " << c.limb << " " << c.into);
    EXPECT_EQ(open(v2({.pairStart = c.pairStart, .limb = c.limb}), "/d/p.dat"), c.opens);
    EXPECT_EQ(comparison.clears, c.clears);
    EXPECT_EQ(s->PairStartChannel, c.opens ? c.pairStart : 0);  // a two-channel file brings its pair
    EXPECT_EQ(s->LimbMode, c.opens ? c.limb : 1);
    EXPECT_EQ(lastText(),
              c.opens ? "" : "Resistive surface or joint action\r\nfor /D/P.DAT\r\n"
                             "does not match with above file(s).\r\nRemove all files before opening.");
  }
}

TEST_F(TrialFileTest, AUsFileSwitchesTheProgramToUsUnits) {
  ApplyCalibration(*s, 18);  // 70 in, 154 lbs
  ASSERT_TRUE(open(v2({}, 0) + testing::TrialFileBuilder().i16(0).i16(0).i16(18).raw("70 ").raw("154").bytes));
  EXPECT_EQ(s->UnitsFlag, 0);
  EXPECT_EQ(s->RecordedUnitsFlag, 0);
  EXPECT_EQ(s->ClientHeight, "70 ");  // 70 * 2.54 = 177.8 -> 178 -> 70.08 -> 70
  EXPECT_EQ(s->ClientWeight, "154");  // 154 / 2.2 = 70 -> 154
  EXPECT_FLOAT_EQ(s->PressurePerCount, 0.003997696f / 4.45f);
  EXPECT_EQ(s->labels.units.Force, "Force (lbs)");
  EXPECT_EQ(EntryHeight(clients.entry(1)), "71 ");  // 180 cm in inches
  EXPECT_EQ(EntryWeight(clients.entry(1)), "176");
  EXPECT_EQ(s->ExerciseMode, 1);  // swim flag 0: Exercise
}

TEST_F(TrialFileTest, ATrialFromAnOldFileIsSavedWithoutTheUnitsBlock) {
  const std::string old = v2({.tag = "Tidemet V2.6"}) + testing::TrialFileBuilder().i16(10).bytes;
  ASSERT_TRUE(open(old));
  std::string saved = TrialFileBytes(*s);
  EXPECT_EQ(saved.substr(0, 12), "Tidemet V5.6");
  EXPECT_EQ(saved.size(), old.size());  // same layout, no units, model, height, weight
  // Such a file opens again, keeping the current model and units.
  s->ModelCode = 20;
  ASSERT_TRUE(open(saved));
  EXPECT_EQ(s->RecordedModelCode, 20);
}

TEST_F(TrialFileTest, SavingWritesTheSummaryBesideUnlessAutosaveIsOn) {
  TempFolder folder;
  const std::string dat = (folder.path() / "trial.dat").string();
  ASSERT_TRUE(SaveTrialFile(*s, ctx, dat));
  EXPECT_EQ(ReadWholeFile(folder.path() / "trial.sum", 100), "summary 1\r\n");
  s->AutosaveFlag = 1;
  ASSERT_TRUE(SaveTrialFile(*s, ctx, (folder.path() / "B.DAT").string()));
  EXPECT_EQ(summary.made, 1);
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "B.DAT"));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "B.SUM"));
  ASSERT_TRUE(SaveTrialFile(*s, ctx, (folder.path() / "only.sum").string()));
  EXPECT_EQ(ReadWholeFile(folder.path() / "only.sum", 100), "summary 2\r\n");
  EXPECT_EQ(SummaryPathFor("C:\\T\\RUN.Dat"), "C:\\T\\RUN.Sum");
}

TEST_F(TrialFileTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
  TempFolder folder;
  const auto dat = folder.path() / "trial.dat";
  std::filesystem::create_directories(dat / "inside");  // a folder where the file should go
  s->CurrentFileName = "before.dat";
  EXPECT_FALSE(SaveTrialFile(*s, ctx, dat.string()));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text.rfind("File: " + UpperPath(dat.string()) + "\r\ncould not be saved: ", 0), 0u);
  EXPECT_EQ(s->CurrentFileName, "before.dat");

  // The summary cannot be made: the old data file stays as it was.
  const auto old = folder.path() / "x.dat";
  ASSERT_FALSE(WriteFileAtomically(old, "old trial"));
  summary.failure = "disk full";
  EXPECT_FALSE(SaveTrialFile(*s, ctx, old.string()));
  EXPECT_EQ(alerts.shown.back().text, "File: " + UpperPath((folder.path() / "x.sum").string()) +
                                          "\r\ncould not be saved: disk full");
  EXPECT_EQ(ReadWholeFile(old, 100), "old trial");
}

TEST_F(TrialFileTest, ReplacingAReadOnlyFileIsAskedFirst) {
  TempFolder folder;
  const auto dat = folder.path() / "kept.dat";
  ASSERT_FALSE(WriteFileAtomically(dat, "old"));
  ASSERT_EQ(::chmod(dat.c_str(), 0444), 0);
  alerts.answers = {AlertAnswer::No};
  EXPECT_FALSE(SaveTrialFile(*s, ctx, dat.string()));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text, "File: " + UpperPath(dat.string()) + "\r\nis read-only. Replace it?");
  EXPECT_EQ(alerts.shown[0].buttons, AlertButtons::YesNo);
  EXPECT_EQ(ReadWholeFile(dat, 100), "old");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "kept.sum"));
  alerts.answers = {AlertAnswer::Yes};
  EXPECT_TRUE(SaveTrialFile(*s, ctx, dat.string()));
  EXPECT_NE(ReadWholeFile(dat, kLargestTrialFileBytes), "old");
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "kept.sum"));
}

TEST_F(TrialFileTest, OpeningChoosesTheReaderByTheName) {
  EXPECT_TRUE(OpenTrialFile(*s, ctx, "/x/a.SUM"));
  ASSERT_EQ(summary.opened.size(), 1u);
  EXPECT_FALSE(OpenTrialFile(*s, ctx, "/nonexistent/a.dat"));
  EXPECT_EQ(alerts.shown.back().text,
            "File: /NONEXISTENT/A.DAT\r\ncannot be opened: No such file or directory.\r\n"
            "and cannot be opened with this program.");
  NoSummaryFile none;
  TrialFileContext plain{alerts, clients, comparison, none};
  EXPECT_FALSE(OpenTrialFile(*s, plain, "/x/a.sum"));
  EXPECT_EQ(s->OpenFailed, 1);
}

}  // namespace
}  // namespace tidemet
