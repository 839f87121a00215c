#pragma once
// The monitor's sampling loop: start of monitoring, the 10 ms tick, and the start and stop of a
// recording. The tick is split at one seam: taking the readings (Source) and processing them
// (storing, drawing, advancing), so that the program can take readings on an acquisition thread
// and process them in order on the window's thread, while tests call both synchronously.

#include <cstdint>
#include <functional>
#include <string>

#include "app/acquisition/plot_sample.h"
#include "app/acquisition/reading_set.h"
#include "app/acquisition/seams.h"
#include "app/acquisition/stored_value.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

inline constexpr int16_t kLastSampleIndex = 32767;

class SamplingLoop {
 public:
  SamplingLoop(Session& session, Alerts& alerts, GraphSink& sink, Stopwatch& stopwatch);

  // Runs when monitoring starts, after CalibrationFactor was taken from the Sensors menu: the
  // settings window's model settings are applied here.
  std::function<void(Session&)> applySettings;

  void StartMonitor();
  // One whole tick: readings from `source`, then ProcessReadings.
  void Timer2_Timer(Source& source);
  // Steps 2 to 6 of the tick for readings already taken. `source` receives the reset after a
  // device error (may be null).
  void ProcessReadings(const ReadingSet& readings, Source* source);
  // The Start/Stop button. `source` receives the end-of-recording notice (may be null).
  void StartCmd(Source* source);
  void StartData();
  void StopData();
  // Leaving the monitor for another window.
  void LeaveMonitor() { timerEnabled_ = false; }

  bool timerEnabled() const { return timerEnabled_; }
  const std::string& windowCaption() const { return windowCaption_; }
  const std::string& buttonCaption() const { return buttonCaption_; }
  // True when the last recording ran past the end of TrialData.
  bool bufferFilled() const { return bufferFilled_; }
  // Readings that failed in the current or last recording (a LabJack error counts the tick's
  // readings that were not taken).
  uint32_t failedReadings() const { return failedReadings_; }

 private:
  void showDeviceError(const ReadingSet& readings);
  void reportFailedReadings(const ReadingSet& readings);
  void forgetFailures();

  Session& s_;
  Alerts& alerts_;
  GraphSink& sink_;
  Stopwatch& stopwatch_;
  bool timerEnabled_ = false;
  bool bufferFilled_ = false;
  int32_t ticksRecorded_ = 0;
  uint32_t failedReadings_ = 0;
  // A device that fails is told once per recording (or start of monitoring); a LabJack error
  // once per run of failing ticks.
  bool failureReported_ = false;
  bool inErrorRun_ = false;
  SlotMemory memory_;
  PlotHistory history_[2];
  std::string windowCaption_;
  std::string buttonCaption_ = "Start Collecting Data";
};

}  // namespace tidemet
