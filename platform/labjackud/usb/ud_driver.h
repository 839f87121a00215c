#pragma once
// The UD calls over a bus of U3s: opening the first U3, the pin and analog configuration, and
// analog reads. The monitor reads up to four inputs per tick, one eGet each; the driver reads
// them all in one Feedback transaction. It learns the tick's inputs from the calls of the tick
// before (a "round" ends when an input is asked for again), reads the whole round when its first
// input is asked for, and serves the rest of the round from that transaction as long as the
// readings are fresh. Not thread-safe: the caller serializes the calls.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/labjackud/labjackud.h"
#include "platform/labjackud/usb/transport.h"
#include "platform/labjackud/usb/u3_device.h"

namespace labjack {

struct DriverOptions {
  Timeouts timeouts;
  // A reading older than this is read again: well inside the 10 ms beat, so that a round
  // never serves the previous tick's reading.
  std::chrono::nanoseconds freshFor = std::chrono::milliseconds(5);
  // Where the layer says what its return codes cannot (that the nominal calibration is in use);
  // null: standard error.
  std::function<void(const std::string&)> notice;
};

class UdDriver {
 public:
  static constexpr LJ_HANDLE kHandle = 1;
  static constexpr double kVersion = 2.0;

  UdDriver(Bus& bus, DriverOptions options);

  double version() const { return kVersion; }
  LJ_ERROR open(int32_t deviceType, int32_t connectionType, const char* address, int32_t firstFound,
                LJ_HANDLE* handle);
  LJ_ERROR put(LJ_HANDLE handle, int32_t ioType, int32_t channel, double value, int32_t x1);
  LJ_ERROR get(LJ_HANDLE handle, int32_t ioType, int32_t channel, double* value, int32_t x1);

  // Feedback transactions made so far: what the one-round-trip rule is measured by.
  uint64_t transactions() const { return transactions_; }
  const U3Device* device() const { return device_.get(); }

 private:
  struct Input {
    u3::AinRequest request;
    u3::InputKind kind = u3::InputKind::SingleEnded;
    bool operator==(const Input& o) const { return request == o.request; }
  };
  struct Cached {
    Input input;
    double volts = 0.0;
    bool taken = false;
  };

  LJ_ERROR connect();
  // Runs `op` on the device; a U3 that was unplugged and plugged in again is opened afresh and
  // set up as before, then `op` runs once more.
  template <typename Op>
  LJ_ERROR withDevice(Op&& op);
  LJ_ERROR request(bool isGet, LJ_HANDLE handle, int32_t ioType, int32_t channel, double* value,
                   int32_t x1);
  LJ_ERROR analogEnable(int32_t channel, double value, int32_t x1);
  LJ_ERROR readInput(int32_t ioType, int32_t channel, int32_t x1, double* value);
  LJ_ERROR inputFor(int32_t ioType, int32_t channel, int32_t x1, Input& input) const;
  // One Feedback for the inputs in `scan_`; fills the cache.
  LJ_ERROR transaction();
  bool inRound(const Input& in) const;

  Bus& bus_;
  DriverOptions options_;
  std::unique_ptr<U3Device> device_;
  bool open_ = false;
  uint32_t noticedSerial_ = 0;
  // The lines the caller made analog; set again on a U3 that was plugged in again.
  uint16_t wantedLines_ = 0;
  bool linesSet_ = false;
  std::vector<Input> round_;  // asked for since the round began, in order
  std::vector<Input> scan_;   // read by the coming transaction
  std::vector<Cached> cache_;
  std::chrono::steady_clock::time_point readAt_{};
  uint64_t transactions_ = 0;
};

}  // namespace labjack
