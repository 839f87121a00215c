#include "zdaq/src/sample_ring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "zdaq/identifiers.h"

namespace zdaq {
namespace {

// Writes samples whose every value is its number into the region, as a driver read would.
void Deliver(SampleRing& ring, SampleRing::Region region, uint32_t samples, int32_t& next) {
  auto bytes = ring.bytes(region);
  ASSERT_LE(samples * ring.bytesPerSample(), bytes.size());
  for (uint32_t s = 0; s < samples; ++s, ++next)
    for (uint32_t p = 0; p < ring.points(); ++p)
      std::memcpy(bytes.data() + (s * ring.points() + p) * 4, &next, 4);
  ring.commit(samples * ring.bytesPerSample());
}

std::vector<int32_t> TakeFirstValues(SampleRing& ring, uint32_t max) {
  std::vector<int32_t> out(static_cast<size_t>(max) * ring.points());
  const uint32_t k = ring.take(out, max);
  std::vector<int32_t> firsts;
  for (uint32_t s = 0; s < k; ++s) firsts.push_back(out[s * ring.points()]);
  return firsts;
}

TEST(SampleRingTest, CapacityFollowsPoints) {
  auto ring = SampleRing::Allocate();
  const std::pair<uint32_t, uint32_t> cases[] = {
      {1, 80000}, {2, 40000}, {8, 10000}, {20, 4000}, {3, 26666}};
  for (const auto& [points, capacity] : cases) {
    ring->configure(points);
    EXPECT_EQ(ring->capacity(), capacity) << points;
    EXPECT_EQ(ring->freeRegion().slots, capacity) << points;
  }
}

TEST(SampleRingTest, RegionsWrapAndFollowTheReadIndex) {
  auto ring = SampleRing::Allocate();
  ring->configure(20);  // 4000 samples
  int32_t next = 0;
  Deliver(*ring, ring->freeRegion(), 3990, next);
  EXPECT_EQ(TakeFirstValues(*ring, 3000).size(), 3000u);
  // From write 3990 to the end of the ring, then from 0 up to the read index.
  auto region = ring->freeRegion();
  EXPECT_EQ(region.index, 3990u);
  EXPECT_EQ(region.slots, 10u);
  Deliver(*ring, region, 10, next);
  EXPECT_EQ(ring->writeIndex(), 0u);
  region = ring->freeRegion();
  EXPECT_EQ(region.index, 0u);
  EXPECT_EQ(region.slots, 3000u);
  Deliver(*ring, region, 5, next);
  // Oldest first across the wrap.
  const auto values = TakeFirstValues(*ring, 1000);
  ASSERT_EQ(values.size(), 1000u);
  EXPECT_EQ(values.front(), 3000);
  EXPECT_EQ(values[999], 3999);
  EXPECT_EQ(ring->count(), 5u);
}

TEST(SampleRingTest, FullRingDropsTheOldestAndMarksTheNext) {
  auto ring = SampleRing::Allocate();
  ring->configure(8);  // 10000 samples
  int32_t next = 0;
  Deliver(*ring, ring->freeRegion(), 10000, next);
  EXPECT_EQ(ring->count(), 10000u);
  auto region = ring->freeRegion();  // full: drop sample 0, mark sample 1
  EXPECT_EQ(ring->count(), 9999u);
  EXPECT_EQ(region.index, 0u);
  EXPECT_EQ(region.slots, 1u);
  Deliver(*ring, region, 1, next);  // sample 10000
  ring->freeRegion();               // drop 1 (the marker), mark 2
  std::vector<int32_t> values(20000 * 8);
  ASSERT_EQ(ring->take(values, 20000), 9999u);
  for (size_t p = 0; p < 8; ++p) {
    EXPECT_EQ(values[p], kSamplesDroppedMarker) << "every point of the marked sample";
    EXPECT_EQ(values[8 + p], 3);
    EXPECT_EQ(values[9998 * 8 + p], 10000);
  }
}

TEST(SampleRingTest, ReadCountsAreTrustedOnlyAsWholeSamplesInTheRegion) {
  auto ring = SampleRing::Allocate();
  ring->configure(2);  // 8 bytes a sample, 40000 samples
  // Bytes the driver says it read, samples counted.
  const std::pair<uint32_t, uint32_t> cases[] = {{0, 0},   {7, 0},   {8, 1},          {23, 2},
                                                 {80, 10}, {88, 10}, {0xFFFFFFFF, 10}};
  for (const auto& [bytes, counted] : cases) {
    ring->clear();
    ring->freeRegion();
    ring->commit(39990 * 8);
    const auto region = ring->freeRegion();
    ASSERT_EQ(region.slots, 10u);
    // A driver claiming more than the region had room for is believed only up to the region.
    ring->commit(bytes);
    EXPECT_EQ(ring->count(), 39990 + counted) << bytes;
    EXPECT_LT(ring->writeIndex(), ring->capacity());
  }
  // A commit without a region handed out counts nothing.
  ring->clear();
  ring->commit(800);
  EXPECT_EQ(ring->count(), 0u);
}

}  // namespace
}  // namespace zdaq
