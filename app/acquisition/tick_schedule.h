#pragma once
// Reading deadlines at start + k x period. A late reading does not push the later ones back; a
// reading more than one period late gives up its deadline and the next one is taken instead.

#include <cstdint>

namespace tidemet {

inline constexpr int64_t kTickPeriodNs = 10'000'000;  // 10 ms

class TickSchedule {
 public:
  explicit TickSchedule(int64_t startNs, int64_t periodNs = kTickPeriodNs)
      : startNs_(startNs), periodNs_(periodNs) {}

  int64_t deadlineNs() const { return startNs_ + index_ * periodNs_; }

  // Called when the reading for the current deadline can be taken at `nowNs`: skips every
  // deadline that `nowNs` is more than one period past and returns how many were skipped.
  uint32_t catchUp(int64_t nowNs) {
    uint32_t skipped = 0;
    while (nowNs - deadlineNs() > periodNs_) {
      ++index_;
      ++skipped;
    }
    return skipped;
  }
  void advance() { ++index_; }
  int64_t index() const { return index_; }

 private:
  int64_t startNs_;
  int64_t periodNs_;
  int64_t index_ = 0;
};

}  // namespace tidemet
