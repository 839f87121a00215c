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
  EXPECT_EQ(Vonmod_VoltToBits(0.0f), 0);
  EXPECT_EQ(Vonmod_VoltToBits(1e30f), INT32_MAX);
  EXPECT_EQ(Vonmod_VoltToBits(-1e30f), INT32_MIN);
  EXPECT_EQ(Vonmod_BitsToVolt(4095), 4.095f);
  EXPECT_EQ(Vonmod_BitsToVolt(-1), -0.001f);
  EXPECT_EQ(Vonmod_BitsToVolt(0), 0.0f);
}

TEST(InterfaceTest, ErrorTexts) {
  const char* expected[24] = {
      "No Error",
      "Unknown Error",
      "device index exceed the max device number of that type",
      "No such Vonmod module type or wrong device type",
      "Open device session error",
      "device maybe used by other application or session already been opened",
      "Write error, it could be the device disconnected",
      "Read error, it could be the device disconnected",
      "NULL session",
      "Partially failed, incorrect receive length",
      "the byte count number is invalid or exceed the eeprom size",
      "channel number is incorrect",
      "number of channels invalid",
      "Wrong input voltage range",
      "Duty cycle value should be between 0- 1023",
      "The IO channel is not an output channel",
      "wrong PWM period",
      "Too many data sets requested, max. allowed number of samples is 3200",
      "Timeout when waiting for required number of samples",
      "At least 128 samples required",
      "Exceed maximum data throughput",
      "Try to write/read data beyond allowed EEPROM boundary",
      "PWM period parameter is too big, the max. allowed period is 333 us",
      "PWM period parameter is too small, the min. allowed period is 3 us",
  };
  for (int32_t code = 0; code < 24; ++code) {
    char text[VONMOD_ERROR_TEXT_SIZE];
    std::memset(text, 'x', sizeof text);
    const int32_t copied = Vonmod_GetErrorDes(code, text);
    EXPECT_STREQ(text, expected[code]) << code;
    EXPECT_EQ(copied, static_cast<int32_t>(std::strlen(expected[code]) + 1)) << code;
    EXPECT_EQ(text[copied], 'x') << "copies the terminator and nothing more";
  }
  char text[VONMOD_ERROR_TEXT_SIZE];
  EXPECT_EQ(Vonmod_GetErrorDes(0, text), 9);
}

TEST(InterfaceTest, UnknownErrorCodesCopyNothing) {
  for (const int32_t code : {-1, 24, 1000, INT32_MIN}) {
    char text[4] = "abc";
    EXPECT_EQ(Vonmod_GetErrorDes(code, text), 0) << code;
    EXPECT_STREQ(text, "abc");
  }
  EXPECT_EQ(Vonmod_GetErrorDes(3, nullptr), 0);
}

}  // namespace
