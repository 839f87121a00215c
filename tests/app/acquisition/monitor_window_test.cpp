#include "app/acquisition/monitor_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <memory>

#include "app/acquisition/live_graph_widget.h"
#include "support/demo_monitor_window.h"

namespace tidemet {
namespace {

using testing::DemoMonitor;
using testing::DemoSession;
using testing::RunEventsUntil;
constexpr int kLimitMs = testing::kWindowLimitMs;

QScrollBar* baselineBar(MonitorWindow& window, int graph) {
  int seen = 0;
  for (QScrollBar* bar : window.findChildren<QScrollBar*>())
    if (bar->orientation() == Qt::Vertical && seen++ == graph) return bar;
  return nullptr;
}

// Reads 185 on every channel: the demo unit's resting level, stored as 1185.
class RestingSource : public Source {
 public:
  void takeReadings(ReadingSet& out) override {
    for (int c = 0; c < 8; ++c) out.set(c, 185);
  }
};

TEST(MonitorWindowTest, AModelChosenAfterTheWindowOpenedBringsItsDevice) {
  MonitorWindow::Seams seams;
  seams.makeSource = [](const SourceSettings& settings, const Clock&, DeviceMessages&) {
    AcquisitionWorker::SourceFactory none;
    if (settings.DemoMode == 0) return none;
    return AcquisitionWorker::SourceFactory(
        []() -> std::unique_ptr<Source> { return std::make_unique<RestingSource>(); });
  };
  DemoMonitor m(seams);
  MonitorWindow& window = m.window;
  Session* s = m.s.get();
  for (int round = 0; round < 2; ++round) {  // and again after going back to no unit
    SCOPED_TRACE(round);
    s->DemoMode = 0;  // no device
    s->TrialData[0] = 0;
    window.StartMonitor();
    ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 3; }, kLimitMs));
    EXPECT_EQ(s->TrialData[0], 0);
    EXPECT_TRUE(window.hint().startsWith(QStringLiteral("No interface unit is chosen")));
    s->DemoMode = 1;  // "D&emo" chosen in the settings
    window.StartMonitor();
    EXPECT_TRUE(window.hint().isEmpty());
    ASSERT_TRUE(RunEventsUntil([&] { return s->TrialData[0] == 1185; }, kLimitMs));
  }
}

TEST(MonitorWindowTest, AUnitsSwitchRefreshesTheForceScaleLiveAndHeld) {
  DemoMonitor m;
  QAction* us = testing::MenuItem(m.window, "&Units", "&US");
  QAction* metric = testing::MenuItem(m.window, "&Units", "&Metric");
  ASSERT_TRUE(us && metric);
  EXPECT_EQ(m.s->AxisLabels[1], 78);
  us->trigger();
  EXPECT_EQ(m.s->AxisLabels[1], 18);
  m.window.StartCmd();
  m.window.StartCmd();  // a held trial
  metric->trigger();
  EXPECT_EQ(m.s->AxisLabels[1], 78);
  us->trigger();
  EXPECT_EQ(m.s->AxisLabels[1], 18);
}

// Up on a bar moves its trace up; on a held trial the page is redrawn with the new offset.
TEST(MonitorWindowTest, ABaselineChangeOnAHeldTrialRedrawsItWhole) {
  DemoMonitor m;
  MonitorWindow& window = m.window;
  window.StartCmd();
  ASSERT_TRUE(RunEventsUntil([&] { return m.s->SampleIndex >= 150; }, kLimitMs));
  window.StartCmd();
  QScrollBar* upper = baselineBar(window, 0);
  QScrollBar* lower = baselineBar(window, 1);
  ASSERT_TRUE(upper && lower);
  const QImage before = window.graph(0).image();
  upper->setValue(20);
  lower->setValue(-30);
  EXPECT_EQ(m.s->BaselineOffsets[0], -20);
  EXPECT_EQ(m.s->BaselineOffsets[1], 30);
  const QImage moved = window.graph(0).image();
  EXPECT_NE(moved, before);
  window.showTrial();  // the same page drawn afresh
  EXPECT_EQ(window.graph(0).image(), moved);
}

