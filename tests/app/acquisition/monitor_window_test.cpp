#include "app/acquisition/monitor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <memory>

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
  EXPECT_EQ(button->text(), "Stop Collecting Data");
  RunEventsFor(400);
  button->click();
  EXPECT_EQ(s->MonitorOnly, 0);
  EXPECT_FALSE(window.controller().loop().timerEnabled());
  // Every reading taken during the recording was stored: the count follows the measured time.
  EXPECT_NEAR(s->SampleCount + 1, s->TrialSeconds * 100.0, 3.0);
  EXPECT_EQ(window.controller().worker().setsDropped(), 0u);
  // The demo swimmer rests on the baseline for its first second.
  EXPECT_NEAR(s->TrialData[s->PairStartChannel], 1185, 2);
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
  s->DemoMode = 1;  // "D&emo" chosen in the settings
  window.StartMonitor();
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 3; }));
  EXPECT_NEAR(s->TrialData[0], 1185, 2);
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
