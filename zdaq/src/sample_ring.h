#pragma once
// The device's ring of samples. Not locked itself: the sampler holds the ring mutex around
// every call. The driver's reads land straight in the free region, without copying.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace zdaq {

class SampleRing {
 public:
  static constexpr size_t kBytes = 320000;

  struct Region {
    uint32_t index = 0;  // first free slot
    uint32_t slots = 0;  // contiguous free slots, at least 1
  };

  // Null when the memory cannot be had.
  static std::unique_ptr<SampleRing> Allocate();

  // n points per sample: capacity 320 000 / (4 n); clears the indices.
  void configure(uint32_t points);
  void clear();

  // The last read delivered bytes into the region last handed out. Only whole samples count,
  // and never more than the region held, whatever the driver claims.
  void commit(uint32_t bytes);
  // The free region from the write index. A full ring first drops its oldest sample and marks
  // the new oldest with 0x80000000, so the newest data is kept.
  Region freeRegion();
  std::span<std::byte> bytes(Region region);

  // Copies up to maxSamples of the oldest samples into out (points values each) and takes them
  // out of the ring; returns how many.
  uint32_t take(std::span<int32_t> out, uint32_t maxSamples);

  uint32_t points() const { return points_; }
  uint32_t capacity() const { return capacity_; }
  uint32_t count() const { return count_; }
  uint32_t readIndex() const { return read_; }
  uint32_t writeIndex() const { return write_; }
  uint32_t bytesPerSample() const { return 4 * points_; }

 private:
  SampleRing() = default;
  int32_t* slot(uint32_t index) { return storage_.get() + static_cast<size_t>(index) * points_; }
  void fill(uint32_t index, int32_t marker);

  std::unique_ptr<int32_t[]> storage_;
  uint32_t points_ = 1;
  uint32_t capacity_ = kBytes / 4;
  uint32_t write_ = 0;
  uint32_t read_ = 0;
  uint32_t count_ = 0;
  Region lastRegion_{};
};

}  // namespace zdaq
