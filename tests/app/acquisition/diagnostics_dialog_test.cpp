#include "app/acquisition/diagnostics_dialog.h"

#include <gtest/gtest.h>

#include "support/demo_monitor.h"
#include <time.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/acquisition/demo_source.h"
#include "app/acquisition/monitor_window.h"
#include "app/acquisition/stored_value.h"

namespace tidemet {
namespace {

// A real event loop for `ms`: it sleeps between events, so the thread's CPU time is what the
// timers and windows cost.
void runEventsFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

std::unique_ptr<Session> demoSession() {
  auto s = testing::DemoSession();
  s->DelayCount = 4;
  return s;
}

QAction* diagnosticsItem(MonitorWindow& window) {
  return testing::MenuItem(window, "&Data", "Diag&nostics");
}

TEST(DiagnosticsDialogTest, WhileMonitoringTheLoopShowsTheLatestReadingsUntilContinue) {
  auto s = demoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  runEventsFor(100);
  QAction* item = diagnosticsItem(window);
  ASSERT_NE(item, nullptr);
  ASSERT_TRUE(item->isEnabled());

  const double idleStart = threadCpuMs();
  runEventsFor(1000);
  const double idleMs = threadCpuMs() - idleStart;

  item->trigger();
  auto* diag = window.findChild<DiagnosticsDialog*>("Diag");
  ASSERT_NE(diag, nullptr);
  EXPECT_EQ(diag->windowTitle(), "Tidemet Diagnostics");
  EXPECT_TRUE(diag->running());
  EXPECT_EQ(diag->findChild<QLabel*>("Model:")->text(), "QF8");
  EXPECT_EQ(diag->findChild<QLabel*>("Delay:")->text(), "4");
  EXPECT_EQ(diag->findChild<QLabel*>("Number of Channels:")->text(), "2");
  EXPECT_EQ(diag->findChild<QLabel*>("Video Frames: ")->text(), "0");
  EXPECT_EQ(diag->findChild<QPlainTextEdit*>("DiagChannelText")->toPlainText(),
            "1\n2\n3\n4\n5\n6\n7\n8");

  s->TrialData[0] = 0;
  const double loopStart = threadCpuMs();
  runEventsFor(1000);
  const double loopMs = threadCpuMs() - loopStart;
  std::printf(
      "window thread CPU over 1 s: %.1f ms monitoring, %.1f ms with the diagnostics loop (%llu "
      "passes)\n",
      idleMs, loopMs, static_cast<unsigned long long>(diag->passes()));
  EXPECT_GT(diag->passes(), 10u);
  // The loop stored a demo reading (around the stored baseline 1185) over the zero and shows
  // it. A tick of the monitor may store into element 0 between two passes: the next pass
  // shows it.
  auto* valueText = diag->findChild<QPlainTextEdit*>("DiagValueText");
  EXPECT_NEAR(s->TrialData[0], 1185, 200);
  EXPECT_TRUE(testing::RunEventsUntil(
      [&] { return valueText->toPlainText().split('\n').value(0).toInt() == s->TrialData[0]; },
      10000));
  EXPECT_EQ(valueText->toPlainText().split('\n').size(), 8);

  diag->findChild<QPushButton*>("DiagContinueCmd")->click();
  EXPECT_FALSE(diag->running());
  EXPECT_FALSE(diag->isVisible());
  const uint64_t passes = diag->passes();
  runEventsFor(100);
  EXPECT_EQ(diag->passes(), passes);
  EXPECT_TRUE(window.controller().loop().timerEnabled());  // the monitor goes on
}

// Monitoring is on while the window has left the tick (Data > Graph): the loop still reads.
TEST(DiagnosticsDialogTest, TheLoopReadsWheneverTheWindowMonitorsAndWarnsOfNonsense) {
  auto s = demoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  window.controller().LeaveMonitor();
  ASSERT_EQ(s->MonitorOnly, 1);
  diagnosticsItem(window)->trigger();
  auto* diag = window.findChild<DiagnosticsDialog*>("Diag");
  ASSERT_NE(diag, nullptr);
  EXPECT_TRUE(diag->running());
  s->TrialData[0] = 0;
  EXPECT_TRUE(testing::RunEventsUntil([&] { return s->TrialData[0] != 0; }, 10000));
  EXPECT_TRUE(alerts.shown.empty());
  diag->DiagContinueCmd();

  // A reading no sample can hold is nonsense from the interface.
  struct Case {
    int16_t model;
    const char* text;
  };
  const Case cases[] = {
      {7, "Transmission values are out of range."},
      {1,
       "Transmission values are out of range.\r\nCheck that the power supplies\r\nfor the RSU and "
       "CIU are adequate."},
  };
  for (const Case& c : cases) {
    const Alert alert = TransmissionAlert(c.model);
    EXPECT_EQ(alert.title, "Tidemet Warning");
    EXPECT_EQ(alert.text, c.text);
    EXPECT_EQ(alert.icon, AlertIcon::Exclamation);
  }
  Session usb;
  usb.ModelCode = 7;
  ReadingSet r;
  r.set(0, 31767);  // stored as 32767: fits
  EXPECT_FALSE(ReadingsOutOfRange(usb, r));
  r.set(1, 31768);
  EXPECT_TRUE(ReadingsOutOfRange(usb, r));
}

// The loop alone, with no monitor drawing beside it: paced by its timer, never spinning.
TEST(DiagnosticsDialogTest, TheReadingLoopIsPacedByTheEventLoop) {
  auto s = demoSession();
  RecordingAlerts alerts;
  VirtualClock clock;
  NullGraphSink sink;
  MonitorController monitor(*s, alerts, sink, clock, [&clock]() -> std::unique_ptr<Source> {
    return std::make_unique<DemoSource>(clock, 0, DemoParameters{});
  });
  monitor.openSynchronously();
  monitor.StartMonitor();
  monitor.tick();
  DiagnosticsDialog diag(*s, monitor, alerts, {});
  diag.open();
  ASSERT_TRUE(diag.running());
  const double start = threadCpuMs();
  runEventsFor(1000);
  const double cpuMs = threadCpuMs() - start;
  std::printf("diagnostics loop alone: %.1f ms CPU in 1 s (%.1f %%), %llu passes\n", cpuMs,
              cpuMs / 10.0, static_cast<unsigned long long>(diag.passes()));
  EXPECT_GE(diag.passes(), 25u);
  EXPECT_LE(diag.passes(), 1000u / DiagnosticsDialog::kPassIntervalMs + 2);
  // The one set the monitor processed was stored in element 0 (pair layout puts it at row 0 too).
  EXPECT_NEAR(s->TrialData[0], 1185, 2);
  diag.DiagContinueCmd();
}

TEST(DiagnosticsDialogTest, OpenedWhileRecordingItOnlyShowsTheLabels) {
  auto s = demoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  window.StartCmd();
  runEventsFor(50);
  diagnosticsItem(window)->trigger();
  auto* diag = window.findChild<DiagnosticsDialog*>("Diag");
  ASSERT_NE(diag, nullptr);
  runEventsFor(100);
  EXPECT_FALSE(diag->running());
  EXPECT_EQ(diag->passes(), 0u);
  window.StartCmd();
}

}  // namespace
}  // namespace tidemet
