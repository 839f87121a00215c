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
#include "support/demo_monitor.h"

namespace tidemet {
namespace {

using testing::DemoSession;
using testing::RunEventsUntil;

constexpr int kLimitMs = 20000;  // generous: the suite runs beside other busy processes

QScrollBar* baselineBar(MonitorWindow& window, int graph) {
  int seen = 0;
  for (QScrollBar* bar : window.findChildren<QScrollBar*>())
    if (bar->orientation() == Qt::Vertical && seen++ == graph) return bar;
  return nullptr;
}

TEST(MonitorWindowTest, RecordsTheDemoUnitWithoutLosingReadings) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  EXPECT_EQ(window.windowTitle(), "Tidemet Data Monitor");
  auto* button = window.findChild<QPushButton*>("StartCmd");
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(RunEventsUntil([&] { return window.controller().setsProcessed() >= 5; }, kLimitMs));
  button->click();
  const uint64_t atStart = window.controller().setsProcessed();
  const uint64_t skippedAtStart = window.controller().worker().deadlinesSkipped();
  EXPECT_EQ(button->text(), "Stop Collecting Data");
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 40; }, kLimitMs));
  button->click();
  EXPECT_FALSE(window.controller().loop().timerEnabled());
  // Every reading set taken during the recording was stored, and together with the deadlines a
  // busy machine made the thread skip they fill the measured time.
  EXPECT_EQ(s->SampleCount + 1, static_cast<int>(window.controller().setsProcessed() - atStart));
  const auto skipped =
      static_cast<double>(window.controller().worker().deadlinesSkipped() - skippedAtStart);
  EXPECT_NEAR(s->SampleCount + 1 + skipped, s->TrialSeconds * 100.0, 3.0);
  EXPECT_EQ(window.controller().worker().setsDropped(), 0u);
  EXPECT_TRUE(alerts.shown.empty());
}

// Reads 185 on every channel: the demo unit's resting level, stored as 1185.
class RestingSource : public Source {
 public:
  void takeReadings(ReadingSet& out) override {
    for (int c = 0; c < 8; ++c) out.set(c, 185);
  }
};

TEST(MonitorWindowTest, AModelChosenAfterTheWindowOpenedBringsItsDevice) {
  auto s = DemoSession();
  s->DemoMode = 0;  // no device at first
  RecordingAlerts alerts;
  MonitorWindow::Seams seams;
  seams.makeSource = [](const SourceSettings& settings, const Clock&, DeviceMessages&) {
    AcquisitionWorker::SourceFactory none;
    if (settings.DemoMode == 0) return none;
    return AcquisitionWorker::SourceFactory(
        []() -> std::unique_ptr<Source> { return std::make_unique<RestingSource>(); });
  };
  MonitorWindow window(*s, alerts, {}, nullptr, seams);
  for (int round = 0; round < 2; ++round) {  // and again after going back to no unit
    SCOPED_TRACE(round);
    s->DemoMode = 0;
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
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
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
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  QAction* us = testing::MenuItem(window, "&Units", "&US");
  QAction* metric = testing::MenuItem(window, "&Units", "&Metric");
  ASSERT_TRUE(us && metric);
  EXPECT_EQ(s->AxisLabels[1], 78);
  us->trigger();
  EXPECT_EQ(s->AxisLabels[1], 18);
  window.StartCmd();
  window.StartCmd();  // a held trial
  metric->trigger();
  EXPECT_EQ(s->AxisLabels[1], 78);
  us->trigger();
  EXPECT_EQ(s->AxisLabels[1], 18);
}

TEST(MonitorWindowTest, ABaselineChangeOnAHeldTrialRedrawsItWhole) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  window.StartCmd();
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 150; }, kLimitMs));
  window.StartCmd();
  QScrollBar* upper = baselineBar(window, 0);
  ASSERT_NE(upper, nullptr);
  const QImage before = window.graph(0).image();
  upper->setValue(20);  // the trace moves up 20 counts
  const QImage moved = window.graph(0).image();
  EXPECT_NE(moved, before);
  window.showTrial();  // the same page drawn afresh with the new offset
  EXPECT_EQ(window.graph(0).image(), moved);
}

TEST(MonitorWindowTest, F5StartsAndStopsAndTheStatusShowsTheRecording) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  window.show();
  QAction* start = testing::MenuItem(window, "&Data", "&Start/Stop Collecting Data");
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->shortcut(), QKeySequence(Qt::Key_F5));
  start->trigger();
  EXPECT_EQ(s->MonitorOnly, 0);
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 5; }, kLimitMs));
  EXPECT_TRUE(RunEventsUntil([&] { return window.status().startsWith("Recording: "); }, kLimitMs))
      << window.status().toStdString();
  start->trigger();
  EXPECT_FALSE(window.controller().loop().timerEnabled());
  EXPECT_FALSE(start->isEnabled());  // a new recording starts from Data, Monitor
}

TEST(MonitorWindowTest, BaselineBarsAndTheSurfaceAreaBox) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  ASSERT_TRUE(baselineBar(window, 0) && baselineBar(window, 1));
  baselineBar(window, 0)->setValue(12);
  baselineBar(window, 1)->setValue(-30);
  EXPECT_EQ(s->BaselineOffsets[0], -12);  // up on the bar moves the trace up
  EXPECT_EQ(s->BaselineOffsets[1], 30);

  auto* area = window.findChild<QLineEdit*>("MonSAtext");
  ASSERT_NE(area, nullptr);
  area->setText(QString());
  area->insert(QStringLiteral("3001"));  // typed: the box takes the limit and says why
  EXPECT_EQ(area->text(), "3000");
  EXPECT_EQ(s->SurfaceArea, 3000);
  ASSERT_FALSE(alerts.shown.empty());
  EXPECT_EQ(alerts.shown.back().text, "Surface Area value cannot exceed 3000 sq cm (465 sq in).");
}

}  // namespace
}  // namespace tidemet
