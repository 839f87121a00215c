// The calls that need no module: version, conversions and error texts.

#include <cstring>
#include <string>

#include "vonmod/include/vonmod.h"

#include <gtest/gtest.h>

extern "C" int vonmodVersionFromC(void);

namespace {

TEST(InterfaceTest, HeaderServesCCallers) { EXPECT_EQ(vonmodVersionFromC(), 0x00010007); }

TEST(InterfaceTest, VersionAndConversions) {
  EXPECT_EQ(Vonmod_GetDLLVersion(), 0x00010007);
  EXPECT_EQ(Vonmod_VoltToBits(2.5f), 2500);
  EXPECT_EQ(Vonmod_VoltToBits(-0.0019f), -1);
  EXPECT_EQ(Vonmod_VoltToBits(1e30f), INT32_MAX);
  EXPECT_EQ(Vonmod_VoltToBits(-1e30f), INT32_MIN);
  EXPECT_EQ(Vonmod_BitsToVolt(4095), 4.095f);
  EXPECT_EQ(Vonmod_BitsToVolt(-1), -0.001f);
}

TEST(InterfaceTest, ErrorTextsAreCopiedWithTheirTerminatorOnly) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, "No Error"},
      {9, "Partially failed, incorrect receive length"},
      {23, "PWM period parameter is too small, the min. allowed period is 3 us"},
  };
  for (const auto& [code, expected] : cases) {
    char text[VONMOD_ERROR_TEXT_SIZE];
    std::memset(text, 'x', sizeof text);
    const int32_t copied = Vonmod_GetErrorDes(code, text);
    EXPECT_STREQ(text, expected) << code;
    EXPECT_EQ(copied, static_cast<int32_t>(std::strlen(expected) + 1)) << code;
    EXPECT_EQ(text[copied], 'x') << code;
  }
  for (const int32_t code : {-1, 24, 1000, INT32_MIN}) {
    char text[4] = "abc";
    EXPECT_EQ(Vonmod_GetErrorDes(code, text), 0) << code;
    EXPECT_STREQ(text, "abc");
  }
  EXPECT_EQ(Vonmod_GetErrorDes(3, nullptr), 0);
}

}  // namespace
