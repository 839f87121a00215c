#include "app/session/text.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace tidemet {
namespace {

// %G with the given precision, trailing zeros of the fraction removed ("%G" keeps none already,
// but the exponent part must stay as it is).
std::string formatG(double v, int precision) {
  if (v == 0.0) return "0";  // also folds -0
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", precision, v);
  return buf;
}

std::string dropLeadingZero(std::string s) {
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return s;
}

std::string withSignBlank(std::string s) {
  if (s[0] != '-') s.insert(s.begin(), ' ');
  return s;
}

}  // namespace

std::string NumText(float v) { return formatG(v, 7); }
std::string NumText(double v) { return formatG(v, 15); }
std::string NumText(long long v) { return std::to_string(v); }

std::string Str(float v) { return withSignBlank(dropLeadingZero(NumText(v))); }
std::string Str(double v) { return withSignBlank(dropLeadingZero(NumText(v))); }
std::string Str(long long v) { return withSignBlank(NumText(v)); }

double Val(std::string_view text) {
  std::string digits;
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipBlanks();
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) digits += text[i++];
  bool point = false;
  bool anyDigit = false;
  for (; i < text.size(); ++i) {
    char ch = text[i];
    if (std::isdigit(static_cast<unsigned char>(ch))) {
      digits += ch;
      anyDigit = true;
    } else if (ch == '.' && !point) {
      digits += ch;
      point = true;
    } else if (ch == ' ' || ch == '\t') {
      continue;  // Val ignores blanks inside a number
    } else {
      break;
    }
  }
  if (!anyDigit) return 0.0;
  return std::strtod(digits.c_str(), nullptr);
}

std::string WithLineFeeds(std::string_view crlfText) {
  std::string out;
  out.reserve(crlfText.size());
  for (size_t i = 0; i < crlfText.size(); ++i) {
    if (crlfText[i] == '\r' && i + 1 < crlfText.size() && crlfText[i + 1] == '\n') continue;
    out += crlfText[i];
  }
  return out;
}

std::string JoinLines(std::initializer_list<std::string_view> lines) {
  std::string out;
  bool first = true;
  for (auto line : lines) {
    if (!first) out += CrLf;
    out += line;
    first = false;
  }
  return out;
}

}  // namespace tidemet
