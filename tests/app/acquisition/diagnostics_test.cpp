#include "app/acquisition/diagnostics.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/acquisition/stored_value.h"
#include "app/session/model_table.h"

namespace tidemet {
namespace {

constexpr const char* kCpuInfo =
    "processor\t: 0\n"
    "vendor_id\t: GenuineIntel\n"
    "model name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\n"
    "cpu MHz\t\t: 1799.501\n"
    "\n"
    "processor\t: 1\n"
    "model name\t: Other\n"
    "cpu MHz\t\t: 400.000\n";

TEST(DiagnosticsTest, ProcessorTypeAndSpeedComeFromTheFirstProcessor) {
  const CpuInfo info = ParseCpuInfo(kCpuInfo);
  EXPECT_EQ(info.type, "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz");
  EXPECT_EQ(info.speed, "1800 MHz");
  // An ARM board names no model and no speed; garbage yields nothing.
  const CpuInfo arm = ParseCpuInfo("processor\t: 0\nBogoMIPS\t: 108.00\nCPU part\t: 0xd08\n");
  EXPECT_EQ(arm.type, "");
  EXPECT_EQ(arm.speed, "");
  EXPECT_EQ(ParseCpuInfo("cpu MHz : nan\nmodel name").speed, "");
}

// The ends of each run of codes that share a name.
TEST(DiagnosticsTest, ModelNamesFollowTheModelCode) {
  const std::pair<int16_t, const char*> cases[] = {{0, "QF8"},
                                                   {4, "QW2"},
                                                   {5, ""},
                                                   {6, ""},
                                                   {7, "QV2 - Model 7"},
                                                   {8, "RV2 - Model 8"},
                                                   {9, "QV2 - Model 9"},
                                                   {13, "QV4 - Model 13"},
                                                   {17, "RV2 - Model 17"},
                                                   {20, "QV2 - Model 20"},
                                                   {21, "QV2 - Model 21"},
                                                   {22, "QV2 - Model 22"},
                                                   {23, "QV4 - Model 22"},
                                                   {24, ""}};
  auto s = std::make_unique<Session>();
  for (const auto& [code, name] : cases) {
    s->ModelCode = code;
    EXPECT_EQ(DiagModelName(*s).value_or(""), name) << code;
  }
  s->ModelCode = 21;
  for (size_t i = 0; i < kModelMenus.size(); ++i)
    if (kModelMenus[i].name == "Model21QV4Menu") s->settingsChecks.model = static_cast<int>(i);
  EXPECT_EQ(*DiagModelName(*s), "QV4 - Model 21");
}

// A reading no sample can hold is nonsense from the interface; the RF1 names its supplies.
TEST(DiagnosticsTest, ReadingsBeyondASampleAreTransmissionErrors) {
  Session usb;
  usb.ModelCode = 7;
  ReadingSet r;
  r.set(0, 31767);  // stored as 32767: fits
  EXPECT_FALSE(ReadingsOutOfRange(usb, r));
  r.set(1, 31768);
  EXPECT_TRUE(ReadingsOutOfRange(usb, r));
  EXPECT_EQ(TransmissionAlert(7).text, "Transmission values are out of range.");
  const Alert rf1 = TransmissionAlert(1);
  EXPECT_EQ(rf1.title, "Tidemet Warning");
  EXPECT_EQ(rf1.text,
            "Transmission values are out of range.\r\nCheck that the power supplies\r\nfor the RSU "
            "and CIU are adequate.");
}

TEST(DiagnosticsTest, DataRateIsTheWholeSamplesPerSecondOfTheLastRecording) {
  EXPECT_EQ(DataRate(1500, 15.0f), 100);
  EXPECT_EQ(DataRate(1499, 15.0f), 99);
  EXPECT_EQ(DataRate(1500, 0.0f), 0);
}

TEST(DiagnosticsTest, LabelsShowTheSettingsInOrder) {
  auto s = std::make_unique<Session>();
  s->ModelCode = 20;
  s->DelayCount = 3;
  s->ChannelCount = 8;
  s->SampleCount = 1500;
  s->TrialSeconds = 15.0f;
  s->SaveLastChannel = 3;
  const auto labels = DiagLabels(*s, {"Test CPU", "1000 MHz"}, {}, 2, 5);
  ASSERT_EQ(labels.size(), 18u);
  // One label of each kind of source, in its place.
  const std::vector<std::pair<size_t, std::string>> expected = {
      {0, "CPU Type: Test CPU"},       {2, "Delay: 3"},         {4, "Last Channel: 3"},
      {6, "Error Code: 0 : dd = 2"},   {7, "Model: QV2 - Model 20"}, {8, "Data Rate: 100"},
      {12, "Data Time:  15"},          {17, "Failed Readings: 5"},
  };
  for (const auto& [i, text] : expected) EXPECT_EQ(labels[i].caption + " " + labels[i].value, text);
}

TEST(DiagnosticsTest, AReadingPassStoresChannelCInElementCAndShowsTheRest) {
  auto s = std::make_unique<Session>();
  RecordingAlerts alerts;
  s->ModelCode = 7;
  s->ChannelCount = 2;
  s->PairStartChannel = 4;  // the pair's columns are not where the loop stores
  s->PairSecondChannel = 5;
  s->SampleIndex = 40;
  for (int c = 0; c < 8; ++c) s->TrialData[static_cast<size_t>(c)] = static_cast<int16_t>(c * 11);
  ReadingSet r;
  r.set(0, 12);
  r.set(1, -7);
  DiagStoreReadings(*s, r, alerts);
  EXPECT_EQ(DiagValueText(*s), "1012\r\n993\r\n22\r\n33\r\n44\r\n55\r\n66\r\n77");
  EXPECT_EQ(s->TrialData[static_cast<size_t>(s->trialIndex(40, 4))], 0);
}

}  // namespace
}  // namespace tidemet
