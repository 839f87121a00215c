#pragma once
// Time for the acquisition: the monotonic clock in the program, a virtual clock in tests.

#include <time.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "app/acquisition/seams.h"

namespace tidemet {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t nowNs() const = 0;
  // Returns at `deadlineNs` or later.
  virtual void sleepUntil(int64_t deadlineNs) = 0;
};

class MonotonicClock final : public Clock {
 public:
  int64_t nowNs() const override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  // An absolute sleep on the same clock steady_clock reads, so a wake-up that comes late does
  // not move the next deadline.
  void sleepUntil(int64_t deadlineNs) override {
    timespec at{static_cast<time_t>(deadlineNs / 1'000'000'000), static_cast<long>(deadlineNs % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
  }
};

// A clock that only moves when told to; sleeping jumps to the deadline.
class VirtualClock final : public Clock {
 public:
  int64_t nowNs() const override { return now_; }
  void sleepUntil(int64_t deadlineNs) override {
    if (deadlineNs > now_) now_ = deadlineNs;
  }
  void advance(int64_t ns) { now_ += ns; }

 private:
  int64_t now_ = 0;
};

// The recording's stopwatch on a clock, in whole milliseconds.
class ClockStopwatch final : public Stopwatch {
 public:
  explicit ClockStopwatch(const Clock& clock) : clock_(clock) {}
  void start() override {
    startNs_ = clock_.nowNs();
    stoppedNs_ = -1;
  }
  // From now on the stopwatch reads as it did at `ns` (the moment a recording was stopped).
  void stopAt(int64_t ns) { stoppedNs_ = ns; }
  int64_t elapsedMilliseconds() const override {
    const int64_t end = stoppedNs_ >= 0 ? stoppedNs_ : clock_.nowNs();
    return (end - startNs_) / 1'000'000;
  }

 private:
  const Clock& clock_;
  int64_t startNs_ = 0;
  int64_t stoppedNs_ = -1;
};

}  // namespace tidemet
