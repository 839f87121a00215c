#include "zdaq/src/setup_request.h"

#include <gtest/gtest.h>

#include "tests/zdaq/sim_fixture.h"

namespace zdaq::testing {
namespace {

TEST(SetupRequestTest, EncodesTheDriversLayout) {
  SetupRequest r{
      0x01020304, 0x0000000A0B0C0D0E, {{9, 0x40000002}, {20, static_cast<int32_t>(0xC0000005)}}};
  auto expected = Bytes({0x00, 0x00, 0x04, 0x03, 0x02, 0x01, 0x0E, 0x0D, 0x0C, 0x0B, 0x0A, 0x00,
                         0x00, 0x00, 0x02, 0x00});
  for (auto b : Words({9, 0x40000002, 20, 0xC0000005})) expected.push_back(b);
  EXPECT_EQ(EncodeSetupRequest(r), expected);
  auto parsed = ParseSetupRequest(expected);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->dataReadyEvent, 0x01020304);
  EXPECT_EQ(parsed->interval, 0x0000000A0B0C0D0E);
  EXPECT_EQ(parsed->entries, r.entries);
}

TEST(SetupRequestTest, RefusesMalformedBuffers) {
  const auto good = EncodeSetupRequest({5, 100000, {{9, 0x40000002}}});
  ASSERT_TRUE(ParseSetupRequest(good));
  EXPECT_FALSE(ParseSetupRequest(std::span(good).first(15))) << "header cut short";
  EXPECT_FALSE(ParseSetupRequest(EncodeSetupRequest({5, 100000, {}}))) << "no entry";
  auto bad = good;
  bad.push_back(std::byte{0});
  EXPECT_FALSE(ParseSetupRequest(bad)) << "trailing byte";
  bad = good;
  bad[1] = std::byte{1};
  EXPECT_FALSE(ParseSetupRequest(bad)) << "reserved field set";
  bad = good;
  bad[14] = std::byte{2};
  EXPECT_FALSE(ParseSetupRequest(bad)) << "count beyond the buffer";
}

}  // namespace
}  // namespace zdaq::testing
