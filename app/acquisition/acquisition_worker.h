#pragma once
// Takes each tick's readings on time and hands them over in order.
//
// The worker owns the device (Source): it is created, used and released on the acquisition
// thread, since device objects are single-caller. Readings are taken at absolute deadlines
// start + k x 10 ms, stamped, and queued for the window's thread, which processes every set in
// order; a busy window therefore delays the drawing, never the sampling. Tests call step()
// with a virtual clock instead of running the thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <thread>

#include "app/acquisition/clock.h"
#include "app/acquisition/period_stats.h"
#include "app/acquisition/reading_set.h"
#include "app/acquisition/seams.h"
#include "app/acquisition/spsc_queue.h"
#include "app/acquisition/tick_schedule.h"

namespace tidemet {

class AcquisitionWorker {
 public:
  using SourceFactory = std::function<std::unique_ptr<Source>()>;
  // 16384 sets is over two and a half minutes of readings: a stalled window loses nothing.
  static constexpr size_t kQueueCapacity = 16384;

  // `notify` runs on the acquisition thread after each queued set (the window posts itself a
  // call from it); it may be empty.
  AcquisitionWorker(Clock& clock, SourceFactory makeSource, std::function<void()> notify = {});
  ~AcquisitionWorker();
  AcquisitionWorker(const AcquisitionWorker&) = delete;
  AcquisitionWorker& operator=(const AcquisitionWorker&) = delete;

  // Runs the acquisition thread: opens the source there, then takes readings until stop().
  void start();
  // Ends the thread and releases the source; sets still queued stay for process().
  void stop();
  bool running() const { return thread_.joinable(); }
  // True once stop() has asked the thread to end, until the next start().
  bool stopRequested() const { return quit_.load(std::memory_order_acquire); }

  // Synchronous use (tests, the command-line simulation): open the source on this thread,
  // take the next deadline's readings, release the source.
  void openSource(int64_t startNs);
  void step();
  void closeSource();

  // Window side: hands every queued set taken at or before `takenUpToNs` to `handle`, oldest
  // first; returns how many. Later sets stay queued.
  size_t process(const std::function<void(const ReadingSet&)>& handle,
                 int64_t takenUpToNs = std::numeric_limits<int64_t>::max());
  // Drops every queued set (leaving the monitor).
  void discard();

  // Window side: notices for the device, run on the acquisition thread before its next reading.
  void requestAfterError() { pendingAfterError_.fetch_add(1, std::memory_order_release); }
  void requestRecordingStopped() { pendingStopped_.fetch_add(1, std::memory_order_release); }
  void requestMonitoringStarted() { pendingStarted_.fetch_add(1, std::memory_order_release); }
  // The sensor type and limb the session holds now; the device hears of a change.
  void publishSensors(int16_t sensorType, int16_t limbMode) {
    sensors_.store(static_cast<uint32_t>(static_cast<uint16_t>(sensorType)) << 16 | static_cast<uint16_t>(limbMode),
                   std::memory_order_release);
  }

  // The channel count the session holds now; the device hears of a change before its next
  // reading.
  void publishChannelCount(int16_t channelCount) {
    channels_.store(channelCount, std::memory_order_release);
  }

  // Counters, readable from any thread.
  uint64_t readingsTaken() const { return taken_.load(std::memory_order_relaxed); }
  uint64_t deadlinesSkipped() const { return skipped_.load(std::memory_order_relaxed); }
  uint64_t setsDropped() const { return dropped_.load(std::memory_order_relaxed); }
  // The reading periods; read it only while the thread is stopped.
  const PeriodStats& periods() const { return periods_; }

 private:
  void runThread(int64_t startNs);
  void runNotices();

  Clock& clock_;
  SourceFactory makeSource_;
  std::function<void()> notify_;
  std::unique_ptr<Source> source_;
  TickSchedule schedule_{0};
  SpscQueue<ReadingSet, kQueueCapacity> queue_;
  std::thread thread_;
  std::atomic<bool> quit_{false};
  std::atomic<uint32_t> pendingAfterError_{0};
  std::atomic<uint32_t> pendingStopped_{0};
  std::atomic<uint32_t> pendingStarted_{0};
  uint32_t doneAfterError_ = 0;
  uint32_t doneStopped_ = 0;
  uint32_t doneStarted_ = 0;
  static constexpr uint32_t kNoSensors = 0xFFFFFFFFu;
  std::atomic<uint32_t> sensors_{kNoSensors};
  uint32_t sensorsApplied_ = kNoSensors;
  static constexpr int32_t kNoChannels = -1;
  std::atomic<int32_t> channels_{kNoChannels};
  int32_t channelsApplied_ = kNoChannels;
  std::atomic<uint64_t> taken_{0};
  std::atomic<uint64_t> skipped_{0};
  std::atomic<uint64_t> dropped_{0};
  PeriodStats periods_{kTickPeriodNs};
};

}  // namespace tidemet
