#include "app/session/monitor_menus.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/session/units.h"

namespace tidemet {
namespace {

class MonitorMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s = std::make_unique<Session>();
    for (int i = 1; i <= 11; ++i) s->AxisValues[i] = (7820.0f - 1564.0f * (i - 1)) / 10000.0f;
    s->SurfaceArea = 100;
  }
  std::unique_ptr<Session> s;
  RecordingAlerts alerts;
};

TEST_F(MonitorMenusTest, AxisLabelsForTheDocumentedExample) {
  ComputeAxisLabels(*s);
  const int16_t expected[11] = {78, 63, 47, 31, 16, 0, -16, -31, -47, -63, -78};
  for (int i = 1; i <= 11; ++i) EXPECT_EQ(s->AxisLabels[i], expected[i - 1]) << i;

  // The extra channels of model 20 carry plain millivolts.
  s->RecordedModelCode = 20;
  s->ChannelCount = 8;
  s->PairStartChannel = 2;
  SetGraphGain(*s, 4, true);  // .5
  ComputeAxisLabels(*s);
  EXPECT_EQ(s->AxisLabels[1], 156);  // 0.782 * 100 / 0.5 = 156.4
  EXPECT_EQ(s->AxisLabels[11], -156);
}

TEST_F(MonitorMenusTest, GainMenusSetTheGainAndSayWhatToRedraw) {
  EXPECT_EQ(SetGraphGain(*s, 0, false), kRefreshChecks | kRefreshLayout | kRefreshGraphs);
  EXPECT_FLOAT_EQ(s->GraphGain, 0.025f);
  EXPECT_EQ(SetGraphGain(*s, 7, true), kRefreshChecks | kRefreshLayout | kRefreshAxisLabels);
  EXPECT_FLOAT_EQ(s->GraphGain, 4.0f);
  EXPECT_EQ(s->AxisLabels[1], 20);  // 0.782 / 4 * 100 = 19.55
  EXPECT_EQ(s->labels.monitor.gain, 7);
}

// Each row starts from the delay given (or, at -1, the one the row before left) at speed 10.
TEST_F(MonitorMenusTest, RateMenusAndTheirCheckMarks) {
  using Step = unsigned (*)(Session&);
  const struct {
    int16_t from;
    Step step;
    int16_t delay;
    int rate;  // the checked item
  } cases[] = {
      {-1, [](Session& s) { return SetRate(s, RateItem::Slow); }, 9750, 0},
      {-1, [](Session& s) { return SetRate(s, RateItem::Medium); }, 8250, 1},
      {-1, [](Session& s) { return SetRate(s, RateItem::Fast); }, 6750, 2},
      {-1, RateSlower, 7427, 2},  // 6750 x 1.1 + 2, not above 850 x 10 - 750 = 7750
      {-1, RateSlower, 8172, 1},  // 8171.7
      {1, RateFaster, 0, 2},      // 0.9 - 2 is not below 0
      {28000, RateSlower, 28000, 0},
      {27999, RateSlower, 30801, 0},  // 30800.9
  };
  s->SpeedFactor = 10.0f;
  for (const auto& c : cases) {
    if (c.from >= 0) s->DelayCount = c.from;
    c.step(*s);
    EXPECT_EQ(s->DelayCount, c.delay) << c.from;
    EXPECT_EQ(s->labels.monitor.rate, c.rate) << c.delay;
  }
}

TEST_F(MonitorMenusTest, SensorSeriesSetTheCalibrationFactor) {
  struct Case { int item; float factor; };
  const Case cases[] = {{0, 1.0f}, {1, 0.625f}, {2, 0.3125f}, {3, 25.0f / 90.0f}, {4, 25.0f / 90.0f}};
  for (const auto& c : cases) {
    s->ModelOffset = 100;
    SetSensorSeries(*s, c.item);
    EXPECT_EQ(s->CalibrationFactor, c.factor) << c.item;
    EXPECT_EQ(s->CalibrationSetting, c.factor) << c.item;
    EXPECT_EQ(s->ModelOffset, 0);
  }
  SetSensorSeries(*s, 1);
  EXPECT_EQ(s->AxisLabels[1], 49);  // 0.782 * 100 * 0.625 = 48.875
}

