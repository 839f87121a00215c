#include "app/acquisition/diagnostics_dialog.h"

#include <gtest/gtest.h>
#include <time.h>

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/acquisition/demo_source.h"
#include "app/acquisition/monitor_window.h"
#include "app/acquisition/stored_value.h"
#include "support/demo_monitor.h"

namespace tidemet {
namespace {

using testing::RunEventsUntil;

constexpr int kLimitMs = 20000;  // generous: the suite runs beside other busy processes

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

DiagnosticsDialog* openDiagnostics(MonitorWindow& window) {
  QAction* item = testing::MenuItem(window, "&Data", "Diag&nostics");
  if (!item || !item->isEnabled()) return nullptr;
  item->trigger();
  return window.findChild<DiagnosticsDialog*>("Diag");
}

int shownValue(DiagnosticsDialog& diag) {
  return diag.findChild<QPlainTextEdit*>("DiagValueText")
      ->toPlainText()
      .split('\n')
      .value(0)
      .toInt();
}

// Monitoring, or left for Data > Graph: the loop reads the device until Continue either way.
TEST(DiagnosticsDialogTest, WhileMonitoringTheLoopShowsTheLatestReadingsUntilContinue) {
  for (bool leftTheTick : {false, true}) {
    SCOPED_TRACE(leftTheTick ? "window left the tick" : "window monitoring");
    auto s = testing::DemoSession();
    s->DelayCount = 4;
    RecordingAlerts alerts;
    MonitorWindow window(*s, alerts, {});
    window.StartMonitor();
    ASSERT_TRUE(RunEventsUntil([&] { return window.controller().setsProcessed() >= 1; }, kLimitMs));
    if (leftTheTick) window.controller().LeaveMonitor();
    DiagnosticsDialog* diag = openDiagnostics(window);
    ASSERT_NE(diag, nullptr);
    EXPECT_EQ(diag->windowTitle(), "Tidemet Diagnostics");
    EXPECT_TRUE(diag->running());
    EXPECT_EQ(diag->findChild<QLabel*>("Delay:")->text(), "4");

    // The loop stores a demo reading over the zero, and a later pass shows what element 0
    // holds (a monitor tick may store into it between two passes).
    s->TrialData[0] = 0;
    ASSERT_TRUE(
        RunEventsUntil([&] { return diag->passes() >= 3 && s->TrialData[0] != 0; }, kLimitMs));
    EXPECT_NEAR(s->TrialData[0], 1185, 200);
    EXPECT_TRUE(RunEventsUntil([&] { return shownValue(*diag) == s->TrialData[0]; }, kLimitMs));
    EXPECT_TRUE(alerts.shown.empty());

    diag->findChild<QPushButton*>("DiagContinueCmd")->click();
    EXPECT_FALSE(diag->running());
    EXPECT_FALSE(diag->isVisible());
    const uint64_t passes = diag->passes();
    runEventsFor(100);
    EXPECT_EQ(diag->passes(), passes);
    EXPECT_EQ(window.controller().loop().timerEnabled(), !leftTheTick);
  }
}

// The loop alone, with no monitor drawing beside it: paced by its timer, never spinning.
TEST(DiagnosticsDialogTest, TheReadingLoopIsPacedByTheEventLoop) {
  auto s = testing::DemoSession();
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
  QElapsedTimer elapsed;
  elapsed.start();
  const double start = threadCpuMs();
  runEventsFor(1000);
  const double cpuMs = threadCpuMs() - start;
  std::printf("diagnostics loop alone: %.1f ms CPU in 1 s (%.1f %%), %llu passes\n", cpuMs,
              cpuMs / 10.0, static_cast<unsigned long long>(diag.passes()));
  // A busy machine may run fewer passes, never more than the timer allows.
  EXPECT_TRUE(RunEventsUntil([&] { return diag.passes() >= 5; }, kLimitMs));
  EXPECT_LE(diag.passes(),
            static_cast<uint64_t>(elapsed.elapsed()) / DiagnosticsDialog::kPassIntervalMs + 2);
  EXPECT_NEAR(s->TrialData[0], 1185, 2);  // the demo rests on its baseline at first
  diag.DiagContinueCmd();
}

TEST(DiagnosticsDialogTest, OpenedWhileRecordingItOnlyShowsTheLabels) {
  auto s = testing::DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window(*s, alerts, {});
  window.StartMonitor();
  window.StartCmd();
  ASSERT_TRUE(RunEventsUntil([&] { return s->SampleIndex >= 2; }, kLimitMs));
  DiagnosticsDialog* diag = openDiagnostics(window);
  ASSERT_NE(diag, nullptr);
  runEventsFor(100);
  EXPECT_FALSE(diag->running());
  EXPECT_EQ(diag->passes(), 0u);
  EXPECT_EQ(diag->findChild<QLabel*>("Model:")->text(), "QF8");
  window.StartCmd();
}

}  // namespace
}  // namespace tidemet
