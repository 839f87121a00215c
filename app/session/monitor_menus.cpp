#include "app/session/monitor_menus.h"

#include <algorithm>

#include "app/session/rounding.h"
#include "app/session/settings_state.h"
#include "app/session/text.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

constexpr double kSquareCmPerSquareInch = kCentimetresPerInch * kCentimetresPerInch;

bool validItem(int item, int count) { return item >= 0 && item < count; }

int pairIndex(const Session& s) { return std::clamp(s.PairStartChannel / 2, 0, 3); }

// Segment of the displayed pair: 0 Hand .. 6 Foot, in the order of SegmentNames.
int pairSegment(const Session& s) {
  bool arm = s.LimbMode == 1;
  switch (pairIndex(s)) {
    case 0: return arm ? 0 : 6;
    case 1: return arm ? 1 : 5;
    case 2: return arm ? 2 : 4;
    default: return 3;
  }
}

}  // namespace

void ComputeAxisLabels(Session& s) {
  bool millivolts = s.RecordedModelCode == 20 && s.ChannelCount == 8 && s.PairStartChannel >= 1;
  for (int i = 1; i <= 11; ++i) {
    double v = millivolts ? s.AxisValues[i] * 100.0 / s.GraphGain
                          : s.AxisValues[i] / s.GraphGain * s.SurfaceArea * s.CalibrationFactor;
    s.AxisLabels[i] = ClampToInt16(v);
  }
}

unsigned SetGraphGain(Session& s, int item, bool monitoring) {
  if (!validItem(item, 8)) return kRefreshNone;
  s.GraphGain = kGraphGains[item];
  s.labels.monitor.gain = item;
  if (monitoring) {
    ComputeAxisLabels(s);
    return kRefreshChecks | kRefreshLayout | kRefreshAxisLabels;
  }
  return kRefreshChecks | kRefreshLayout | kRefreshGraphs;
}

RateItem RateCheckFor(const Session& s) {
  double slowBound = s.SpeedFactor * 950.0 - 750.0;
  double mediumBound = s.SpeedFactor * 850.0 - 750.0;
  if (s.DelayCount > slowBound) return RateItem::Slow;
  if (s.DelayCount > mediumBound) return RateItem::Medium;
  return RateItem::Fast;
}

static unsigned checkRate(Session& s) {
  s.labels.monitor.rate = static_cast<int>(RateCheckFor(s));
  return kRefreshChecks;
}

unsigned SetRate(Session& s, RateItem item) {
  const double factor[3] = {1050.0, 900.0, 750.0};
  s.DelayCount = ClampToInt16(s.SpeedFactor * factor[static_cast<int>(item)] - 750.0);
  return checkRate(s);
}

unsigned RateSlower(Session& s) {
  if (s.DelayCount < 28000) s.DelayCount = ClampToInt16(s.DelayCount * 1.1 + 2);
  return checkRate(s);
}

unsigned RateFaster(Session& s) {
  s.DelayCount = std::max<int16_t>(0, ClampToInt16(s.DelayCount * 0.9 - 2));
  return checkRate(s);
}

unsigned SetBuffers(Session& s, int item) {
  if (!validItem(item, 6)) return kRefreshNone;
  s.BufferCount = kBufferCounts[item];
  s.labels.monitor.buffers = item;
  return kRefreshChecks;
}

unsigned SetSensorSeries(Session& s, int item) {
  if (!validItem(item, 5)) return kRefreshNone;
  s.CalibrationFactor = s.CalibrationSetting = 25.0f / static_cast<float>(kSensorSeries[item]);
  s.ModelOffset = 0;
  s.labels.monitor.series = item;
  ComputeAxisLabels(s);
  return kRefreshChecks | kRefreshAxisLabels;
}

unsigned ToggleSensorValue(Session& s, int item) {
  if (!validItem(item, 7)) return kRefreshNone;
  MonitorChecks& checks = s.labels.monitor;
  if (checks.sensorValue == item) {
    checks.sensorValue = -1;
    s.SensorValueOffset = 0;
  } else {
    checks.sensorValue = item;
    s.SensorValueOffset = kSensorValues[item];
    if (s.SensorValueOffset == -2250 || s.SensorValueOffset == -2400) s.PlotThreshold = -3000;
  }
  return kRefreshChecks;
}

