#pragma once
// What the diagnostics dialog shows: the acquisition settings, the last recording's timing,
// the processor, and the latest value of every channel while the monitor runs.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/acquisition/reading_set.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

struct CpuInfo {
  std::string type;   // the processor's model name
  std::string speed;  // e.g. "2400 MHz"
};

// The first processor of a /proc/cpuinfo text. Fields that are missing stay empty.
CpuInfo ParseCpuInfo(std::string_view text);
// Reads /proc/cpuinfo (or `path`).
CpuInfo ReadCpuInfo(const char* path = "/proc/cpuinfo");

// The "Model:" text; empty for the codes that leave the label unchanged (5 and 6).
std::optional<std::string> DiagModelName(const Session& s);

// "Data Rate:": whole samples per second of the last recording, 0 without a measured time.
long DataRate(int16_t sampleCount, float trialSeconds);

// The video figures of the last recording; all zero until the program captures video.
struct VideoFigures {
  float videoTime = 0, videoRate = 0;
  long videoFrames = 0;
  long droppedFrames = 0, lastFrame = 0, ivalue0 = 0, videoBuffers = 0;
};

struct DiagLabel {
  std::string caption;
  std::string value;
};

// Every label of the dialog in order, with its value. `moduleResult` is the USB module's last
// result code (models 18-21); `failedReadings` counts the readings that failed in the last
// recording.
std::vector<DiagLabel> DiagLabels(const Session& s, const CpuInfo& cpu, const VideoFigures& video,
                                  int32_t moduleResult, uint32_t failedReadings = 0);

// "1" to "8", one per line, and the values of TrialData(0) to TrialData(7), one per line.
std::string DiagChannelText();
std::string DiagValueText(const Session& s);

// One pass of the reading loop: the readings of one tick stored with the tick's convention into
// TrialData elements 0 to 7, element c holding channel c.
void DiagStoreReadings(Session& s, const ReadingSet& readings, Alerts& alerts);

// The warning for readings the interface delivered outside what a sample can hold; the
// model-1 unit adds a word on its power supplies.
Alert TransmissionAlert(int16_t modelCode);

}  // namespace tidemet
