#pragma once
// How steady a periodic beat was: the mean period and the spread of |period - nominal|, kept in
// fixed bins so recording a period allocates nothing.

#include <array>
#include <cstdint>
#include <cstdlib>

namespace tidemet {

class PeriodStats {
 public:
  static constexpr int64_t kBinNs = 10'000;  // 10 us
  static constexpr int kBins = 2000;         // up to 20 ms off, the last bin holds the rest

  explicit PeriodStats(int64_t nominalNs) : nominalNs_(nominalNs) {}

  void addTime(int64_t nowNs) {
    if (count_ == 0 && lastNs_ < 0) {
      firstNs_ = lastNs_ = nowNs;
      return;
    }
    const int64_t period = nowNs - lastNs_;
    lastNs_ = nowNs;
    ++count_;
    const int64_t off = std::llabs(period - nominalNs_);
    ++bins_[static_cast<size_t>(off / kBinNs < kBins ? off / kBinNs : kBins - 1)];
  }

  int64_t periods() const { return count_; }
  double meanPeriodNs() const {
    return count_ ? static_cast<double>(lastNs_ - firstNs_) / static_cast<double>(count_) : 0.0;
  }
  // The |period - nominal| that `fraction` of the periods stay within (upper edge of its bin).
  int64_t deviationQuantileNs(double fraction) const {
    const double wanted = fraction * static_cast<double>(count_);
    int64_t seen = 0;
    for (int i = 0; i < kBins; ++i) {
      seen += bins_[static_cast<size_t>(i)];
      if (static_cast<double>(seen) >= wanted) return (i + 1) * kBinNs;
    }
    return kBins * kBinNs;
  }

 private:
  int64_t nominalNs_;
  int64_t firstNs_ = -1;
  int64_t lastNs_ = -1;
  int64_t count_ = 0;
  std::array<uint32_t, kBins> bins_{};
};

}  // namespace tidemet
