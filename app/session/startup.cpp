#include "app/session/startup.h"

#include <algorithm>
#include <chrono>

#include "app/files/list_files.h"
#include "app/session/model_table.h"
#include "app/session/monitor_menus.h"
#include "app/session/rounding.h"
#include "app/session/settings_state.h"
#include "app/session/text.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

// The platform's numbers for the errors a start-up can meet.
constexpr int kPathFileAccessError = 75;
constexpr int kInputPastEndOfFile = 62;

constexpr const char* kVersionLabel = "Version 5.6 C2309";
constexpr const char* kCopyrightLine =
    "Copyright (C) 2026 The Tidemet developers. All rights reserved.";

// Step 6: the texts of the reports and graphs, the segment names and the joint set-up.
void setFixedTexts(Session& s, AppInfo& info) {
  info.texts = FixedTexts{"Time",    "(sec)", "Peak Force", "  (N)", "-----", "----------------",
                          "Channel", "Left",  "Right"};
  s.labels.SegmentNames = {"Hand",      "Lower Arm", "Upper Arm", "Trunk",
                           "Upper Leg", "Lower Leg", "Foot"};
  s.Stroke = "Elbow";
  s.CurrentJoint = 2;
  s.PairJoints = {2, 2, 3, 3};
  s.JointAction = 1;
  SetMovementLabels(s);
  s.GraphGain = 1.0f;
}

// Step 9: the pair and limb set-up and the monitor's defaults.
void setPairAndLimb(Session& s) {
  s.PairStartChannel = 0;
  s.PairSecondChannel = 1;
  s.labels.monitor.pair = 0;
  // The channels the model's menu gives it (four for "QV4 - Model 22"), as choosing it would.
  const int16_t menuChannels =
      kModelMenus[static_cast<size_t>(ModelMenuFor(s.ModelCode))].channelCount;
  const int16_t channels = menuChannels != 0 ? menuChannels : s.ModelCode < 7 ? 8 : 2;
  SetChannelCount(s, channels == 8 ? 2 : channels == 4 ? 1 : 0);
  s.LimbMode = 1;
  s.labels.monitor.limb = 0;
  s.PlotThreshold = 1000;
  s.BaselineOffset = kDefaultBaselineOffset;
  s.SampleIndex = 0;
  s.MonitorOnly = 1;
}

// Step 10: the saved model (also the model of the data held) and serial port.
void applyModelAndPort(Session& s) {
  s.RecordedModelCode = s.ModelCode;
  // The demonstration set-up is model 0 with DemoMode, which the common handler clears.
  const bool demo = s.DemoMode == 1 && s.ModelCode == 0;
  ApplyModel(s);
  if (demo) s.DemoMode = 1;
  ChooseComPort(s, s.ComPort);
}

// A first start, or any start, shows forces rather than axes of zeros: the surface area starts
// at the hand area of the current client, what "Type A or B auto" gives the first pair.
void startSurfaceArea(Session& s) {
  const int16_t hand = s.SegmentAreas[0];
  if (s.SurfaceArea <= 0 && hand > 0 && hand <= 3000) s.SurfaceArea = hand;
  s.labels.SurfaceAreaText = SurfaceAreaDisplayText(s);
  ComputeAxisLabels(s);
}

// Step 11: the saved application mode; a swimming set-up starts with the freestyle joint name.
void applyAppMode(Session& s) {
  ChooseAppMode(s, AppModeFor(s.ExerciseMode, s.SwimDistance));
  if (s.ExerciseMode == 3) s.Stroke = "Free";
}

}  // namespace

float MeasureSpeedFactor() {
  // A fixed piece of integer work; the reference machine took 2 ms for it.
  using Clock = std::chrono::steady_clock;
  constexpr double kReferenceSeconds = 0.002;
  volatile uint32_t sink = 0;
  auto start = Clock::now();
  uint32_t x = 1;
  for (int i = 0; i < 2'000'000; ++i) x = x * 1664525u + 1013904223u;
  sink = x;
  (void)sink;
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  double factor = seconds > 0 ? kReferenceSeconds / seconds : 27.0;
  return static_cast<float>(std::clamp(factor, 1.0, 27.0));
}