TEST_F(MonitorMenusTest, SensorValuesToggle) {
  ToggleSensorValue(*s, 5);  // -2250
  EXPECT_EQ(s->SensorValueOffset, -2250);
  EXPECT_EQ(s->PlotThreshold, -3000);
  ToggleSensorValue(*s, 5);
  EXPECT_EQ(s->SensorValueOffset, 0);
  EXPECT_EQ(s->labels.monitor.sensorValue, -1);
  s->PlotThreshold = 1000;
  ToggleSensorValue(*s, 2);  // -200 leaves the threshold
  EXPECT_EQ(s->SensorValueOffset, -200);
  EXPECT_EQ(s->PlotThreshold, 1000);
  ToggleSensorValue(*s, 6);  // moves the check to -2400
  EXPECT_EQ(s->SensorValueOffset, -2400);
  EXPECT_EQ(s->labels.monitor.sensorValue, 6);
}

TEST_F(MonitorMenusTest, ChannelsPairsAndLimbs) {
  SetChannelCount(*s, 1);
  EXPECT_EQ(s->ChannelCount, 4);
  EXPECT_FALSE(s->labels.monitor.pairEnabled[2]);
  EXPECT_TRUE(s->labels.monitor.pairEnabled[1]);
  SetPair(*s, 3);  // the window offers only enabled items; the core still obeys
  SetChannelCount(*s, 1);
  EXPECT_EQ(s->PairStartChannel, 0);  // a pair the channels cannot hold falls back to 1-2
  SetChannelCount(*s, 2);
  SetPair(*s, 3);
  EXPECT_EQ(s->PairStartChannel, 6);
  EXPECT_EQ(s->PairSecondChannel, 7);

  s->ModelCode = 23;
  SetPair(*s, 1);
  EXPECT_EQ(s->SensorValueOffset, -2400);
  SetPair(*s, 0);
  EXPECT_EQ(s->SensorValueOffset, 0);

  SetLimb(*s, 1);
  EXPECT_EQ(s->LimbMode, 2);
  EXPECT_EQ(s->SensorValueOffset, -2400);
  EXPECT_EQ(s->PlotThreshold, 10);
  SetLimb(*s, 2);
  EXPECT_EQ(s->LimbMode, 3);
  EXPECT_EQ(s->PlotThreshold, 10);
  SetLimb(*s, 0);
  EXPECT_EQ(s->SensorValueOffset, 0);
  EXPECT_EQ(s->PlotThreshold, 1000);
}

TEST_F(MonitorMenusTest, UnitsSwitchConvertsAndRelabels) {
  s->PressurePerCount = 0.00976f;
  s->ClientHeight = "183";
  s->ClientWeight = "70 ";
  s->SurfaceArea = 645;
  SwitchUnits(*s, false);
  EXPECT_EQ(s->UnitsFlag, 0);
  EXPECT_NEAR(s->PressurePerCount, 0.00976 / 4.45, 1e-9);
  EXPECT_EQ(s->ClientWeight, "154");
  EXPECT_EQ(s->labels.SurfaceAreaText, "100");  // 645 sq cm shown in sq in
  EXPECT_EQ(s->labels.units.PeakForce, "Peak Force       (lbs)");

  // Choosing US again must not divide twice.
  EXPECT_EQ(SwitchUnits(*s, false), kRefreshNone);
  EXPECT_NEAR(s->PressurePerCount, 0.00976 / 4.45, 1e-9);

  SwitchUnits(*s, true);
  EXPECT_NEAR(s->PressurePerCount, 0.00976, 1e-8);
  EXPECT_EQ(s->ClientWeight, "70 ");
  EXPECT_EQ(s->labels.units.PeakForce, "Peak Force        (N)");
}

TEST_F(MonitorMenusTest, SurfaceAreaEntry) {
  // Rows run in order: a refused text keeps the area the row before left.
  enum Box { None, TooLarge, Refused };
  struct Case {
    int16_t units;
    const char* typed;
    const char* shown;
    int16_t area;
    Box box;
  };
  const Case cases[] = {
      {1, "3001", "3000", 3000, TooLarge},
      {1, "3000", "3000", 3000, None},
      {1, "12345", "1234", 1234, None},  // cut to four characters
      {1, "-500", "1234", 1234, Refused},
      {1, "1.2.", "1234", 1234, Refused},
      {1, " 250", " 250", 250, None},
      {1, "", "", 250, None},         // emptied to type anew: the area holds
      {0, "465", "465", 3000, None},  // 465 * 6.4516 = 2999.99
      {0, "466", "465", 3000, TooLarge},
      {0, "100", "100", 645, None},
      {0, "-1", "100", 645, Refused},  // the area in force, shown in square inches
      {0, "0", "0", 0, None},
  };
  for (const auto& c : cases) {
    alerts.shown.clear();
    s->UnitsFlag = c.units;
    std::string text = c.typed;
    EnterSurfaceArea(*s, alerts, text);
    EXPECT_EQ(text, c.shown) << c.typed;
    EXPECT_EQ(s->labels.SurfaceAreaText, c.shown) << c.typed;
    EXPECT_EQ(s->SurfaceArea, c.area) << c.typed;
    const std::string box =
        c.box == None       ? ""
        : c.box == TooLarge ? "Surface Area value cannot exceed 3000 sq cm (465 sq in)."
                            : std::string("\"") + c.typed + "\" is not a surface area.\r\nType a number from " +
                                  (c.units == 1 ? "0 to 3000 sq cm" : "0 to 465 sq in") +
                                  "; the surface area stays as it was.";
    EXPECT_EQ(alerts.shown.empty() ? "" : alerts.shown[0].text, box) << c.typed;
  }
  // A refused area leaves the axis labels of the area in force.
  s->UnitsFlag = 1;
  std::string text = "100";
  EnterSurfaceArea(*s, alerts, text);
  text = "-100";
  EnterSurfaceArea(*s, alerts, text);
  EXPECT_EQ(s->AxisLabels[1], 78);
}

