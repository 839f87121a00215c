#include "app/acquisition/monitor_controller.h"

#include <limits>

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
  worker_->requestMonitoringStarted();
}

void MonitorController::processUpTo(int64_t takenUpToNs) {
  if (processing_) return;
  processing_ = true;
  worker_->process(
      [this](const ReadingSet& r) {
        if (!loop_.timerEnabled()) return;
        loop_.ProcessReadings(r, &notices_);
        lastProcessed_ = r;
        ++processed_;
      },
      takenUpToNs);
  processing_ = false;
}

void MonitorController::showDeviceMessages() {
  for (const Alert& alert : messages_.take()) alerts_.show(alert);
}

void MonitorController::onReadingsQueued() {
  worker_->publishSensors(s_.SensorType, s_.LimbMode);
  if (!processing_) showDeviceMessages();
  if (loop_.timerEnabled())
    processUpTo(std::numeric_limits<int64_t>::max());
  else if (!processing_)
    worker_->discard();
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
