#pragma once
// What the monitor tells the user beside its graphs: hints when nothing sensible can be shown,
// the running recording's progress, and the window title of a saved trial.

#include <string>

#include "app/session/session.h"

namespace tidemet {

// A hint for the line above the graphs, empty when there is nothing to say. `hasDevice` is
// false when the session's model takes no readings at all.
std::string MonitorHint(const Session& s, bool hasDevice);

// "Recording: 12.3 s, 1230 samples stored" while a recording runs.
std::string RecordingStatus(const Session& s, double elapsedSeconds);

// "Tidemet Data Monitor", followed by the trial's file name and client once it has them.
std::string MonitorTitle(const Session& s);

}  // namespace tidemet