TEST_F(MonitorMenusTest, SegmentAreasAndTypeItems) {
  s->ClientHeight = "180";
  s->ClientWeight = "75 ";
  ComputeSegmentAreas(*s);
  // S = 255, A = 162.8, B = 199.5
  const int16_t expected[7] = {163, 217, 254, 1538, 618, 449, 200};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(s->SegmentAreas[i], expected[i]) << i;

  SetPair(*s, 1);
  ApplyTypeItem(*s, TypeItem::AorBAuto);
  EXPECT_EQ(s->PairAreas[1], 217);
  EXPECT_EQ(s->SurfaceArea, 217);
  EXPECT_EQ(s->PairLabel, "Lower Arm");

  SetLimb(*s, 1);
  s->SurfaceArea = 50;
  ApplyTypeItem(*s, TypeItem::AorBManual);
  EXPECT_EQ(s->PairLabel, "Lower Leg");
  EXPECT_EQ(s->SurfaceArea, 50);

  SetPair(*s, 3);
  ApplyTypeItem(*s, TypeItem::CorD);
  EXPECT_EQ(s->PairLabels[3], "Trunk Eqp");
  EXPECT_EQ(s->PairLabel, "Trunk Eqp");

  s->UnitsFlag = 0;  // US: 71 in, 165 lbs
  s->ClientHeight = "71 ";
  s->ClientWeight = "165";
  ComputeSegmentAreas(*s);
  EXPECT_EQ(s->SegmentAreas[0], 163);  // 71 in -> 180 cm, 165 lbs -> 75 kg: the same client
}

TEST_F(MonitorMenusTest, StrokesJointsAndMovements) {
  s->ExerciseMode = 4;
  s->settingsChecks.appMode = AppMode::Therapy;
  SetSwimStroke(*s, 1);
  EXPECT_EQ(s->SwimFlag, 2);
  EXPECT_EQ(s->ExerciseMode, 3);
  EXPECT_EQ(s->SwimGraphFlag, 1);
  // The settings window's swim item of the distance in force is the one checked.
  EXPECT_EQ(s->Stroke.substr(0, 2), "Br");
  s->SwimDistance = 15;
  SetSwimStroke(*s, 3);
  EXPECT_EQ(s->Stroke.substr(0, 2), "Fl");
  EXPECT_EQ(s->settingsChecks.appMode, AppMode::Swim15);

  SetPair(*s, 2);
  struct Case { Joint joint; int16_t code; const char* name; };
  const Case cases[] = {{Joint::Wrist, 1, "Wrist"}, {Joint::Elbow, 2, "Elbow"},
                        {Joint::Shoulder, 3, "Shoulder"}, {Joint::Hip, 4, "Hip"},
                        {Joint::Knee, 2, "Knee"}, {Joint::Ankle, 1, "Ankle"}};
  for (const auto& c : cases) {
    SetJoint(*s, c.joint);
    EXPECT_EQ(s->CurrentJoint, c.code);
    EXPECT_EQ(s->PairJoints[2], c.code);
    EXPECT_EQ(s->Stroke, c.name);
  }
  SetJointAction(*s, 0);
  EXPECT_EQ(s->labels.PositiveLabel, "Positive");
  EXPECT_EQ(s->labels.NegativeLabel, "Negative");
  SetJointAction(*s, 2);
  EXPECT_EQ(s->labels.PositiveLabel, "Adduction");
  EXPECT_EQ(s->labels.NegativeLabel, "Abduction");
  SetSide(*s, 1);
  EXPECT_EQ(s->labels.monitor.side, 1);
}

}  // namespace
}  // namespace tidemet
