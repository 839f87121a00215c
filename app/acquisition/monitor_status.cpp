#include "app/acquisition/monitor_status.h"

#include <algorithm>
#include <cstdio>

#include "app/session/text.h"

namespace tidemet {

std::string MonitorHint(const Session& s, bool hasDevice) {
  if (!hasDevice)
    return "No interface unit is chosen, so no readings are taken. Choose yours in the main "
           "window under File > Customize, or choose Demo there to try the program without one.";
  const bool allZero =
      std::all_of(s.AxisLabels.begin() + 1, s.AxisLabels.end(), [](int16_t v) { return v == 0; });
  if (allZero)
    return "Every force label reads 0: type the sensor's surface area into the box below the "
           "graphs (for example 100).";
  return {};
}

std::string RecordingStatus(const Session& s, double elapsedSeconds) {
  // Only the rows that fit TrialData are stored; the tick stops the recording beyond them.
  const long rows = kTrialDataSize / std::max<int>(1, s.ChannelCount);
  const long stored = std::clamp<long>(s.SampleIndex, 0, rows);
  char text[96];
  std::snprintf(text, sizeof text, "Recording: %.1f s, %ld samples stored",
                std::max(0.0, elapsedSeconds), stored);
  return text;
}

std::string MonitorTitle(const Session& s) {
  std::string title = std::string(AppTitle) + " Data Monitor";
  if (!s.CurrentFileName.empty()) {
    const size_t slash = s.CurrentFileName.find_last_of("/\\");
    title += " - " +
             (slash == std::string::npos ? s.CurrentFileName : s.CurrentFileName.substr(slash + 1));
    if (!s.DataClientName.empty()) title += " - " + s.DataClientName;
  }
  return title;
}

}  // namespace tidemet