unsigned SetSensorType(Session& s, int item) {
  if (!validItem(item, 2)) return kRefreshNone;
  s.SensorType = static_cast<int16_t>(item);
  s.labels.monitor.sensorType = item;
  return kRefreshChecks;
}

unsigned SetChannelCount(Session& s, int item) {
  if (!validItem(item, 3)) return kRefreshNone;
  s.ChannelCount = kChannelCounts[item];
  MonitorChecks& checks = s.labels.monitor;
  checks.channels = item;
  // A two-channel trial keeps the displayed pair at its own columns, so every pair stays
  // available; four channels hold only pairs 1-2 and 3-4.
  for (int p = 0; p < 4; ++p) checks.pairEnabled[p] = s.ChannelCount != 4 || p < 2;
  unsigned refresh = kRefreshChecks;
  if (!checks.pairEnabled[pairIndex(s)]) refresh |= SetPair(s, 0);
  return refresh;
}

unsigned SetPair(Session& s, int item) {
  if (!validItem(item, 4)) return kRefreshNone;
  s.PairStartChannel = static_cast<int16_t>(item * 2);
  s.PairSecondChannel = static_cast<int16_t>(item * 2 + 1);
  if (item == 0) s.SensorValueOffset = 0;
  if (item == 1 && s.ModelCode == 23) s.SensorValueOffset = -2400;
  s.labels.monitor.pair = item;
  return kRefreshChecks | kRefreshLayout;
}

unsigned SetLimb(Session& s, int item) {
  if (!validItem(item, 3)) return kRefreshNone;
  s.LimbMode = static_cast<int16_t>(item + 1);
  if (s.LimbMode == 1) {
    s.SensorValueOffset = 0;
    s.PlotThreshold = 1000;
  } else if (s.LimbMode == 2) {
    s.SensorValueOffset = -2400;
    s.PlotThreshold = 10;
  }
  s.labels.monitor.limb = item;
  return kRefreshChecks;
}

unsigned SwitchUnits(Session& s, bool metric) {
  if ((s.UnitsFlag == 1) == metric) return kRefreshNone;
  s.UnitsFlag = metric ? 1 : 0;
  s.PressurePerCount = metric ? s.PressurePerCount * 4.45f : s.PressurePerCount / 4.45f;
  for (int i = 1; i <= 11; ++i)
    s.AxisValues[i] = metric ? s.AxisValues[i] * 4.45f : s.AxisValues[i] / 4.45f;
  s.labels.SurfaceAreaText = SurfaceAreaDisplayText(s);
  s.ClientHeight = ConvertMeasureText(s.ClientHeight, metric ? kCentimetresPerInch : 1.0 / kCentimetresPerInch);
  s.ClientWeight = ConvertMeasureText(s.ClientWeight, metric ? 1.0 / kPoundsPerKilogram : kPoundsPerKilogram);
  ApplyUnitLabels(s.labels, metric);
  ComputeSegmentAreas(s);
  return kRefreshChecks | kRefreshLabels | kRefreshSurfaceArea;
}

unsigned SetSwimStroke(Session& s, int item) {
  if (!validItem(item, 4)) return kRefreshNone;
  static const char* const kStrokeNames[4] = {"Free", "Breast", "Back", "Fly"};
  s.SwimFlag = static_cast<int16_t>(item + 1);
  s.Stroke = kStrokeNames[item];
  s.labels.monitor.stroke = item;
  // A stroke makes the trial a swim: the settings window's swim item of the distance in force.
  return ApplySwimSetup(s) | kRefreshChecks | kRefreshLabels;
}

void SetMovementLabels(Session& s) {
  static const char* const kPositive[3] = {"Positive", "Flexion", "Adduction"};
  static const char* const kNegative[3] = {"Negative", "Extension", "Abduction"};
  int action = std::clamp<int>(s.JointAction, 0, 2);
  s.labels.PositiveLabel = kPositive[action];
  s.labels.NegativeLabel = kNegative[action];
  s.labels.monitor.movement = action;
}

