#pragma once
// What GetSamples returns: a points x samples array of 32-bit values, both dimensions 1-based,
// laid out as the automation array is (the point index varies fastest).

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace zdaq {

class SampleArray {
 public:
  SampleArray() = default;
  // Every byte starts as 0xCD, so a value never copied stands out.
  SampleArray(int32_t points, int32_t samples)
      : points_(points),
        samples_(samples),
        data_(static_cast<size_t>(points) * static_cast<size_t>(samples),
              static_cast<int32_t>(0xCDCDCDCDu)) {}

  static constexpr int32_t lowerBound(int /*dimension*/) { return 1; }
  // Dimension 1: points; dimension 2: samples.
  int32_t upperBound(int dimension) const { return dimension == 1 ? points_ : samples_; }
  int32_t points() const { return points_; }
  int32_t samples() const { return samples_; }

  int32_t at(int32_t point, int32_t sample) const {
    if (point < 1 || point > points_ || sample < 1 || sample > samples_)
      throw std::out_of_range("sample array index");
    return data_[index(point, sample)];
  }

  std::span<int32_t> data() { return data_; }
  std::span<const int32_t> data() const { return data_; }

 private:
  size_t index(int32_t point, int32_t sample) const {
    return static_cast<size_t>(sample - 1) * static_cast<size_t>(points_) +
           static_cast<size_t>(point - 1);
  }

  int32_t points_ = 0;
  int32_t samples_ = 0;
  std::vector<int32_t> data_;
};

}  // namespace zdaq
