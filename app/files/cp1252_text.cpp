#include "app/files/cp1252_text.h"

#include <array>
#include <cstdint>

namespace tidemet {
namespace {

// Code points of bytes 0x80..0x9F; the unassigned five keep their own number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t codePointOf(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

// The byte for a code point, or -1 when Windows-1252 has none.
int byteFor(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 character at `i`; returns its length in bytes (at least 1) and sets `cp`,
// or sets `valid` false for a malformed or overlong sequence (then the length is 1).
size_t decodeUtf8(std::string_view s, size_t i, char32_t& cp, bool& valid) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  valid = true;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  size_t len = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    valid = false;
    return 1;
  }
  if (i + len > s.size()) {
    valid = false;
    return 1;
  }
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      valid = false;
      return 1;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    valid = false;
    return 1;
  }
  return len;
}

}  // namespace

std::string ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    bool valid = false;
    i += decodeUtf8(utf8, i, cp, valid);
    int byte = valid ? byteFor(cp) : -1;
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

std::string FromCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) appendUtf8(out, codePointOf(static_cast<unsigned char>(c)));
  return out;
}

size_t Utf8Length(std::string_view utf8) {
  size_t n = 0;
  for (size_t i = 0; i < utf8.size(); ++n) {
    char32_t cp = 0;
    bool valid = false;
    i += decodeUtf8(utf8, i, cp, valid);
  }
  return n;
}

std::string Utf8Mid(std::string_view utf8, size_t first, size_t count) {
  size_t index = 0;
  size_t begin = utf8.size();
  size_t end = utf8.size();
  for (size_t i = 0; i < utf8.size(); ++index) {
    if (index == first) begin = i;
    if (count != std::string_view::npos && index == first + count) {
      end = i;
      break;
    }
    char32_t cp = 0;
    bool valid = false;
    i += decodeUtf8(utf8, i, cp, valid);
  }
  if (begin >= end) return {};
  return std::string(utf8.substr(begin, end - begin));
}

}  // namespace tidemet
