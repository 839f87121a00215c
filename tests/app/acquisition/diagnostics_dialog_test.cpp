#include "app/acquisition/diagnostics_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "app/acquisition/monitor_window.h"
#include "support/demo_monitor_window.h"

namespace tidemet {
namespace {

using testing::RunEventsUntil;

constexpr int kLimitMs = testing::kWindowLimitMs;

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
    testing::DemoMonitor m;
    MonitorWindow& window = m.window;
    Session* s = m.s.get();
    ASSERT_TRUE(RunEventsUntil([&] { return window.controller().setsProcessed() >= 1; }, kLimitMs));
    if (leftTheTick) window.controller().LeaveMonitor();
    DiagnosticsDialog* diag = openDiagnostics(window);
    ASSERT_NE(diag, nullptr);
    EXPECT_TRUE(diag->running());

    // The loop stores a demo reading over the zero, and a later pass shows what element 0
    // holds (a monitor tick may store into it between two passes).
    s->TrialData[0] = 0;
    ASSERT_TRUE(
        RunEventsUntil([&] { return diag->passes() >= 3 && s->TrialData[0] != 0; }, kLimitMs));
    EXPECT_NEAR(s->TrialData[0], 1185, 200);
    EXPECT_TRUE(RunEventsUntil([&] { return shownValue(*diag) == s->TrialData[0]; }, kLimitMs));
    EXPECT_TRUE(m.alerts.shown.empty());

    diag->findChild<QPushButton*>("DiagContinueCmd")->click();
    EXPECT_FALSE(diag->running());
    EXPECT_FALSE(diag->isVisible());
    const uint64_t passes = diag->passes();
    testing::RunEventsFor(100);
    EXPECT_EQ(diag->passes(), passes);
    EXPECT_EQ(window.controller().loop().timerEnabled(), !leftTheTick);
  }
}

TEST(DiagnosticsDialogTest, OpenedWhileRecordingItOnlyShowsTheLabels) {
  testing::DemoMonitor m;
  MonitorWindow& window = m.window;
  window.StartCmd();
  ASSERT_TRUE(RunEventsUntil([&] { return m.s->SampleIndex >= 2; }, kLimitMs));
  DiagnosticsDialog* diag = openDiagnostics(window);
  ASSERT_NE(diag, nullptr);
  testing::RunEventsFor(100);
  EXPECT_FALSE(diag->running());
  EXPECT_EQ(diag->passes(), 0u);
  EXPECT_EQ(diag->findChild<QLabel*>("Model:")->text(), "QF8");
  window.StartCmd();
}

}  // namespace
}  // namespace tidemet
