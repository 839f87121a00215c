#include "app/acquisition/monitor_controller.h"

#include <limits>
#include <string>

#include "app/session/text.h"

namespace tidemet {

MonitorController::MonitorController(Session& session, Alerts& alerts, GraphSink& sink, Clock& clock,
                                     AcquisitionWorker::SourceFactory makeSource,
                                     std::function<void()> notifyWindow)
    : s_(session),
      alerts_(alerts),
      clock_(clock),
      stopwatch_(clock),
      loop_(session, alerts, sink, stopwatch_),
      worker_(std::make_unique<AcquisitionWorker>(clock, std::move(makeSource),
                                                  std::move(notifyWindow))),
      notices_(*worker_) {}

MonitorController::~MonitorController() { unload(); }

void MonitorController::load() { worker_->start(); }

void MonitorController::unload() {
  loop_.LeaveMonitor();
  worker_->stop();
  worker_->closeSource();
  worker_->discard();
}

void MonitorController::openSynchronously() { worker_->openSource(clock_.nowNs()); }

void MonitorController::tick() {
  worker_->step();
  onReadingsQueued();
}

void MonitorController::StartMonitor() {
  worker_->discard();  // readings from before monitoring belong to no sweep
  loop_.StartMonitor();
  worker_->publishSensors(s_.SensorType, s_.LimbMode);
  worker_->publishChannelCount(s_.ChannelCount);
  worker_->requestMonitoringStarted();
}

bool MonitorController::recording() const { return loop_.timerEnabled() && s_.MonitorOnly == 0; }

void MonitorController::processUpTo(int64_t takenUpToNs) {
  if (processing_) return;
  processing_ = true;
  worker_->process(
      [this](const ReadingSet& r) {
        latest_ = r;
        ++seen_;
        if (!loop_.timerEnabled()) return;
        loop_.ProcessReadings(r, &notices_);
        ++processed_;
        // A full TrialData ends the recording at the tick that found no room, as Stop would.
        if (loop_.bufferFilled() && recording()) {
          stopwatch_.stopAt(r.takenAtNs);
          loop_.StartCmd(&notices_);
          alerts_.show({std::string(AppTitle),
                        "The recording has filled the trial buffer (" +
                            NumText(static_cast<long long>(s_.SampleCount + 1)) + " samples of " +
                            NumText(static_cast<long long>(s_.ChannelCount)) +
                            " channels) and was stopped." + std::string(CrLf) +
                            "The trial is kept; save it before recording again.",
                        AlertIcon::Information, AlertButtons::Ok});
        }
      },
      takenUpToNs);
  processing_ = false;
}

void MonitorController::showDeviceMessages() {
  for (const Alert& alert : messages_.take()) alerts_.show(alert);
}

void MonitorController::onReadingsQueued() {
  worker_->publishSensors(s_.SensorType, s_.LimbMode);
  worker_->publishChannelCount(s_.ChannelCount);
  if (!processing_) showDeviceMessages();
  processUpTo(std::numeric_limits<int64_t>::max());
}

void MonitorController::StartCmd() {
  if (!loop_.timerEnabled()) return;
  if (s_.MonitorOnly == 1) {
    // Sets taken before the start belong to the monitoring sweep.
    processUpTo(std::numeric_limits<int64_t>::max());
    loop_.StartCmd(&notices_);
    return;
  }
  const int64_t stopNs = clock_.nowNs();
  processUpTo(stopNs);
  stopwatch_.stopAt(stopNs);
  loop_.StartCmd(&notices_);
  worker_->discard();
}

void MonitorController::LeaveMonitor() {
  loop_.LeaveMonitor();
  worker_->discard();
}

}  // namespace tidemet
