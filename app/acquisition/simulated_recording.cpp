#include "app/acquisition/simulated_recording.h"

#include <algorithm>
#include <memory>

#include "app/acquisition/monitor_controller.h"
#include "app/session/model_table.h"

namespace tidemet {

SimulatedRecordingResult RecordSimulatedTrial(Session& s, Alerts& alerts, double seconds,
                                              DemoParameters parameters) {
  s.ModelCode = 0;
  s.DemoMode = 1;
  ApplyCalibration(s, 0);
  parameters.channels = kMaxChannels;
  VirtualClock clock;
  NullGraphSink sink;
  MonitorController monitor(s, alerts, sink, clock, [&clock, parameters] {
    return std::make_unique<DemoSource>(clock, 0, parameters);
  });
  monitor.openSynchronously();
  monitor.StartMonitor();
  monitor.tick();  // one sweep column of monitoring before the start, as at the poolside
  monitor.StartCmd();
  const int ticks = std::clamp(static_cast<int>(seconds * 100.0 + 0.5), 1, 32767);
  for (int i = 0; i < ticks; ++i) monitor.tick();
  clock.advance(kTickPeriodNs);  // the user presses Stop a period after the last reading
  monitor.StartCmd();
  return {ticks};
}

}  // namespace tidemet
