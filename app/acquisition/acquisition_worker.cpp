#include "app/acquisition/acquisition_worker.h"

#include <pthread.h>
#include <sched.h>

namespace tidemet {

AcquisitionWorker::AcquisitionWorker(Clock& clock, SourceFactory makeSource,
                                     std::function<void()> notify)
    : clock_(clock), makeSource_(std::move(makeSource)), notify_(std::move(notify)) {}

AcquisitionWorker::~AcquisitionWorker() {
  stop();
  closeSource();
}

void AcquisitionWorker::start() {
  if (thread_.joinable()) return;
  quit_.store(false);
  const int64_t startNs = clock_.nowNs();
  thread_ = std::thread([this, startNs] { runThread(startNs); });
}

void AcquisitionWorker::stop() {
  if (!thread_.joinable()) return;
  quit_.store(true);
  thread_.join();
}

namespace {

// Readings are due every 10 ms whatever else the computer does: ask for a real-time priority
// where the system grants it (a modest one, below the kernel's own threads), else go on as we are.
void raisePriority() {
  sched_param param{};
  param.sched_priority = 10;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

}  // namespace

void AcquisitionWorker::runThread(int64_t startNs) {
  raisePriority();
  openSource(startNs);
  while (!quit_.load(std::memory_order_acquire)) step();
  runNotices();  // a stop notice posted just before the end still reaches the device
  closeSource();
}

void AcquisitionWorker::openSource(int64_t startNs) {
  schedule_ = TickSchedule(startNs);
  if (!source_ && makeSource_) source_ = makeSource_();
}

void AcquisitionWorker::closeSource() { source_.reset(); }

void AcquisitionWorker::runNotices() {
  if (!source_) return;
  const uint32_t afterError = pendingAfterError_.load(std::memory_order_acquire);
  for (; doneAfterError_ != afterError; ++doneAfterError_) source_->afterError();
  const uint32_t stopped = pendingStopped_.load(std::memory_order_acquire);
  for (; doneStopped_ != stopped; ++doneStopped_) source_->recordingStopped();
  const uint32_t started = pendingStarted_.load(std::memory_order_acquire);
  for (; doneStarted_ != started; ++doneStarted_) source_->monitoringStarted();
  const uint32_t sensors = sensors_.load(std::memory_order_acquire);
  if (sensors != sensorsApplied_) {
    sensorsApplied_ = sensors;
    source_->sensorsChanged(static_cast<int16_t>(sensors >> 16), static_cast<int16_t>(sensors & 0xFFFF));
  }
  const int32_t channels = channels_.load(std::memory_order_acquire);
  if (channels != channelsApplied_) {
    channelsApplied_ = channels;
    source_->channelCountChanged(static_cast<int16_t>(channels));
  }
}

void AcquisitionWorker::step() {
  clock_.sleepUntil(schedule_.deadlineNs());
  runNotices();
  ReadingSet readings;
  readings.skippedBefore = schedule_.catchUp(clock_.nowNs());
  if (readings.skippedBefore) skipped_.fetch_add(readings.skippedBefore, std::memory_order_relaxed);
  if (source_) source_->takeReadings(readings);
  readings.takenAtNs = clock_.nowNs();
  periods_.addTime(readings.takenAtNs);
  schedule_.advance();
  taken_.fetch_add(1, std::memory_order_relaxed);
  if (!queue_.push(readings)) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  if (notify_) notify_();
}

size_t AcquisitionWorker::process(const std::function<void(const ReadingSet&)>& handle,
                                  int64_t takenUpToNs) {
  size_t count = 0;
  while (const ReadingSet* readings = queue_.front()) {
    if (readings->takenAtNs > takenUpToNs) break;
    handle(*readings);
    queue_.pop();
    ++count;
  }
  return count;
}

void AcquisitionWorker::discard() {
  while (queue_.front()) queue_.pop();
}

}  // namespace tidemet
