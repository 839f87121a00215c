#include "app/acquisition/monitor_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <memory>

#include "app/acquisition/axis_label_widget.h"
#include "app/acquisition/live_graph_widget.h"
#include "support/demo_monitor.h"

namespace tidemet {
namespace {

using testing::DemoSession;
using testing::RunEventsFor;
using testing::RunEventsUntil;

TEST(MonitorWindowTest, RecordsTheDemoUnitWithoutLosingReadings) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  EXPECT_EQ(window.windowTitle(), "Tidemet Data Monitor");
  auto* button = window.findChild<QPushButton*>("StartCmd");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "Start Collecting Data");
  RunEventsFor(100);
  button->click();
  const uint64_t atStart = window.controller().setsProcessed();
  const uint64_t skippedAtStart = window.controller().worker().deadlinesSkipped();
  EXPECT_EQ(button->text(), "Stop Collecting Data");
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 40; }, 10000));
  button->click();
  EXPECT_EQ(s->MonitorOnly, 0);
  EXPECT_FALSE(window.controller().loop().timerEnabled());
  // Every reading set taken during the recording was stored, and together with the deadlines a
  // busy machine made the thread skip they fill the measured time.
  EXPECT_EQ(s->SampleCount + 1, static_cast<int>(window.controller().setsProcessed() - atStart));
  const auto skipped =
      static_cast<double>(window.controller().worker().deadlinesSkipped() - skippedAtStart);
  EXPECT_NEAR(s->SampleCount + 1 + skipped, s->TrialSeconds * 100.0, 3.0);
  EXPECT_EQ(window.controller().worker().setsDropped(), 0u);
  // A demo reading (resting on the baseline or stroking, as the machine's speed decides).
  EXPECT_GE(s->TrialData[s->PairStartChannel], 1185 - 32);
  EXPECT_LE(s->TrialData[s->PairStartChannel], 1185 + 122);
  EXPECT_TRUE(alerts.shown.empty());
}

TEST(MonitorWindowTest, AModelChosenAfterTheWindowOpenedBringsItsDevice) {
  auto s = DemoSession();
  s->DemoMode = 0;  // no device at first
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  RunEventsFor(60);
  EXPECT_EQ(s->TrialData[0], 0);
  EXPECT_FALSE(window.hint().isEmpty());  // the user is told how to choose a unit
  s->DemoMode = 1;  // "D&emo" chosen in the settings
  window.StartMonitor();
  EXPECT_TRUE(window.hint().isEmpty());
  // A busy machine may take a while; the demo swimmer may be resting or stroking by then.
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 3; }, 10000));
  EXPECT_GE(s->TrialData[0], 1185 - 32);
  EXPECT_LE(s->TrialData[0], 1185 + 122);
}

