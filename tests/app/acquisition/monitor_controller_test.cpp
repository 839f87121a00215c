#include "app/acquisition/monitor_controller.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/acquisition/sources/source_factory.h"
#include "support/fakes.h"

namespace tidemet {
namespace {

constexpr int64_t kMs = 1'000'000;

// Readings 0 and 1 of every set are the number of sets taken before it; set `warnAt` carries a
// QW8 unit's warning.
class SerialNumberSource : public Source {
 public:
  explicit SerialNumberSource(int warnAt = -1) : warnAt_(warnAt) {}
  void takeReadings(ReadingSet& out) override {
    out.set(0, n_);
    out.set(1, n_);
    if (n_ == warnAt_) out.unitStatus[0] = 5;
    ++n_;
  }

 private:
  int warnAt_;
  int n_ = 0;
};

// The USB device on two channels: each reading goes to the pair as value + 1000.
class MonitorControllerTest : public ::testing::Test {
 protected:
  MonitorControllerTest() {
    s.ModelCode = 7;
    s.ChannelCount = 2;
  }
  // The monitor opened on the sources `make` gives, showing its boxes on `shown`.
  MonitorController& open(AcquisitionWorker::SourceFactory make, Alerts& shown) {
    monitor = std::make_unique<MonitorController>(s, shown, sink, clock, std::move(make));
    monitor->openSynchronously();
    return *monitor;
  }
  MonitorController& open() {
    return open([] { return std::make_unique<SerialNumberSource>(); }, alerts);
  }

  Session s;
  RecordingAlerts alerts;
  testing::RecordingSink sink;
  VirtualClock clock;
  std::unique_ptr<MonitorController> monitor;
};

TEST_F(MonitorControllerTest, QueuedReadingsAreProcessedInOrderOnlyWhileMonitoring) {
  MonitorController& m = open();
  for (int i = 0; i < 3; ++i) m.tick();  // not monitoring yet: dropped
  EXPECT_EQ(s.SampleIndex, 0);

  m.StartMonitor();
  for (int i = 0; i < 4; ++i) m.worker().step();  // the window is busy meanwhile
  EXPECT_EQ(s.SampleIndex, 0);
  m.onReadingsQueued();
  EXPECT_EQ(s.SampleIndex, 4);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(s.TrialData[k * 2], 1003 + k) << k;  // none lost

  m.StartCmd();  // record
  for (int i = 0; i < 250; ++i) m.worker().step();
  clock.advance(10 * kMs);
  m.StartCmd();  // stop: every set taken so far is part of the trial
  EXPECT_EQ(s.SampleCount, 249);
  EXPECT_FLOAT_EQ(s.TrialSeconds, 2.51f);  // clicked at 60 ms, stopped at 2570 ms
  EXPECT_EQ(s.TrialData[249 * 2], 1000 + 7 + 249);
  m.tick();  // after the stop nothing more is stored
  EXPECT_EQ(s.TrialData[250 * 2], 0);
}

// The buffer holds 3750 rows of eight channels, and the first channel of a 3751st row.
TEST_F(MonitorControllerTest, AFullTrialBufferStopsTheRecordingAndSaysWhy) {
  s.ChannelCount = 8;
  MonitorController& m = open();
  m.StartMonitor();
  m.StartCmd();
  for (int i = 0; i < 3750; ++i) m.tick();
  EXPECT_TRUE(m.recording());
  EXPECT_TRUE(alerts.shown.empty());
  m.tick();  // the first tick without a row
  EXPECT_FALSE(m.recording());
  EXPECT_FALSE(m.loop().timerEnabled());
  EXPECT_EQ(s.TrialData[30000], 1000 + 3750);
  EXPECT_EQ(s.SampleCount, 3749);
  EXPECT_FLOAT_EQ(s.TrialSeconds, 37.49f);  // 37.5 s measured, the share of 3750 rows in 3751 ticks
  EXPECT_FLOAT_EQ(s.SecondsPerSample, 37.49f / 3749);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(
      alerts.shown[0].text,
      "The recording has filled the trial buffer (3750 samples of 8 channels) and was stopped.\r\n"
      "The trial is kept; save it before recording again.");
  m.tick();
  EXPECT_EQ(alerts.shown.size(), 1u);
}

// A message box runs a nested event loop, which may deliver the next notification while the
// outer pass is still handling a set: the sets must still be processed once each, in order.
class NestedLoopAlerts : public RecordingAlerts {
 public:
  AlertAnswer show(const Alert& alert) override {
    if (nested) nested();
    return RecordingAlerts::show(alert);
  }
  std::function<void()> nested;
};

TEST_F(MonitorControllerTest, AMessageBoxInsideATickDoesNotProcessSetsTwice) {
  s.ModelCode = 3;  // the QW8 unit warns from inside the tick
  NestedLoopAlerts nestedAlerts;
  MonitorController& m =
      open([] { return std::make_unique<SerialNumberSource>(/*warnAt=*/1); }, nestedAlerts);
  nestedAlerts.nested = [&] { m.onReadingsQueued(); };
  m.StartMonitor();
  for (int i = 0; i < 4; ++i) m.worker().step();
  m.onReadingsQueued();
  ASSERT_EQ(nestedAlerts.shown.size(), 1u);
  EXPECT_EQ(s.SampleIndex, 4);
  const int16_t expected[4] = {-950, 0, -948, -947};  // the warned reading is not stored
  for (int k = 0; k < 4; ++k) EXPECT_EQ(s.TrialData[k * 2], expected[k]) << k;
}

TEST_F(MonitorControllerTest, ADeviceMessageFromTheAcquisitionThreadIsShownByTheWindowThread) {
  MonitorController& m = open(
      [this]() -> std::unique_ptr<Source> {
        monitor->messages().post({"Tidemet", "Interface data cable is not connected, Error #1007",
                                  AlertIcon::Exclamation, AlertButtons::Ok});
        return nullptr;  // the device could not be opened: monitoring goes on without readings
      },
      alerts);
  EXPECT_TRUE(alerts.shown.empty());  // not shown from the device's side
  m.StartMonitor();
  m.tick();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text, "Interface data cable is not connected, Error #1007");
  EXPECT_EQ(s.SampleIndex, 1);
  m.tick();
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
