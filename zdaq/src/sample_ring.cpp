#include "zdaq/src/sample_ring.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "zdaq/identifiers.h"

namespace zdaq {

std::unique_ptr<SampleRing> SampleRing::Allocate() {
  std::unique_ptr<SampleRing> ring(new (std::nothrow) SampleRing);
  if (!ring) return nullptr;
  ring->storage_.reset(new (std::nothrow) int32_t[kBytes / 4]);
  if (!ring->storage_) return nullptr;
  return ring;
}

void SampleRing::configure(uint32_t points) {
  points_ = std::clamp<uint32_t>(points, 1, kBytes / 4);
  capacity_ = static_cast<uint32_t>(kBytes / (4 * points_));
  clear();
}

void SampleRing::clear() {
  write_ = read_ = count_ = 0;
  lastRegion_ = {};
}

void SampleRing::commit(uint32_t bytes) {
  const uint32_t samples = std::min(bytes / bytesPerSample(), lastRegion_.slots);
  lastRegion_.slots = 0;
  if (samples == 0) return;
  count_ += samples;
  write_ += samples;
  if (write_ >= capacity_) write_ = 0;
}

SampleRing::Region SampleRing::freeRegion() {
  if (write_ == read_ && count_ == capacity_) {
    read_ = read_ + 1 >= capacity_ ? 0 : read_ + 1;
    --count_;
    fill(read_, kSamplesDroppedMarker);
  }
  Region region{write_, write_ < read_ ? read_ - write_ : capacity_ - write_};
  lastRegion_ = region;
  return region;
}

std::span<std::byte> SampleRing::bytes(Region region) {
  return {reinterpret_cast<std::byte*>(slot(region.index)),
          static_cast<size_t>(region.slots) * bytesPerSample()};
}

void SampleRing::fill(uint32_t index, int32_t marker) { std::fill_n(slot(index), points_, marker); }

uint32_t SampleRing::take(std::span<int32_t> out, uint32_t maxSamples) {
  const uint32_t wanted =
      std::min<uint32_t>({maxSamples, count_, static_cast<uint32_t>(out.size() / points_)});
  uint32_t done = 0;
  while (done < wanted) {
    const uint32_t run = std::min(wanted - done, capacity_ - read_);
    std::memcpy(out.data() + static_cast<size_t>(done) * points_, slot(read_),
                static_cast<size_t>(run) * bytesPerSample());
    done += run;
    read_ += run;
    if (read_ >= capacity_) read_ = 0;
    count_ -= run;
  }
  return done;
}

}  // namespace zdaq