unsigned SetJoint(Session& s, Joint joint) {
  static const char* const kNames[6] = {"Wrist", "Elbow", "Shoulder", "Hip", "Knee", "Ankle"};
  static const int16_t kCodes[6] = {1, 2, 3, 4, 2, 1};
  int i = static_cast<int>(joint);
  s.CurrentJoint = kCodes[i];
  s.PairJoints[pairIndex(s)] = kCodes[i];
  s.Stroke = kNames[i];
  s.labels.monitor.joint = i;
  SetMovementLabels(s);
  return kRefreshChecks | kRefreshLabels;
}

unsigned SetJointAction(Session& s, int action) {
  if (!validItem(action, 3)) return kRefreshNone;
  s.JointAction = static_cast<int16_t>(action);
  SetMovementLabels(s);
  return kRefreshChecks | kRefreshLabels;
}

unsigned SetSide(Session& s, int item) {
  if (!validItem(item, 2)) return kRefreshNone;
  s.labels.monitor.side = item;
  return kRefreshChecks;
}

std::optional<double> SurfaceAreaNumber(std::string_view text) {
  // Digits with at most one decimal point, blanks around them allowed: a sign, a letter or a
  // second point makes the text no area at all rather than the number in front of it.
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  size_t last = text.find_last_not_of(' ');
  std::string_view number = text.substr(first, last - first + 1);
  int points = 0;
  bool digits = false;
  for (char c : number) {
    if (c == '.') {
      ++points;
    } else if (c >= '0' && c <= '9') {
      digits = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits || points > 1) return std::nullopt;
  return Val(number);
}

Alert SurfaceAreaRefusedAlert(std::string_view typed, bool metric) {
  const std::string range = metric ? "0 to 3000 sq cm" : "0 to 465 sq in";
  return {std::string(AppTitle),
          JoinLines({"\"" + std::string(typed) + "\" is not a surface area.",
                     "Type a number from " + range + "; the surface area stays as it was."}),
          AlertIcon::Exclamation, AlertButtons::Ok};
}

unsigned EnterSurfaceArea(Session& s, Alerts& alerts, std::string& text) {
  if (text.size() > 4) text.resize(4);
  const bool metric = s.UnitsFlag == 1;
  // An emptied box is a user about to type a new area: the old one holds until then.
  if (text.find_first_not_of(' ') == std::string::npos) {
    s.labels.SurfaceAreaText = text;
    return kRefreshNone;
  }
  std::optional<double> typed = SurfaceAreaNumber(text);
  if (!typed) {
    // A negative area would turn every force round and a word would read as 0: refuse both and
    // show the area in force again.
    alerts.show(SurfaceAreaRefusedAlert(text, metric));
    text = SurfaceAreaDisplayText(s);
    s.labels.SurfaceAreaText = text;
    return kRefreshSurfaceArea;
  }
  double value = *typed;
  const double limit = metric ? 3000.0 : 465.0;
  if (value > limit) {
    value = limit;
    text = NumText(static_cast<long long>(limit));
    alerts.show({std::string(AppTitle), "Surface Area value cannot exceed 3000 sq cm (465 sq in).",
                 AlertIcon::Exclamation, AlertButtons::Ok});
  }
  if (!metric) value *= kSquareCmPerSquareInch;
  s.SurfaceArea = ClampToInt16(value);
  s.labels.SurfaceAreaText = text;
  ComputeAxisLabels(s);
  return kRefreshAxisLabels | kRefreshSurfaceArea;
}

unsigned ApplyTypeItem(Session& s, TypeItem item) {
  int pair = pairIndex(s);
  int segment = pairSegment(s);
  const std::string& name = s.labels.SegmentNames[segment];
  unsigned refresh = kRefreshChecks | kRefreshLabels;
  switch (item) {
    case TypeItem::AorBAuto:
      s.PairAreas[pair] = s.SegmentAreas[segment];
      s.PairLabels[pair] = name;
      s.SurfaceArea = s.PairAreas[pair];
      s.labels.SurfaceAreaText = SurfaceAreaDisplayText(s);
      refresh |= kRefreshLayout | kRefreshSurfaceArea;
      break;
    case TypeItem::AorBManual:
      s.PairLabels[pair] = name;
      break;
    case TypeItem::CorD:
      s.PairLabels[pair] = name + " Eqp";
      break;
  }
  s.PairLabel = s.PairLabels[pair];
  s.labels.monitor.typeItem = static_cast<int>(item);
  return refresh;
}

}  // namespace tidemet
