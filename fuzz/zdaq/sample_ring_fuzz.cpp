// Drives the sample ring with whatever byte counts a driver might claim and whatever the client
// fetches; the ring's indices must stay inside it and every count must add up.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "zdaq/src/sample_ring.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

void CheckInvariants(const zdaq::SampleRing& ring) {
  Check(ring.capacity() * ring.bytesPerSample() <= zdaq::SampleRing::kBytes);
  Check(ring.count() <= ring.capacity());
  Check(ring.writeIndex() < ring.capacity());
  Check(ring.readIndex() < ring.capacity());
  Check((ring.readIndex() + ring.count()) % ring.capacity() == ring.writeIndex());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  auto ring = zdaq::SampleRing::Allocate();
  if (!ring) return 0;
  ring->configure(data[0] % 21);  // 0 is taken as 1
  size_t i = 1;
  const auto next32 = [&]() {
    uint32_t v = 0;
    for (int b = 0; b < 4 && i < size; ++b) v |= static_cast<uint32_t>(data[i++]) << (8 * b);
    return v;
  };
  std::vector<int32_t> out;
  while (i < size) {
    const uint8_t op = data[i++];
    switch (op & 3) {
      case 0: {  // a read into the free region, with a claimed byte count
        const auto region = ring->freeRegion();
        Check(region.slots >= 1);
        auto bytes = ring->bytes(region);
        const uint32_t claimed = next32();
        std::memset(bytes.data(), op, std::min<size_t>(bytes.size(), claimed));
        const uint32_t before = ring->count();
        ring->commit(claimed);
        Check(ring->count() - before <= region.slots);
        break;
      }
      case 1: {  // the client fetches
        const uint32_t wanted = next32() % 100000;
        const uint32_t before = ring->count();
        out.assign(static_cast<size_t>(std::min(wanted, before)) * ring->points(), 0);
        const uint32_t taken = ring->take(out, wanted);
        Check(taken == std::min(wanted, before));
        Check(ring->count() == before - taken);
        break;
      }
      case 2:
        ring->clear();
        break;
      case 3:
        ring->configure(next32() % 21);
        break;
    }
    CheckInvariants(*ring);
  }
  return 0;
}
