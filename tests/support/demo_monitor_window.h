#pragma once
// A monitor window on the demonstration unit, already monitoring: what most monitor window tests
// start from.

#include <memory>

#include "app/acquisition/monitor_window.h"
#include "support/demo_monitor.h"

namespace tidemet::testing {

// Generous: the suite runs beside other busy processes.
constexpr int kWindowLimitMs = 20000;

struct DemoMonitor {
  DemoMonitor() { window.StartMonitor(); }
  // With the test's own seams; the test starts monitoring.
  explicit DemoMonitor(MonitorWindow::Seams seams)
      : window(*s, alerts, {}, nullptr, std::move(seams)) {}
  std::unique_ptr<Session> s = DemoSession();
  RecordingAlerts alerts;
  MonitorWindow window{*s, alerts, {}};
};

}  // namespace tidemet::testing
