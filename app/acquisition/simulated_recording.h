#pragma once
// A recording of the demonstration unit made at once on a virtual clock: the same start of
// monitoring, tick and stop as in the monitor window, without waiting.

#include "app/acquisition/demo_source.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

struct SimulatedRecordingResult {
  int ticks = 0;  // reading sets processed while recording
};

// Records `seconds` of the demo unit into the session's trial (model 0 in demo mode, the
// session's channel count). The session's other settings stay as they are.
SimulatedRecordingResult RecordSimulatedTrial(Session& s, Alerts& alerts, double seconds,
                                              DemoParameters parameters);

}  // namespace tidemet
