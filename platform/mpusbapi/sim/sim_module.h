#pragma once
// The firmware of one simulated module: answers command requests and produces stream packets.

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/mpusbapi/sim/sim_control.h"

namespace mpusbsim {

using Clock = std::chrono::steady_clock;

inline constexpr int kStreamEndpoints = 4;  // endpoints 2 to 5

class SimModule {
 public:
  ModuleState state;

  // The reply the firmware sends to `request`; empty when it sends none.
  std::vector<uint8_t> answer(const std::vector<uint8_t>& request, Clock::time_point now,
                              bool realTime);

  bool streaming() const { return stream_.running; }
  double streamRate() const { return stream_.rate; }

  // The next packet of stream endpoint `slot` (0..3 for endpoints 2..5) if it exists by `now`;
  // when it will exist later, `readyAt` says when.
  std::optional<std::vector<uint8_t>> takePacket(int slot, Clock::time_point now, bool realTime,
                                                 std::optional<Clock::time_point>* readyAt);

 private:
  struct Stream {
    bool running = false;
    int first = 0;
    int count = 0;
    double rate = 0;
    int scansPerPacket = 1;
    Clock::time_point start{};
    int64_t produced = 0;  // packets made when the stream stopped
    int64_t next[kStreamEndpoints] = {0, 1, 2, 3};
    uint16_t counterAtStart = 0;
  };

  int sampleAt(int channel, int64_t index) const;
  void startStream(int first, int last, double rate, Clock::time_point now);
  void stopStream(Clock::time_point now, bool realTime);
  int64_t packetsMade(Clock::time_point now, bool realTime) const;
  void resetFirmware();

  Stream stream_;
  int64_t conversions_[kChannels] = {};
};

}  // namespace mpusbsim
