#include "app/acquisition/sampling_loop.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "app/acquisition/stored_value.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"

namespace tidemet {

SamplingLoop::SamplingLoop(Session& session, Alerts& alerts, GraphSink& sink, Stopwatch& stopwatch)
    : s_(session), alerts_(alerts), sink_(sink), stopwatch_(stopwatch) {}

void SamplingLoop::StartMonitor() {
  s_.RecordedModelCode = s_.ModelCode;
  s_.CalibrationFactor = s_.CalibrationSetting;
  if (applySettings) applySettings(s_);

  windowCaption_ = std::string(AppTitle) + " Data Monitor";
  buttonCaption_ = "Start Collecting Data";
  ComputeAxisLabels(s_);
  sink_.clearGraphs();

  s_.MonitorOnly = 1;
  s_.SampleIndex = 0;
  s_.SaveFirstChannel = 0;
  s_.SaveLastChannel = 7;
  // The serial units' start and poll commands are sent by their source on the acquisition
  // thread, which owns the port.
  if (s_.ModelCode == 8 || s_.ModelCode == 16 || s_.ModelCode == 17) s_.ChannelCount = 2;
  if (s_.ModelCode == 23) s_.SaveLastChannel = 3;
  history_[0] = history_[1] = PlotHistory{};
  forgetFailures();
  timerEnabled_ = true;
}

void SamplingLoop::Timer2_Timer(Source& source) {
  if (!timerEnabled_) return;
  ReadingSet readings;
  source.takeReadings(readings);
  ProcessReadings(readings, &source);
}

void SamplingLoop::ProcessReadings(const ReadingSet& readings, Source* source) {
  s_.GraphColumn = static_cast<int16_t>(s_.SampleIndex % kSweepWidth);
  if (s_.MonitorOnly == 1 && s_.GraphColumn == 0) {
    sink_.clearGraphs();
    s_.SampleIndex = 0;
  }
  // Once a recording has filled TrialData nothing new is stored or drawn, the erase line
  // included, so the last sweep of the trial stays on screen.
  const bool rowFits = s_.trialIndex(s_.SampleIndex, s_.ChannelCount - 1) >= 0;
  if (s_.SweepEraseOn == 1 && rowFits) sink_.eraseColumns(s_.GraphColumn, s_.GraphColumn);

  StoreReadings(s_, readings, alerts_, memory_);
  if (readings.errorNumber != 0) {
    if (s_.MonitorOnly == 0)
      failedReadings_ +=
          static_cast<uint32_t>(std::max(1, ReadingsPerTick(s_) - readings.errorAfter));
    // Every failing tick resets the device; the box is shown once per run of failing ticks.
    if (!inErrorRun_) showDeviceError(readings);
    inErrorRun_ = true;
    if (source) source->afterError();
    return;  // no drawing, no advance
  }
  inErrorRun_ = false;
  if (readings.failed != 0) reportFailedReadings(readings);

  if (rowFits) PlotSample(s_, s_.SampleIndex, s_.GraphColumn, history_, sink_);
  if (s_.MonitorOnly == 0) {
    ++ticksRecorded_;
    if (!rowFits) bufferFilled_ = true;
  }
  if (s_.SampleIndex < kLastSampleIndex) ++s_.SampleIndex;
}

void SamplingLoop::showDeviceError(const ReadingSet& readings) {
  std::string text;
  const std::string driverText(readings.errorText.data(),
                               strnlen(readings.errorText.data(), readings.errorText.size()));
  if (readings.errorNumber > 50000) {
    text = "Function returned LabJackUD Error #" +
           NumText(static_cast<long long>(readings.errorNumber - 50000)) + "  " + driverText;
  } else {
    text = "VB error: i = " + NumText(static_cast<long long>(s_.SampleIndex)) + "Error #" +
           NumText(static_cast<long long>(readings.errorNumber)) + "  " + driverText;
  }
  alerts_.show({std::string(AppTitle), text, AlertIcon::Exclamation, AlertButtons::Ok});
}

void SamplingLoop::reportFailedReadings(const ReadingSet& readings) {
  if (s_.MonitorOnly == 0) failedReadings_ += static_cast<uint32_t>(std::popcount(readings.failed));
  if (failureReported_) return;
  failureReported_ = true;
  const std::string why(readings.errorText.data(),
                        strnlen(readings.errorText.data(), readings.errorText.size()));
  std::string text = "The interface unit did not deliver a reading.";
  if (!why.empty()) text += std::string(CrLf) + why;
  text += std::string(CrLf) + "Each missing reading repeats the last value of this recording." +
          std::string(CrLf) + "Check that the unit is connected, then monitor and record again.";
  alerts_.show(
      {std::string(AppTitle) + " Warning", text, AlertIcon::Exclamation, AlertButtons::Ok});
}

void SamplingLoop::forgetFailures() {
  memory_.forget();
  failureReported_ = false;
  inErrorRun_ = false;
}

void SamplingLoop::StartCmd(Source* source) {
  if (s_.MonitorOnly == 1) {
    StartData();
    buttonCaption_ = "Stop Collecting Data";
    stopwatch_.start();
    return;
  }
  const int64_t elapsed = stopwatch_.elapsedMilliseconds();
  s_.TrialSeconds = static_cast<float>(static_cast<double>(elapsed) / 1000.0);
  timerEnabled_ = false;
  s_.SweepEraseOn = 0;
  if ((s_.ModelCode == 22 || s_.ModelCode == 23) && source) source->recordingStopped();
  StopData();
}

void SamplingLoop::StartData() {
  s_.MonitorOnly = 0;
  s_.CurrentFileName.clear();
  s_.DataUnitsFlag = s_.UnitsFlag;
  sink_.clearGraphs();
  s_.SampleIndex = 0;
  s_.SweepEraseOn = 1;
  s_.SaveFirstChannel = s_.PairStartChannel;
  s_.SaveLastChannel = s_.PairSecondChannel;
  if ((s_.ModelCode == 13 && s_.ChannelCount == 4) || s_.ModelCode == 23) {
    s_.SaveFirstChannel = 0;
    s_.SaveLastChannel = 3;
  }
  history_[0] = history_[1] = PlotHistory{};
  ticksRecorded_ = 0;
  bufferFilled_ = false;
  failedReadings_ = 0;
  forgetFailures();
}

void SamplingLoop::StopData() {
  std::copy_n(s_.BaselineOffsets.begin(), 8, s_.RememberedOffsets.begin());
  s_.SampleCount = static_cast<int16_t>(s_.SampleIndex - 1);
  // A recording that ran past the end of TrialData keeps only the rows that were stored, and
  // its measured time is scaled to them, so the time base stays the measured tick period.
  const int16_t lastStoredRow = static_cast<int16_t>(kTrialDataSize / s_.ChannelCount - 1);
  if (bufferFilled_ && s_.SampleCount > lastStoredRow) {
    if (ticksRecorded_ > 0)
      s_.TrialSeconds = static_cast<float>(s_.TrialSeconds * (lastStoredRow + 1.0) / ticksRecorded_);
    s_.SampleCount = lastStoredRow;
  }
  s_.SecondsPerSample = s_.SampleCount > 0 ? s_.TrialSeconds / s_.SampleCount : 0.02f;
  sink_.eraseColumns(s_.GraphColumn, kSweepWidth - 1);
  s_.RecordedUnitsFlag = s_.UnitsFlag;
}

}  // namespace tidemet
