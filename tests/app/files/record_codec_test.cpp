#include "app/files/record_codec.h"

#include <gtest/gtest.h>

#include "app/files/cp1252_text.h"

namespace tidemet {
namespace {

// Fixed bytes of the code page and their characters, read and written: a round trip alone
// cannot see two entries swapped.
TEST(Cp1252Text, EachByteHasItsOwnCharacterBothWays) {
  struct Case { char byte; std::string utf8; };
  const Case cases[] = {
      {'\x80', "\xE2\x82\xAC"},  // euro sign
      {'\x81', "\xC2\x81"},       // unassigned: kept as its own number
      {'\x8A', "\xC5\xA0"},       // S caron
      {'\x91', "\xE2\x80\x98"},  // left single quotation mark
      {'\x92', "\xE2\x80\x99"},  // right single quotation mark
      {'\x9D', "\xC2\x9D"},       // unassigned
      {'\x9F', "\xC5\xB8"},       // Y diaeresis
      {'\xA0', "\xC2\xA0"},       // no-break space
      {'\xE9', "\xC3\xA9"},       // e acute
      {'\xFF', "\xC3\xBF"},       // y diaeresis
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FromCp1252(std::string(1, c.byte)), c.utf8) << int(static_cast<unsigned char>(c.byte));
    EXPECT_EQ(ToCp1252(c.utf8), std::string(1, c.byte)) << int(static_cast<unsigned char>(c.byte));
  }
  struct Lost { std::string utf8, bytes; };
  const Lost lost[] = {
      {"\xC4\x8D", "?"},            // c caron is not in the page
      {"\xE4\xB8\xAD", "?"},        // one CJK character, one byte
      {"\xF0\x9F\x98\x80!", "?!"},  // four-byte emoji
      {"a\xFF" "b", "a?b"},          // stray byte in UTF-8
      {"\xC0\xAF", "??"},            // overlong slash
  };
  for (const auto& c : lost) EXPECT_EQ(ToCp1252(c.utf8), c.bytes) << c.utf8;
}

TEST(Cp1252Text, CountsAndCutsCharactersNotBytes) {
  const std::string name = "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1" "ez";  // 10 characters, 13 bytes
  EXPECT_EQ(Utf8Length(name), 10u);
  EXPECT_EQ(Utf8Mid(name, 0, 4), "Jos\xC3\xA9");
  EXPECT_EQ(Utf8Mid(name, 5, 3), "N\xC3\xBA\xC3\xB1");
  EXPECT_EQ(Utf8Mid(name, 8), "ez");
  EXPECT_EQ(Utf8Mid(name, 10), "");
  EXPECT_EQ(Utf8Mid(name, 40, 3), "");
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
  struct Case { float v; const char* text; };
  const Case cases[] = {
      {0.1f, "0.1"},         {-0.25f, "-0.25"},        {100.0f, "100"},
      {0.003997696f, "0.003997696"}, {2.35f, "2.35"},   {1e20f, "100000000000000000000"},
      {9.9999999f, "10"},    {0.0068808f, "0.0068808"}, {3.4e38f, "340000000000000000000000000000000000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(PlainNumberText(c.v), c.text) << c.v;
}

TEST(RecordReader, ReadsFieldsOneAtATime) {
  RecordReader r(" \"Smith, J.\" , -2400,.625 , 0.5,\"\"\r\n\"x\",-.25\n\n  7\r\n");
  std::string text;
  int16_t i16 = 0;
  float f = 0;
  ASSERT_EQ(r.text(text), ReadStatus::Ok);
  EXPECT_EQ(text, "Smith, J.");
  EXPECT_FALSE(r.atRecordEnd());
  ASSERT_EQ(r.integer(i16), ReadStatus::Ok);
  EXPECT_EQ(i16, -2400);
  ASSERT_EQ(r.number(f), ReadStatus::Ok);
  EXPECT_FLOAT_EQ(f, 0.625f);
  ASSERT_EQ(r.number(f), ReadStatus::Ok);
  EXPECT_FLOAT_EQ(f, 0.5f);
  ASSERT_EQ(r.text(text), ReadStatus::Ok);
  EXPECT_EQ(text, "");
  EXPECT_TRUE(r.atRecordEnd());
  EXPECT_EQ(r.recordNumber(), 2);
  ASSERT_EQ(r.text(text), ReadStatus::Ok);
  ASSERT_EQ(r.number(f), ReadStatus::Ok);
  EXPECT_FLOAT_EQ(f, -0.25f);
  EXPECT_FALSE(r.atEnd());
  ASSERT_EQ(r.integer(i16), ReadStatus::Ok);  // the empty line between is no field
  EXPECT_EQ(i16, 7);
  EXPECT_TRUE(r.atEnd());
  EXPECT_EQ(r.text(text), ReadStatus::EndOfFile);
}

TEST(RecordReader, RefusesMalformedFieldsAndKeepsItsPlace) {
  struct Case { const char* bytes; };
  const Case numbers[] = {{"abc,1"}, {"1.2.3,1"}, {"-,1"}, {".,1"}, {"1e,1"}, {"40000,1"}, {"\"12"}};
  for (const auto& c : numbers) {
    RecordReader r(c.bytes);
    int16_t v = 99;
    EXPECT_EQ(r.integer(v), ReadStatus::Malformed) << c.bytes;
    EXPECT_EQ(v, 99) << c.bytes;
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
  RecordReader r("2.5,3.5,-2.5,,1E3,16777215\r\n");
  int16_t v = -1;
  const int16_t expected[] = {2, 4, -2, 0, 1000};
  for (int16_t e : expected) {
    ASSERT_EQ(r.integer(v), ReadStatus::Ok);
    EXPECT_EQ(v, e);
  }
  int32_t colour = 0;
  ASSERT_EQ(r.integer(colour), ReadStatus::Ok);
  EXPECT_EQ(colour, 0xFFFFFF);
}

TEST(RecordCodec, WhatTheWriterWritesTheReaderReadsBack) {
  const float values[] = {0.0f, 1.0f, 0.3125f, 25.0f / 90.0f, -123.4567f, 1.0e-6f, 98765.43f};
  RecordWriter w;
  w.text("Jos\xC3\xA9 N\xC3\xBA\xC3\xB1" "ez, Jr.");
  for (float v : values) w.number(v);
  w.endRecord();
  RecordReader r(w.bytes());
  std::string name;
  ASSERT_EQ(r.text(name), ReadStatus::Ok);
  EXPECT_EQ(name, "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1" "ez, Jr.");
  for (float v : values) {
    float back = -1;
    ASSERT_EQ(r.number(back), ReadStatus::Ok);
    EXPECT_EQ(back, v);  // seven digits give back the same single
  }
  EXPECT_TRUE(r.atEnd());
}

}  // namespace
}  // namespace tidemet
