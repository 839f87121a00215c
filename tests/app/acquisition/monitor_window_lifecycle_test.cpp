// The monitor window's device and tick over its life: open, close, reopen, leave, and devices
// that fail or change while the window runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <memory>

#include "app/acquisition/live_graph_widget.h"
#include "app/acquisition/monitor_window.h"
#include "support/demo_monitor.h"

#ifdef TIDEMET_HAVE_USB_SOURCES
#include "app/acquisition/sources/usb_device_source.h"
#include "zdaq/simulated.h"
#endif

namespace tidemet {
namespace {

using testing::DemoSession;
using testing::RunEventsUntil;

constexpr int kLimitMs = 10000;  // generous: the suite runs beside other busy processes

// Records until `rows` rows are stored, then stops with the button.
void recordRows(MonitorWindow& window, Session& s, int rows) {
  window.StartCmd();
  ASSERT_EQ(s.MonitorOnly, 0);
  ASSERT_TRUE(RunEventsUntil([&] { return s.SampleIndex >= rows; }, kLimitMs));
  window.StartCmd();
}

TEST(MonitorWindowLifecycleTest, AReopenedMonitorTakesReadingsAgain) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    window.StartMonitor();  // Data > Monitor, as the main window does it
    window.show();
    recordRows(window, *s, 20);
    EXPECT_GE(s->SampleCount, 19);
    EXPECT_GT(s->TrialSeconds, 0.0f);
    EXPECT_GT(s->TrialData[s->trialIndex(10, 0)], 1100);  // a demo reading, not an empty row
    window.close();
    EXPECT_FALSE(window.controller().worker().running());
  }
  EXPECT_TRUE(alerts.shown.empty());
}

TEST(MonitorWindowLifecycleTest, LeavingTheMonitorWhileRecordingKeepsTheTrial) {
  struct Case {
    const char* how;
    void (*leave)(MonitorWindow&);
  };
  const Case cases[] = {
      {"close box", [](MonitorWindow& w) { w.close(); }},
      {"Data > Graph", [](MonitorWindow& w) { w.showTrial(); }},
      {"another window", [](MonitorWindow& w) { w.leaveMonitor(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    auto s = DemoSession();
    RecordingAlerts alerts;
    MonitorWindow window(*s, alerts, {});
    window.StartMonitor();
    window.show();
    window.StartCmd();
    ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 30; }, kLimitMs));
    c.leave(window);
    EXPECT_FALSE(window.controller().loop().timerEnabled());
    EXPECT_GE(s->SampleCount, 29);  // the trial was ended as Stop ends it
    EXPECT_GT(s->TrialSeconds, 0.25f);
    EXPECT_EQ(s->MonitorOnly, 0);
    auto* button = window.findChild<QPushButton*>("StartCmd");
    EXPECT_FALSE(button->isEnabled());  // no stale Stop to press
    const int16_t held = s->SampleCount;
    testing::RunEventsFor(100);
    EXPECT_EQ(s->SampleCount, held);
  }
}

TEST(MonitorWindowLifecycleTest, DataGraphWhileMonitoringStopsTheTickBeforeDrawing) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  window.show();
  ASSERT_TRUE(RunEventsUntil([&] { return window.controller().setsProcessed() >= 5; }, kLimitMs));
  window.showTrial();
  EXPECT_FALSE(window.controller().loop().timerEnabled());
  const uint64_t processed = window.controller().setsProcessed();
  const QImage shown = window.graph(0).image();
  testing::RunEventsFor(200);
  EXPECT_EQ(window.controller().setsProcessed(), processed);
  EXPECT_EQ(window.graph(0).image(), shown);  // nothing drew over the trial
}

// The first reading arrives while the window is still being made: the notice must not be lost.
TEST(MonitorWindowLifecycleTest, AFirstReadingBeforeTheWindowIsReadyIsNeverLost) {
  MonitorWindow::Seams seams;
  seams.afterDeviceStarted = [](MonitorWindow& w) {
    // The thread queues its first set (and notifies) before the window goes on.
    RunEventsUntil([&] { return w.controller().worker().readingsTaken() >= 2; }, kLimitMs);
  };
  for (int i = 0; i < 30; ++i) {
    auto s = DemoSession();
    RecordingAlerts alerts;
    MonitorWindow window(*s, alerts, {}, nullptr, seams);
    window.StartMonitor();
    ASSERT_TRUE(RunEventsUntil([&] { return window.controller().setsProcessed() >= 3; }, kLimitMs))
        << "opening " << i << " drew nothing";
  }
}

#ifdef TIDEMET_HAVE_USB_SOURCES
TEST(UsbWindowTest, Model13ReadsPoints11And12OnceFourChannelsAreChosenWhileMonitoring) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/false);
  system->addDevice("/dev/zdaq0", "ZDaq DAQ-20");
  auto s = DemoSession();
  s->DemoMode = 0;
  s->ModelCode = 13;
  s->ChannelCount = 2;
  RecordingAlerts alerts;
  MonitorWindow::Seams seams;
  seams.makeSource = [system](const SourceSettings& settings, const Clock&,
                              DeviceMessages& messages) {
    return [system, settings, &messages]() -> std::unique_ptr<Source> {
      return std::make_unique<UsbDeviceSource>(settings.ModelCode, settings.ChannelCount, messages,
                                               system->makeBackend());
    };
  };
  MonitorWindow window(*s, alerts, {}, nullptr, seams);
  window.StartMonitor();
  window.show();
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 3; }, kLimitMs));
  QAction* four = testing::MenuItem(window, "&Channels", "&Four");
  ASSERT_NE(four, nullptr);
  four->trigger();
  ASSERT_EQ(s->ChannelCount, 4);
  // Analog inputs 2 and 3 (points 11 and 12) read 2200 and 2300 on the simulated device.
  auto slotsTwoAndThreeRead = [&] {
    for (int k = 0; k < s->SampleIndex; ++k)
      if (s->TrialData[s->trialIndex(k, 2)] == 3200 && s->TrialData[s->trialIndex(k, 3)] == 3300)
        return true;
    return false;
  };
  EXPECT_TRUE(RunEventsUntil(slotsTwoAndThreeRead, kLimitMs));
}
#endif

}  // namespace
}  // namespace tidemet
