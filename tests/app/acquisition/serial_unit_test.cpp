// The serial unit's frames and status rule. Its start and poll commands, node bytes and all, are
// checked on the line in the serial source's test.
#include "app/acquisition/serial_unit.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemet {
namespace {

TEST(SerialUnitTest, ReplyFrameScan) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool found;
    double a, b;
    size_t offset;
  };
  const Case cases[] = {
      {"a whole frame", {0xFF, 0x00, 0x64, 0x00, 0xC8, 0x2C}, true, 50.0, 100.0, 0},
      {"wrong checksum", {0xFF, 0x00, 0x64, 0x00, 0xC8, 0x2D}, false, 0, 0, 0},
      {"negative A", {0xFF, 0xFF, 0x38, 0x00, 0x01, 0x38}, true, -100.0, 0.5, 0},
      {"after noise", {0x12, 0xFF, 0x07, 0xFF, 0x00, 0x64, 0x00, 0xC8, 0x2C}, true, 50.0, 100.0, 3},
      {"frame cut short", {0x00, 0xFF, 0x00, 0x64, 0x00, 0xC8}, false, 0, 0, 0},
      {"empty", {}, false, 0, 0, 0},
      {"sync only", {0xFF}, false, 0, 0, 0},
      // A checksum that holds only with a byte past the end must not be taken.
      {"checksum beyond end", {0xFF, 0x00, 0x00, 0x00, 0x00}, false, 0, 0, 0},
      {"first of two", {0xFF, 0x00, 0x02, 0x00, 0x04, 0x06, 0xFF, 0x00, 0x64, 0x00, 0xC8, 0x2C},
       true, 1.0, 2.0, 0},
  };
  for (const auto& c : cases) {
    auto frame = ScanReply(c.bytes);
    ASSERT_EQ(frame.has_value(), c.found) << c.name;
    if (!frame) continue;
    EXPECT_EQ(frame->valueA, c.a) << c.name;
    EXPECT_EQ(frame->valueB, c.b) << c.name;
    EXPECT_EQ(frame->offset, c.offset) << c.name;
  }
}

TEST(SerialUnitTest, QW8StatusRule) {
  EXPECT_EQ(NormalizedUnitStatus(91), 0);
  EXPECT_TRUE(UnitStatusAllowsStore(91));
  EXPECT_TRUE(UnitStatusAllowsStore(0));
  EXPECT_TRUE(UnitStatusAllowsStore(-3));
  EXPECT_FALSE(UnitStatusAllowsStore(1));
  EXPECT_FALSE(UnitStatusAllowsStore(92));
}

}  // namespace
}  // namespace tidemet
