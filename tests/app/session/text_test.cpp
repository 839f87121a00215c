#include "app/session/text.h"

#include <gtest/gtest.h>

#include "app/session/rounding.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

TEST(RoundingTest, TiesGoToEvenAndDisplayRoundingUsesIt) {
  struct Case { double in, even, tenths, hundredths; };
  const Case cases[] = {
      {0.5, 0, 0.5, 0.5},     {1.5, 2, 1.5, 1.5},     {2.5, 2, 2.5, 2.5},
      {-2.5, -2, -2.5, -2.5}, {0.25, 0, 0.2, 0.25},  {0.75, 1, 0.8, 0.75},
      {0.125, 0, 0.1, 0.12},  {3.5, 4, 3.5, 3.5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundEven(c.in), c.even) << c.in;
    EXPECT_DOUBLE_EQ(RoundTenths(c.in), c.tenths) << c.in;
    EXPECT_DOUBLE_EQ(RoundHundredths(c.in), c.hundredths) << c.in;
  }
  EXPECT_EQ(Floor(-0.5), -1);
  EXPECT_EQ(RoundToInt16(32767.4), std::optional<int16_t>(32767));
  EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);  // rounds to 32768
  EXPECT_EQ(RoundToInt16(-32768.5), std::optional<int16_t>(-32768));
  EXPECT_EQ(RoundToInt16(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(TextTest, StandardNumberToText) {
  EXPECT_EQ(Str(0.5f), " .5");
  EXPECT_EQ(Str(-0.25f), "-.25");
  EXPECT_EQ(Str(100.0f), " 100");
  EXPECT_EQ(Str(1.0f / 3.0f), " .3333333");
  EXPECT_EQ(Str(1234567.8f), " 1234568");
  EXPECT_EQ(Str(12345678.0f), " 1.234568E+07");
  EXPECT_EQ(Str(0.00001f), " 1E-05");
  EXPECT_EQ(Str(0.0f), " 0");
  EXPECT_EQ(Str(-7LL), "-7");
  EXPECT_EQ(Str(42LL), " 42");
  EXPECT_EQ(NumText(0.5f), "0.5");
  EXPECT_EQ(NumText(3000LL), "3000");
}

TEST(TextTest, ValReadsTheLeadingNumber) {
  struct Case { const char* text; double value; };
  const Case cases[] = {{"645.", 645},  {" 48 ", 48},     {"-12.5kg", -12.5}, {"", 0},
                        {"abc", 0},     {".5", 0.5},      {"1 2", 12},        {"3.2.1", 3.2},
                        {"+7", 7},      {"0030", 30}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.value) << c.text;
}

TEST(TextTest, MessageLinesAreJoinedWithCrLf) {
  EXPECT_EQ(JoinLines({"a", "b", "c"}), "a\r\nb\r\nc");
  EXPECT_EQ(WithLineFeeds("a\r\nb\r\n\rc\n"), "a\nb\n\rc\n");  // a lone CR or LF stays
}

TEST(UnitsTest, MeasureTextsFitThreeCharacters) {
  struct Case { const char* text; double factor; const char* out; };
  const Case cases[] = {
      {"72 ", 2.54, "183"},  // 182.88
      {"183", 1 / 2.54, "72 "},
      {"70 ", 2.2, "154"},
      {"154", 1 / 2.2, "70 "},
      {"5  ", 2.54, "13 "},     // 12.7
      {"999", 2.54, "999"},     // limited to three digits
      {"   ", 2.54, "   "},     // no number: unchanged
      {"", 2.54, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertMeasureText(c.text, c.factor), c.out) << c.text;
}

}  // namespace
}  // namespace tidemet
