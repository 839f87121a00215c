#include "app/session/settings_state.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/session/model_table.h"
#include "app/session/monitor_menus.h"

namespace tidemet {
namespace {

struct ModeRow {
  int16_t exerciseMode;
  int16_t swimDistance;
  int16_t swimFlag;  // -1: left as it is
};

constexpr ModeRow kModes[8] = {
    {1, 0, 0},  {2, 0, -1}, {3, 0, 1},  {3, 10, 1},
    {3, 15, 1}, {3, 20, 1}, {3, 25, 1}, {4, 0, -1},
};

bool isSwim(AppMode mode) { return mode != AppMode::Exercise && mode != AppMode::Research && mode != AppMode::Therapy; }

}  // namespace

unsigned ChooseComPort(Session& s, int port) {
  if (port < 1 || port > 16) return kRefreshNone;
  // The checked port is the port in use and the one company.lst keeps, so a Com 5-16 unit is
  // found again after a restart; only Com 1-4 have a port address.
  s.settingsChecks.com = port;
  s.ComPort = static_cast<int16_t>(port);
  if (port <= 4) s.ComPortAddress = kComPortAddresses[port - 1];
  return kRefreshChecks;
}

unsigned ChooseNode(Session& s, int item) {
  if (item < 0 || item > 2) return kRefreshNone;
  s.UnitNode = kUnitNodes[item];
  s.settingsChecks.node = item;
  return kRefreshChecks;
}

unsigned ChooseComputer(Session& s, int item) {
  if (item < 0 || item > 1) return kRefreshNone;
  s.ComputerClass = static_cast<int16_t>(item);
  s.settingsChecks.computer = item;
  return kRefreshChecks;
}

unsigned ChooseAppMode(Session& s, AppMode mode) {
  const ModeRow& row = kModes[static_cast<int>(mode)];
  s.ExerciseMode = row.exerciseMode;
  s.SwimDistance = row.swimDistance;
  if (row.swimFlag >= 0) s.SwimFlag = row.swimFlag;
  s.SwimGraphFlag = isSwim(mode) ? 1 : 0;
  s.settingsChecks.appMode = mode;
  return kRefreshChecks | kRefreshLabels;
}

AppMode AppModeFor(int16_t exerciseMode, int16_t swimDistance) {
  switch (exerciseMode) {
    case 2: return AppMode::Research;
    case 4: return AppMode::Therapy;
    case 3:
      switch (swimDistance) {
        case 10: return AppMode::Swim10;
        case 15: return AppMode::Swim15;
        case 20: return AppMode::Swim20;
        case 25: return AppMode::Swim25;
        default: return AppMode::Swim;
      }
    default: return AppMode::Exercise;
  }
}

unsigned ApplyExerciseSetup(Session& s) { return ChooseAppMode(s, AppMode::Exercise); }

unsigned ApplySwimSetup(Session& s) {
  s.ExerciseMode = 3;
  s.SwimGraphFlag = 1;
  s.settingsChecks.appMode = AppModeFor(3, s.SwimDistance);
  return kRefreshChecks | kRefreshLabels;
}

unsigned ApplyTrialModeSetup(Session& s) {
  return s.SwimFlag < 1 ? ApplyExerciseSetup(s) : ApplySwimSetup(s);
}

void SyncSettingsChecks(Session& s) {
  SettingsChecks& c = s.settingsChecks;
  if (kModelMenus[static_cast<size_t>(std::clamp(c.model, 0, static_cast<int>(kModelMenus.size()) - 1))].modelCode != s.ModelCode)
    c.model = ModelMenuFor(s.ModelCode);
  c.com = (s.ComPort >= 1 && s.ComPort <= 16) ? s.ComPort : 0;
  c.node = 0;
  for (size_t i = 0; i < kUnitNodes.size(); ++i)
    if (kUnitNodes[i] == s.UnitNode) c.node = static_cast<int>(i);
  c.computer = s.ComputerClass == 0 ? 0 : 1;
  c.appMode = AppModeFor(s.ExerciseMode, s.SwimDistance);
  c.autosave = s.AutosaveFlag != 0;

  // The monitor's restored sensor settings.
  MonitorChecks& m = s.labels.monitor;
  m.sensorType = s.SensorType == 1 ? 1 : 0;
  m.sensorValue = -1;  // an offset of 0 is what an unchecked item leaves
  for (int i = 1; i < static_cast<int>(std::size(kSensorValues)); ++i)
    if (kSensorValues[i] == s.SensorValueOffset) m.sensorValue = i;
  // The series whose factor 25 / series is the calibration factor; a checked 90DP stays, as it
  // has the factor of Series 90.
  auto fits = [&](int item) {
    return item >= 0 && item < static_cast<int>(std::size(kSensorSeries)) &&
           std::fabs(25.0f / static_cast<float>(kSensorSeries[item]) - s.CalibrationFactor) < 1e-6f;
  };
  for (int i = 0; i < static_cast<int>(std::size(kSensorSeries)) && !fits(m.series); ++i)
    if (fits(i)) m.series = i;
}

unsigned ToggleAutosave(Session& s) {
  s.AutosaveFlag = s.AutosaveFlag ? 0 : 1;
  s.settingsChecks.autosave = s.AutosaveFlag != 0;
  return kRefreshChecks;
}

unsigned SetColor(Session& s, ColorItem item, int32_t rgb) {
  rgb &= 0xFFFFFF;
  switch (item) {
    case ColorItem::WindowFore: s.WindowForeColor = rgb; break;
    case ColorItem::WindowBack: s.WindowBackColor = rgb; break;
    case ColorItem::DataFore: s.DataForeColor = rgb; break;
    case ColorItem::DataBack: s.DataBackColor = rgb; break;
  }
  return kRefreshColors;
}

unsigned BlackOnWhite(Session& s) {
  s.WindowBackColor = s.DataBackColor = 0xFFFFFF;
  s.WindowForeColor = s.DataForeColor = 0x000000;
  return kRefreshColors;
}

void TakeInstitutionLines(Session& s, const std::array<std::string, 6>& boxes) {
  s.InstitutionLines = boxes;
}

}  // namespace tidemet
