#include "app/acquisition/monitor_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <memory>

#include "app/acquisition/axis_label_widget.h"
#include "app/acquisition/live_graph_widget.h"
#include "support/demo_monitor_window.h"

#ifdef TIDEMET_HAVE_USB_SOURCES
#include "app/acquisition/sources/usb_device_source.h"
#include "zdaq/simulated.h"
#endif

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

// Started by F5's menu item, stopped by the button: every reading set taken while recording is
// stored, and the status line says a recording runs.
TEST(MonitorWindowTest, RecordsTheDemoUnitWithoutLosingReadings) {
  DemoMonitor m;
  MonitorWindow& window = m.window;
  window.show();
  QAction* start = testing::MenuItem(window, "&Data", "&Start/Stop Collecting Data");
  auto* button = window.findChild<QPushButton*>("StartCmd");
  ASSERT_TRUE(start && button);
  EXPECT_EQ(start->shortcut(), QKeySequence(Qt::Key_F5));
  ASSERT_TRUE(RunEventsUntil([&] { return window.controller().setsProcessed() >= 5; }, kLimitMs));
  start->trigger();
  const uint64_t atStart = window.controller().setsProcessed();
  const uint64_t skippedAtStart = window.controller().worker().deadlinesSkipped();
  EXPECT_EQ(m.s->MonitorOnly, 0);
  EXPECT_EQ(button->text(), "Stop Collecting Data");
  ASSERT_TRUE(RunEventsUntil([&] { return m.s->SampleIndex >= 40; }, kLimitMs));
  EXPECT_TRUE(RunEventsUntil([&] { return window.status().startsWith("Recording: "); }, kLimitMs))
      << window.status().toStdString();
  button->click();
  EXPECT_FALSE(window.controller().loop().timerEnabled());
  EXPECT_FALSE(start->isEnabled());  // a new recording starts from Data, Monitor
  // Together with the deadlines a busy machine made the thread skip, the stored sets fill the
  // measured time.
  EXPECT_EQ(m.s->SampleCount + 1, static_cast<int>(window.controller().setsProcessed() - atStart));
  const auto skipped =
      static_cast<double>(window.controller().worker().deadlinesSkipped() - skippedAtStart);
  EXPECT_NEAR(m.s->SampleCount + 1 + skipped, m.s->TrialSeconds * 100.0, 3.0);
  EXPECT_EQ(window.controller().worker().setsDropped(), 0u);
  EXPECT_TRUE(m.alerts.shown.empty());
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

TEST(MonitorWindowTest, TheGraphsTakeTheSpareRoomAndTheLabelsNeverOverlap) {
  DemoMonitor m;
  MonitorWindow& window = m.window;
  window.show();
  for (QSize size : {QSize(640, 480), QSize(1280, 1000), QSize(500, 360)}) {
    SCOPED_TRACE(size.width());
    window.resize(size);
    RunEventsUntil([&] { return window.size() == size || window.size() == window.minimumSize(); });
    QApplication::processEvents();
    // The graph spans what its scale and scroll bar leave of the window's width.
    EXPECT_GT(window.graph(0).width() + window.axis(0).width(), window.width() * 8 / 10);
    EXPECT_EQ(window.axis(0).height(), window.graph(0).height());
    for (int g = 0; g < 2; ++g) {
      const auto rects = window.axis(g).labelRects();
      for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_GE(rects[i].top(), 0) << i;
        EXPECT_LE(rects[i].bottom(), window.axis(g).height() - 1) << i;
        if (i > 0) {
          EXPECT_GT(rects[i].top(), rects[i - 1].bottom()) << "labels " << i;
        }
      }
    }
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
  ASSERT_EQ(m.alerts.shown.size(), 1u);
  EXPECT_EQ(m.alerts.shown[0].text, "Surface Area value cannot exceed 3000 sq cm (465 sq in).");
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
          return c.recording ? s.SampleIndex >= 30 : window.controller().setsProcessed() >= before + 30;
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

// Fails every read, as a device pulled out does.
class PulledSource : public Source {
 public:
  void takeReadings(ReadingSet& out) override {
    out.errorNumber = 50000 + 31;
    out.setErrorText("A device attached to the system is not functioning.");
  }
};

// A device that fails every read is told once per opening of the window, not once per tick,
// and told again when the window is opened again.
TEST(MonitorWindowTest, APulledDeviceIsToldOncePerOpening) {
  MonitorWindow::Seams seams;
  seams.makeSource = [](const SourceSettings&, const Clock&, DeviceMessages&) {
    return AcquisitionWorker::SourceFactory(
        []() -> std::unique_ptr<Source> { return std::make_unique<PulledSource>(); });
  };
  DemoMonitor m(seams);
  MonitorWindow& window = m.window;
  const std::vector<Alert>& alerts = m.alerts.shown;
  for (size_t opening = 1; opening <= 2; ++opening) {
    SCOPED_TRACE(opening);
    window.StartMonitor();
    window.show();
    const uint64_t before = window.controller().setsProcessed();
    ASSERT_TRUE(RunEventsUntil(
        [&] { return window.controller().setsProcessed() >= before + 10; }, kLimitMs));
    ASSERT_EQ(alerts.size(), opening);
    EXPECT_NE(alerts.back().text.find("A device attached to the system is not functioning."),
              std::string::npos);
    window.close();
  }
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
