#include "app/acquisition/monitor_controller.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/acquisition/demo_source.h"
#include "app/acquisition/sources/source_factory.h"
#include "support/fakes.h"

namespace tidemet {
namespace {

constexpr int64_t kMs = 1'000'000;

// Reading r of every set is the number of sets taken before it.
class SerialNumberSource : public Source {
 public:
  void takeReadings(ReadingSet& out) override {
    out.set(0, n_);
    out.set(1, n_);
    ++n_;
  }

 private:
  int n_ = 0;
};

std::unique_ptr<Session> usbSession() {
  auto s = std::make_unique<Session>();
  s->ModelCode = 7;  // readings go to the pair as value + 1000
  s->ChannelCount = 2;
  return s;
}

TEST(MonitorControllerTest, QueuedReadingsAreProcessedInOrderOnlyWhileMonitoring) {
  auto s = usbSession();
  RecordingAlerts alerts;
  testing::RecordingSink sink;
  VirtualClock clock;
  MonitorController monitor(*s, alerts, sink, clock,
                            [] { return std::make_unique<SerialNumberSource>(); });
  monitor.openSynchronously();
  for (int i = 0; i < 3; ++i) monitor.tick();  // not monitoring yet: dropped
  EXPECT_EQ(s->SampleIndex, 0);

  monitor.StartMonitor();
  for (int i = 0; i < 4; ++i) monitor.worker().step();  // the window is busy meanwhile
  EXPECT_EQ(s->SampleIndex, 0);
  monitor.onReadingsQueued();
  EXPECT_EQ(s->SampleIndex, 4);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(s->TrialData[k * 2], 1003 + k) << k;  // none lost

  monitor.StartCmd();  // record
  for (int i = 0; i < 250; ++i) monitor.worker().step();
  clock.advance(10 * kMs);
  monitor.StartCmd();  // stop: every set taken so far is part of the trial
  EXPECT_EQ(s->SampleCount, 249);
  EXPECT_FLOAT_EQ(s->TrialSeconds, 2.51f);  // clicked at 60 ms, stopped at 2570 ms
  EXPECT_EQ(s->TrialData[249 * 2], 1000 + 7 + 249);
  EXPECT_FALSE(monitor.loop().timerEnabled());

  monitor.tick();  // after the stop nothing more is stored
  EXPECT_EQ(s->TrialData[250 * 2], 0);
}

TEST(MonitorControllerTest, AFullTrialBufferStopsTheRecordingAndSaysWhy) {
  auto s = usbSession();
  s->ChannelCount = 8;
  RecordingAlerts alerts;
  testing::RecordingSink sink;
  VirtualClock clock;
  MonitorController monitor(*s, alerts, sink, clock,
                            [] { return std::make_unique<SerialNumberSource>(); });
  monitor.openSynchronously();
  monitor.StartMonitor();
  monitor.StartCmd();
  for (int i = 0; i < 3750; ++i) monitor.tick();
  EXPECT_TRUE(monitor.recording());
  EXPECT_TRUE(alerts.shown.empty());
  monitor.tick();  // the first tick without a row
  EXPECT_FALSE(monitor.recording());
  EXPECT_FALSE(monitor.loop().timerEnabled());
  EXPECT_EQ(s->SampleCount, 3749);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(
      alerts.shown[0].text,
      "The recording has filled the trial buffer (3750 samples of 8 channels) and was stopped.\r\n"
      "The trial is kept; save it before recording again.");
  monitor.tick();
  EXPECT_EQ(alerts.shown.size(), 1u);
}

// A message box runs a nested event loop, which may deliver the next notification while the
// outer pass is still handling a set: the sets must still be processed once each, in order.
class NestedLoopAlerts : public Alerts {
 public:
  AlertAnswer show(const Alert& alert) override {
    shown.push_back(alert);
    if (nested) nested();
    return AlertAnswer::Ok;
  }
  std::function<void()> nested;
  std::vector<Alert> shown;
};

class StatusSource : public Source {
 public:
  void takeReadings(ReadingSet& out) override {
    out.set(0, 2000 + n_);
    out.set(1, 2000 + n_);
    out.unitStatus = {static_cast<int16_t>(n_ == 1 ? 5 : 0), 0};  // the second set warns
    ++n_;
  }

