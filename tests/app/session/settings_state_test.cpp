#include "app/session/settings_state.h"

#include <gtest/gtest.h>

#include <memory>

namespace tidemet {
namespace {

TEST(SettingsState, EveryComPortIsThePortInUseOnlyOneToFourHaveAnAddress) {
  auto s = std::make_unique<Session>();
  const int16_t addresses[] = {1016, 760, 1000, 744};
  for (int port = 1; port <= 4; ++port) {
    ChooseComPort(*s, port);
    EXPECT_EQ(s->ComPort, port);
    EXPECT_EQ(s->ComPortAddress, addresses[port - 1]);
  }
  // company.lst keeps ComPort: a USB serial adapter on Com 16, the last, is found again after a
  // restart.
  ChooseComPort(*s, 16);
  EXPECT_EQ(s->settingsChecks.com, 16);
  EXPECT_EQ(s->ComPort, 16);
  EXPECT_EQ(s->ComPortAddress, 744);
  ChooseComPort(*s, 17);
  EXPECT_EQ(s->settingsChecks.com, 16);
  EXPECT_EQ(s->ComPort, 16);
}

TEST(SettingsState, ApplicationModesAreOneGroup) {
  struct Case { AppMode mode; int16_t exercise, distance, swimFlag, graph; };
  const Case cases[] = {
      {AppMode::Swim20, 3, 20, 1, 1},  {AppMode::Research, 2, 0, 1, 0},  // research keeps the flag
      {AppMode::Exercise, 1, 0, 0, 0}, {AppMode::Swim, 3, 0, 1, 1},
      {AppMode::Therapy, 4, 0, 1, 0},  {AppMode::Swim10, 3, 10, 1, 1},
  };
  auto s = std::make_unique<Session>();
  for (const auto& c : cases) {
    ChooseAppMode(*s, c.mode);
    EXPECT_EQ(s->ExerciseMode, c.exercise);
    EXPECT_EQ(s->SwimDistance, c.distance);
    EXPECT_EQ(s->SwimFlag, c.swimFlag);
    EXPECT_EQ(s->SwimGraphFlag, c.graph);
    EXPECT_EQ(s->settingsChecks.appMode, c.mode);
    EXPECT_EQ(AppModeFor(s->ExerciseMode, s->SwimDistance), c.mode);
  }
}

TEST(SettingsState, ColoursAutosaveAndNode) {
  auto s = std::make_unique<Session>();
  BlackOnWhite(*s);
  EXPECT_EQ(s->WindowBackColor, 0xFFFFFF);
  EXPECT_EQ(s->DataBackColor, 0xFFFFFF);
  EXPECT_EQ(s->WindowForeColor, 0);
  EXPECT_EQ(s->DataForeColor, 0);
  ToggleAutosave(*s);
  ToggleAutosave(*s);
  EXPECT_EQ(s->AutosaveFlag, 0);
  ChooseNode(*s, 2);
  EXPECT_EQ(s->UnitNode, 987);
}

TEST(SettingsState, ChecksFollowRestoredSettings) {
  auto s = std::make_unique<Session>();
  s->ModelCode = 21;
  s->ComPort = 9;
  s->UnitNode = 987;
  s->ComputerClass = 0;
  s->ExerciseMode = 3;
  s->SwimDistance = 25;
  s->AutosaveFlag = 1;
  SyncSettingsChecks(*s);
  EXPECT_EQ(s->settingsChecks.model, 22);  // "QV2 - Model 21", the first of the two
  EXPECT_EQ(s->settingsChecks.com, 9);
  EXPECT_EQ(s->settingsChecks.node, 2);
  EXPECT_EQ(s->settingsChecks.computer, 0);
  EXPECT_EQ(s->settingsChecks.appMode, AppMode::Swim25);
  EXPECT_TRUE(s->settingsChecks.autosave);
  s->settingsChecks.model = 23;  // "QV4 - Model 21" chosen earlier stays checked
  SyncSettingsChecks(*s);
  EXPECT_EQ(s->settingsChecks.model, 23);
}

TEST(SettingsState, TheMonitorsSensorChecksFollowRestoredSettings) {
  struct Case {
    float factor;
    int16_t type, value;
    int series, typeCheck, valueCheck;
  };
  const Case cases[] = {
      {1.0f, 0, 0, 0, 0, -1},
      {0.625f, 1, -2250, 1, 1, 5},
      {0.3125f, 0, -100, 2, 0, 1},
      {25.0f / 90.0f, 1, -2400, 3, 1, 6},
  };
  for (const auto& c : cases) {
    auto s = std::make_unique<Session>();
    s->CalibrationFactor = c.factor;
    s->SensorType = c.type;
    s->SensorValueOffset = c.value;
    SyncSettingsChecks(*s);
    EXPECT_EQ(s->labels.monitor.series, c.series) << c.factor;
    EXPECT_EQ(s->labels.monitor.sensorType, c.typeCheck) << c.factor;
    EXPECT_EQ(s->labels.monitor.sensorValue, c.valueCheck) << c.factor;
  }
  auto s = std::make_unique<Session>();
  s->CalibrationFactor = 25.0f / 90.0f;
  s->labels.monitor.series = 4;  // Series 90DP has the factor of Series 90 and stays checked
  SyncSettingsChecks(*s);
  EXPECT_EQ(s->labels.monitor.series, 4);
}

}  // namespace
}  // namespace tidemet
