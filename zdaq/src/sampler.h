#pragma once
// The sampling thread of one open device and the ring it fills. The thread waits on its
// events (start, stop, quit, the driver's data-ready and read completion) and never polls; it
// reaches the client only by posting DataAvailable, once per pending flag.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "zdaq/driver.h"
#include "zdaq/sample_array.h"
#include "zdaq/src/events.h"
#include "zdaq/src/sample_ring.h"

namespace zdaq {

class Sampler {
 public:
  // Allocates the ring and the events and starts the thread in its idle state. Throws the
  // out-of-memory or system error reported under source.
  Sampler(DriverHandle& handle, PostedQueue& queue, std::string_view source);
  // Ends the thread (cancelling a pending read) and waits for it.
  ~Sampler();
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  // The event handed to the driver in the set-up request.
  int dataReadyDescriptor() const { return dataReady_.descriptor(); }

  // Sets n and clears the ring before the driver starts; the interval (100-ns units) paces
  // retries after a failed read.
  void configure(uint32_t points, int64_t intervalUnits);
  void start();
  void stop();

  void clearNotificationPending() { notificationPending_.store(false); }
  // Up to count samples, oldest first, copied under one hold of the ring mutex so that a
  // concurrent full-ring drop cannot leave columns unfilled.
  SampleArray take(int32_t count);

  // Samples the thread has put into the ring since the last configure (markers included), and
  // a bounded wait for a total; for tests and benchmarks that must know the thread caught up.
  uint64_t acceptedSamples() const;
  bool waitAccepted(uint64_t total, std::chrono::milliseconds timeout) const;

 private:
  enum class State { Idle, Ring, Armed, Reading, Quit };
  void run();
  State ring();
  State afterRead(const ReadResult& result);

  DriverHandle& handle_;
  PostedQueue& queue_;
  ManualEvent dataReady_;
  ManualEvent start_;
  ManualEvent stop_;
  ManualEvent quit_;

  mutable std::mutex mutex_;  // the ring mutex
  mutable std::condition_variable accepted_;
  std::unique_ptr<SampleRing> ring_;
  uint64_t acceptedSamples_ = 0;

  // Touched by the thread only. The region is taken as bytes under the mutex: a StartSampling
  // that reshapes the ring while a stale read finishes must not move it.
  uint32_t lastRead_ = 0;
  uint32_t regionSlots_ = 0;
  std::span<std::byte> regionBytes_;
  uint32_t sampleBytes_ = 4;
  // After a failed read the next one waits a sampling interval (1 ms to 1 s), so a driver that
  // keeps failing with its data-ready event set yields one marker per interval, not a spin.
  bool lastReadFailed_ = false;
  std::atomic<int> retryDelayMs_{1};

  std::atomic<bool> notificationPending_{false};
  std::thread thread_;
};

}  // namespace zdaq