TEST(MonitorWindowTest, TheSurfaceAreaBoxTakesTheLimitAndSaysWhy) {
  DemoMonitor m;
  auto* area = m.window.findChild<QLineEdit*>("MonSAtext");
  ASSERT_NE(area, nullptr);
  area->setText(QString());
  area->insert(QStringLiteral("3001"));  // typed
  EXPECT_EQ(area->text(), "3000");
  EXPECT_EQ(m.s->SurfaceArea, 3000);
  EXPECT_EQ(m.alerts.shown.size(), 1u);  // the limit's box, whose text the core's test holds
}

// Over its life: open, close, reopen, leave, and a device that changes while the window runs.

// Leaving ends a recording as Stop ends it, stops the tick, and nothing draws over the page; the
// same window opened again records again, whichever way it was left. Closing releases the device.
TEST(MonitorWindowLifecycleTest, LeavingAndReopeningTheMonitor) {
  struct Case {
    const char* how;
    bool recording;
    bool releases;
    void (*leave)(MonitorWindow&);
  };
  const Case cases[] = {
      {"close box", true, true, [](MonitorWindow& w) { w.close(); }},
      {"Data > Graph", true, false, [](MonitorWindow& w) { w.showTrial(); }},
      {"Data > Graph, monitoring only", false, false, [](MonitorWindow& w) { w.showTrial(); }},
      {"another window", true, false, [](MonitorWindow& w) { w.leaveMonitor(); }},
      {"close box again", true, true, [](MonitorWindow& w) { w.close(); }},
  };
  DemoMonitor m;
  MonitorWindow& window = m.window;
  Session& s = *m.s;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    window.StartMonitor();  // Data > Monitor, as the main window does it
    window.show();
    const uint64_t before = window.controller().setsProcessed();
    if (c.recording) window.StartCmd();
    ASSERT_TRUE(RunEventsUntil(
        [&] {
          if (!c.recording) return window.controller().setsProcessed() >= before + 30;
          return s.SampleIndex >= 30 && window.status().startsWith("Recording: ");
        },
        kLimitMs));
    c.leave(window);
    EXPECT_FALSE(window.controller().loop().timerEnabled());
    EXPECT_EQ(window.controller().worker().running(), !c.releases);
    EXPECT_EQ(s.MonitorOnly, c.recording ? 0 : 1);
    if (c.recording) {
      EXPECT_GE(s.SampleCount, 29);
      EXPECT_GT(s.TrialSeconds, 0.25f);
      EXPECT_GT(s.TrialData[s.trialIndex(10, 0)], 1100);  // a demo reading, not an empty row
    }
    EXPECT_FALSE(window.findChild<QPushButton*>("StartCmd")->isEnabled());  // no stale Stop
    const int16_t held = s.SampleCount;
    const uint64_t processed = window.controller().setsProcessed();
    const QImage shown = window.graph(0).image();
    testing::RunEventsFor(200);
    EXPECT_EQ(s.SampleCount, held);
    EXPECT_EQ(window.controller().setsProcessed(), processed);
    EXPECT_EQ(window.graph(0).image(), shown);
  }
  EXPECT_TRUE(m.alerts.shown.empty());
}

// The first reading arrives while the window is still being made: the notice must not be lost.
TEST(MonitorWindowLifecycleTest, AFirstReadingBeforeTheWindowIsReadyIsNeverLost) {
  MonitorWindow::Seams seams;
  seams.afterDeviceStarted = [](MonitorWindow& w) {
    // The thread queues its first set (and notifies) before the window goes on.
    RunEventsUntil([&] { return w.controller().worker().readingsTaken() >= 2; }, kLimitMs);
  };
  for (int i = 0; i < 30; ++i) {
    DemoMonitor m(seams);
    MonitorWindow& window = m.window;
    window.StartMonitor();
    ASSERT_TRUE(RunEventsUntil([&] { return window.controller().setsProcessed() >= 3; }, kLimitMs))
        << "opening " << i << " drew nothing";
  }
}

}  // namespace
}  // namespace tidemet
