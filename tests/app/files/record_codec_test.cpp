#include "app/files/record_codec.h"

#include <gtest/gtest.h>

#include "app/files/cp1252_text.h"

namespace tidemet {
namespace {

// Fixed bytes of the code page and their characters, read and written: a round trip alone
// cannot see two entries swapped.
TEST(Cp1252Text, EachByteHasItsOwnCharacterBothWays) {
  const std::pair<char, std::string> cases[] = {
      {'\x80', "\xE2\x82\xAC"},  // euro sign
      {'\x81', "\xC2\x81"},      // unassigned: kept as its own number
      {'\x8A', "\xC5\xA0"},      // S caron
      {'\x91', "\xE2\x80\x98"},  // left single quotation mark
      {'\x92', "\xE2\x80\x99"},  // right single quotation mark
      {'\x9F', "\xC5\xB8"},      // Y diaeresis
      {'\xA0', "\xC2\xA0"},      // no-break space
      {'\xFF', "\xC3\xBF"},      // y diaeresis
  };
  for (const auto& [byte, utf8] : cases) {
    SCOPED_TRACE(int(static_cast<unsigned char>(byte)));
    EXPECT_EQ(FromCp1252(std::string(1, byte)), utf8);
    EXPECT_EQ(ToCp1252(utf8), std::string(1, byte));
  }
  const std::pair<std::string, std::string> lost[] = {
      {"\xC4\x8D", "?"},            // c caron is not in the page
      {"\xE4\xB8\xAD", "?"},        // one CJK character, one byte
      {"\xF0\x9F\x98\x80!", "?!"},  // four-byte emoji
      {"a\xFF"
       "b",
       "a?b"},             // stray byte in UTF-8
      {"\xC0\xAF", "??"},  // overlong slash
  };
  for (const auto& [utf8, bytes] : lost) EXPECT_EQ(ToCp1252(utf8), bytes) << utf8;
}

TEST(RecordWriter, WritesQuotedTextPlainNumbersAndCrLf) {
  RecordWriter w;
  w.text("Smith, J.").integer(-2400).number(0.625f).number(25.0f / 90.0f).endRecord();
  w.text("say \"hi\"").number(1.5e-7f).number(12345678.0f).number(-0.0f).endRecord();
  w.text("Jos\xC3\xA9").endRecord();
  EXPECT_EQ(w.bytes(),
            "\"Smith, J.\",-2400,0.625,0.2777778\r\n"
            "\"say 'hi'\",0.00000015,12345680,0\r\n"
            "\"Jos\xE9\"\r\n");
}

TEST(PlainNumberText, SevenSignificantDigitsWithoutExponent) {
  const std::pair<float, const char*> cases[] = {
      {-0.25f, "-0.25"},
      {100.0f, "100"},
      {0.003997696f, "0.003997696"},
      {9.9999999f, "10"},
      {1e20f, "100000000000000000000"},
      {3.4e38f, "340000000000000000000000000000000000000"},
  };
  for (const auto& [v, text] : cases) EXPECT_EQ(PlainNumberText(v), text) << v;
}

TEST(RecordReader, ReadsFieldsOneAtATime) {
  RecordReader r(" \"Smith, J.\" , -2400,.625 , 0.2777778,\"\"\r\n\"x\",-.25\n\n  7\r\n");
  std::string text;
  int16_t i16 = 0;
  float f = 0;
  ASSERT_EQ(r.text(text), ReadStatus::Ok);
  EXPECT_EQ(text, "Smith, J.");
  ASSERT_EQ(r.integer(i16), ReadStatus::Ok);
  EXPECT_EQ(i16, -2400);
  ASSERT_EQ(r.number(f), ReadStatus::Ok);
  EXPECT_EQ(f, 0.625f);
  ASSERT_EQ(r.number(f), ReadStatus::Ok);
  EXPECT_EQ(f, 25.0f / 90.0f);  // seven digits give back the same single
  ASSERT_EQ(r.text(text), ReadStatus::Ok);
  EXPECT_EQ(text, "");
  EXPECT_TRUE(r.atRecordEnd());
  EXPECT_EQ(r.recordNumber(), 2);
  ASSERT_EQ(r.text(text), ReadStatus::Ok);
  ASSERT_EQ(r.number(f), ReadStatus::Ok);
  EXPECT_EQ(f, -0.25f);
  ASSERT_EQ(r.integer(i16), ReadStatus::Ok);  // the empty line between is no field
  EXPECT_EQ(i16, 7);
  EXPECT_TRUE(r.atEnd());
  EXPECT_EQ(r.text(text), ReadStatus::EndOfFile);
}

TEST(RecordReader, RefusesMalformedFieldsAndKeepsItsPlace) {
  for (const char* bytes : {"abc,1", "1.2.3,1", "-,1", ".,1", "1e,1", "40000,1", "\"12"}) {
    RecordReader r(bytes);
    int16_t v = 99;
    EXPECT_EQ(r.integer(v), ReadStatus::Malformed) << bytes;
    EXPECT_EQ(v, 99) << bytes;
  }
  RecordReader unclosed("\"no end, 5\r\n");
  std::string text = "kept";
  EXPECT_EQ(unclosed.text(text), ReadStatus::Malformed);
  EXPECT_EQ(text, "kept");
  RecordReader trailing("\"a\"b,1");
  EXPECT_EQ(trailing.text(text), ReadStatus::Malformed);

  // A failed number leaves the field for another reading.
  RecordReader again("word,3");
  int32_t n = 0;
  EXPECT_EQ(again.integer(n), ReadStatus::Malformed);
  ASSERT_EQ(again.text(text), ReadStatus::Ok);
  EXPECT_EQ(text, "word");
  ASSERT_EQ(again.integer(n), ReadStatus::Ok);
  EXPECT_EQ(n, 3);
}

TEST(RecordReader, IntegersRoundHalfToEvenAndEmptyNumbersReadZero) {
  RecordReader r("2.5,3.5,-2.5,,1E3\r\n");
  int16_t v = -1;
  for (int16_t expected : {2, 4, -2, 0, 1000}) {
    ASSERT_EQ(r.integer(v), ReadStatus::Ok);
    EXPECT_EQ(v, expected);
  }
}

}  // namespace
}  // namespace tidemet