 private:
  int n_ = 0;
};

TEST(MonitorControllerTest, AMessageBoxInsideATickDoesNotProcessSetsTwice) {
  auto s = std::make_unique<Session>();
  s->ModelCode = 3;  // the QW8 unit warns from inside the tick
  s->ChannelCount = 2;
  NestedLoopAlerts alerts;
  testing::RecordingSink sink;
  VirtualClock clock;
  MonitorController monitor(*s, alerts, sink, clock,
                            [] { return std::make_unique<StatusSource>(); });
  alerts.nested = [&] { monitor.onReadingsQueued(); };
  monitor.openSynchronously();
  monitor.StartMonitor();
  for (int i = 0; i < 4; ++i) monitor.worker().step();
  monitor.onReadingsQueued();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(s->SampleIndex, 4);
  const int16_t expected[4] = {1050, 0, 1052, 1053};  // the warned reading is not stored
  for (int k = 0; k < 4; ++k) EXPECT_EQ(s->TrialData[k * 2], expected[k]) << k;
}

TEST(MonitorControllerTest, ADeviceMessageFromTheAcquisitionThreadIsShownByTheWindowThread) {
  auto s = std::make_unique<Session>();
  RecordingAlerts alerts;
  testing::RecordingSink sink;
  VirtualClock clock;
  MonitorController* self = nullptr;
  MonitorController monitor(*s, alerts, sink, clock, [&]() -> std::unique_ptr<Source> {
    self->messages().post({"Tidemet", "Interface data cable is not connected, Error #1007",
                           AlertIcon::Exclamation, AlertButtons::Ok});
    return nullptr;  // the device could not be opened: monitoring goes on without readings
  });
  self = &monitor;
  monitor.openSynchronously();
  EXPECT_TRUE(alerts.shown.empty());  // not shown from the device's side
  monitor.StartMonitor();
  monitor.tick();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text, "Interface data cable is not connected, Error #1007");
  EXPECT_EQ(s->SampleIndex, 1);
  monitor.tick();
  EXPECT_EQ(alerts.shown.size(), 1u);  // once
}

TEST(SourceSettingsTest, WhichChangesNeedTheDeviceOpenedAgain) {
  SourceSettings open;
  open.ModelCode = 13;
  open.ChannelCount = 2;
  struct Case {
    const char* what;
    void (*change)(SourceSettings&);
    bool same;
  };
  const Case cases[] = {
      {"nothing", [](SourceSettings&) {}, true},
      {"sensor type", [](SourceSettings& s) { s.SensorType = 1; }, true},
      {"limb", [](SourceSettings& s) { s.LimbMode = 2; }, true},
      {"four channels on model 13", [](SourceSettings& s) { s.ChannelCount = 4; }, false},
      {"model", [](SourceSettings& s) { s.ModelCode = 7; }, false},
      {"demo", [](SourceSettings& s) { s.DemoMode = 1; }, false},
      {"port", [](SourceSettings& s) { s.ComPort = 2; }, false},
      {"node", [](SourceSettings& s) { s.UnitNode = 987; }, false},
  };
  for (const auto& c : cases) {
    SourceSettings now = open;
    c.change(now);
    EXPECT_EQ(now.opensSameDeviceAs(open), c.same) << c.what;
  }
  SourceSettings rv2;
  rv2.ModelCode = 8;
  rv2.ChannelCount = 8;
  SourceSettings forced = rv2;
  forced.ChannelCount = 2;  // monitoring forces two channels: the same serial unit
  EXPECT_TRUE(forced.opensSameDeviceAs(rv2));
}

}  // namespace
}  // namespace tidemet