TEST(MonitorWindowTest, HintsSayWhatToDoWhenNothingCanBeShown) {
  struct Case {
    const char* what;
    int16_t demo;
    float area;
    const char* hintStart;  // empty: no hint
  };
  const Case cases[] = {
      {"no unit chosen", 0, 100, "No interface unit is chosen"},
      {"surface area 0", 1, 0, "Every force label reads 0"},
      {"demo at 100 sq cm", 1, 100, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = DemoSession();
    s->DemoMode = c.demo;
    s->SurfaceArea = c.area;
    RecordingAlerts alerts;
    MonitorWindow window(*s, alerts, {});
    window.StartMonitor();
    if (*c.hintStart == '\0')
      EXPECT_TRUE(window.hint().isEmpty()) << window.hint().toStdString();
    else
      EXPECT_TRUE(window.hint().startsWith(QString::fromUtf8(c.hintStart)))
          << window.hint().toStdString();
  }
}

TEST(MonitorWindowTest, TheGraphsTakeTheSpareRoomAndTheLabelsNeverOverlap) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  window.show();
  for (QSize size : {QSize(640, 480), QSize(900, 620), QSize(1280, 1000), QSize(500, 360)}) {
    SCOPED_TRACE(size.width());
    window.resize(size);
    RunEventsUntil([&] { return window.size() == size || window.size() == window.minimumSize(); });
    QApplication::processEvents();
    // The graph spans what its scale and scroll bar leave of the window's width.
    const int used = window.graph(0).width() + window.axis(0).width();
    EXPECT_GT(used, window.width() * 8 / 10);
    EXPECT_EQ(window.axis(0).height(), window.graph(0).height());
    for (int g = 0; g < 2; ++g) {
      const auto rects = window.axis(g).labelRects();
      for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_GE(rects[i].top(), 0) << i;
        EXPECT_LE(rects[i].bottom(), window.axis(g).height() - 1) << i;
        if (i > 0) {
          EXPECT_GT(rects[i].top(), rects[i - 1].bottom()) << "labels " << i << " and " << i + 1;
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
  ASSERT_NE(us, nullptr);
  ASSERT_NE(metric, nullptr);
  const int16_t metricTop = s->AxisLabels[1];
  us->trigger();
  const int16_t usTop = s->AxisLabels[1];
  EXPECT_NE(usTop, metricTop);
  window.StartCmd();
  window.StartCmd();  // a held trial
  metric->trigger();
  EXPECT_EQ(s->AxisLabels[1], metricTop);
  us->trigger();
  EXPECT_EQ(s->AxisLabels[1], usTop);
}

TEST(MonitorWindowTest, ABaselineChangeOnAHeldTrialRedrawsItWhole) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  window.StartCmd();
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 150; }, 10000));
  window.StartCmd();
  QScrollBar* upper = nullptr;
  for (QScrollBar* bar : window.findChildren<QScrollBar*>())
    if (bar->orientation() == Qt::Vertical && !upper) upper = bar;
  ASSERT_NE(upper, nullptr);
  const QImage before = window.graph(0).image();
  upper->setValue(20);  // the trace moves up 20 counts
  const QImage moved = window.graph(0).image();
  EXPECT_NE(moved, before);
  window.showTrial();  // the same page drawn afresh with the new offset
  EXPECT_EQ(window.graph(0).image(), moved);
}

TEST(MonitorWindowTest, KeysAreShownInTheMenusAndF5StartsAndStops) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  QStringList shortcuts;
  for (QAction* menu : window.menuBar()->actions())
    for (QAction* item : menu->menu()->actions())
      if (!item->shortcut().isEmpty()) shortcuts << item->shortcut().toString();
  for (const char* key : {"Ctrl+O", "Ctrl+S", "Ctrl+Q", "F1", "F5"})
    EXPECT_TRUE(shortcuts.contains(QString::fromUtf8(key))) << key;
  window.StartMonitor();
  window.show();
  QAction* start = testing::MenuItem(window, "&Data", "&Start/Stop Collecting Data");
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->shortcut(), QKeySequence(Qt::Key_F5));
  start->trigger();
  EXPECT_EQ(s->MonitorOnly, 0);
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 5; }, 10000));
  EXPECT_TRUE(window.status().startsWith("Recording: ")) << window.status().toStdString();
  start->trigger();
  EXPECT_FALSE(window.controller().loop().timerEnabled());
  EXPECT_FALSE(start->isEnabled());  // a new recording starts from Data, Monitor
}

TEST(MonitorWindowTest, ScaleScrollBarsAndSurfaceArea) {
  auto s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  const int16_t expected[11] = {78, 63, 47, 31, 16, 0, -16, -31, -47, -63, -78};
  for (int i = 1; i <= 11; ++i) EXPECT_EQ(s->AxisLabels[i], expected[i - 1]) << i;

  auto bars = window.findChildren<QScrollBar*>();
  int vertical = 0;
  for (QScrollBar* bar : bars) {
    if (bar->orientation() != Qt::Vertical) continue;
    bar->setValue(vertical == 0 ? 12 : -30);
    ++vertical;
  }
  ASSERT_EQ(vertical, 2);
  EXPECT_EQ(s->BaselineOffsets[0], -12);
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