void SetConstants(AppInfo& info, const StartupEnvironment& env) {
  info.ProductWord = std::string(AppTitle);
  info.ProductWordUpper = "TIDEMET";
  info.VersionTag = info.ProductWord + " V5.6";
  info.InstallFolder = env.installFolder;
  info.CopyrightLine = kCopyrightLine;
  info.VersionLabel = kVersionLabel;
  info.MainTitle = info.ProductWord;
}

std::optional<StartupError> StartupSettings(Session& s, AppInfo& info,
                                            const StartupEnvironment& env) {
  // 1. The working folder keeps its trailing separator.
  std::string folder = env.workingFolder.string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  s.WorkingFolder = folder;

  // 2. company.lst and the first client. A first start creates both lists with defaults.
  if (ListError error = EnsureListFiles(env.workingFolder))
    return StartupError{kPathFileAccessError, error.text};
  CompanySettings saved;
  if (ListError error = ReadStartupLists(s, env.workingFolder, saved)) {
    // What was read before the damage stays; Exit keeps the damaged file aside.
    ApplySavedSettings(s, saved);
    return StartupError{kInputPastEndOfFile, error.text};
  }
  ApplySavedSettings(s, saved);

  // 3. The saved model's calibration.
  ApplyCalibration(s, s.ModelCode);

  // 4. The saved colours are in the session; the windows paint with them when they load.

  // 5. The trial starts empty.
  s.TrialData.fill(0);
  s.SampleCount = 0;

  // 6.
  setFixedTexts(s, info);

  // 7. The rate follows this computer unless a rate was saved.
  s.SpeedFactor = env.speedFactor > 0 ? env.speedFactor : 1.0f;
  s.DelayCount = ClampToInt16(Floor((s.SpeedFactor - 1.0) * 500.0 / 3.0));
  if (saved.delayCount > 0) s.DelayCount = saved.delayCount;
  s.CalibrationFactor = saved.calibrationFactor != 0.0f ? s.CalibrationFactor : 1.0f;
  s.CalibrationSetting = s.CalibrationFactor;
  s.labels.monitor.rate = static_cast<int>(RateCheckFor(s));

  // 8. Units: metric unless US units were saved.
  s.DataVersionTag = info.VersionTag;
  s.UnitsFlag = s.RecordedUnitsFlag = 1;
  ApplyUnitLabels(s.labels, true);
  if (saved.unitsFlag == 0) {
    s.UnitsFlag = s.RecordedUnitsFlag = 0;
    ApplyUnitLabels(s.labels, false);
  }
  ComputeSegmentAreas(s);

  // 9.-11.
  setPairAndLimb(s);
  applyModelAndPort(s);
  applyAppMode(s);
  // Every restored setting shows its check mark in the settings window and the monitor.
  SyncSettingsChecks(s);
  startSurfaceArea(s);

  // 12. The demonstration set-up says so in every title.
  if (s.DemoMode == 1) {
    info.ProductWord += " Demo";
    info.ProductWordUpper += " Demo";
    info.VersionLabel += "D";
    info.MainTitle = info.ProductWord;
  }
  return std::nullopt;
}

std::optional<StartupError> MainFormLoad(Session& s, AppInfo& info, const StartupEnvironment& env,
                                         Alerts& alerts) {
  // 1.
  SetConstants(info, env);
  // 2. The axis values of the 0-6 calibration row.
  for (int i = 1; i <= 11; ++i) s.AxisValues[i] = (7820.0f - 1564.0f * (i - 1)) / 10000.0f;
  // 3.
  info.ScreenWidth = env.screenWidth;
  info.ScreenHeight = env.screenHeight;
  // 4. One error handler for the whole load: the rest of the sequence is skipped.
  std::optional<StartupError> error = StartupSettings(s, info, env);
  if (error) alerts.show(StartupErrorAlert(info, *error));
  return error;
}

Alert StartupErrorAlert(const AppInfo& info, const StartupError& error) {
  return Alert{
      info.ProductWord + " Error",
      "Error Number " + std::to_string(error.number) + std::string(CrLf) + error.description,
      AlertIcon::Exclamation, AlertButtons::Ok};
}

}  // namespace tidemet
