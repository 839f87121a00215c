#include "app/files/record_codec.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/files/cp1252_text.h"
#include "app/session/rounding.h"

namespace tidemet {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimal text: optional sign, digits with at most one point (either side may be empty,
// but not both), an optional exponent. Returns false for anything else.
bool parseDecimal(std::string_view s, double& value) {
  if (s.empty()) {
    value = 0.0;  // an empty numeric field reads as 0
    return true;
  }
  size_t i = 0;
  if (s[i] == '+' || s[i] == '-') ++i;
  size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  std::string copy(s);
  value = std::strtod(copy.c_str(), nullptr);
  return std::isfinite(value);
}

}  // namespace

std::string PlainNumberText(float value) {
  if (!std::isfinite(value) || value == 0.0f) return "0";
  const double v = value;
  // The decimal exponent after rounding to seven significant digits.
  char sci[32];
  std::snprintf(sci, sizeof sci, "%.6e", v);
  const char* e = std::strchr(sci, 'e');
  const int exponent = e ? std::atoi(e + 1) : 0;
  std::string out;
  if (exponent >= 6) {
    // Seven digits of the mantissa, then zeros: printing the whole single would show digits
    // beyond its precision.
    out = (v < 0) ? "-" : "";
    for (const char* c = sci; c != e; ++c)
      if (isDigit(*c)) out += *c;
    out.append(static_cast<size_t>(exponent - 6), '0');
    return out;
  }
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.*f", 6 - exponent, v);
  out = buf;
  if (out.find('.') != std::string::npos) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
  if (out == "-0") out = "0";
  return out;
}

void RecordWriter::separate() {
  if (recordOpen_) bytes_ += ',';
  recordOpen_ = true;
}

RecordWriter& RecordWriter::text(std::string_view utf8) {
  separate();
  std::string field = ToCp1252(utf8);
  for (char& c : field)
    if (c == '"') c = kQuoteReplacement;
  bytes_ += '"';
  bytes_ += field;
  bytes_ += '"';
  return *this;
}

RecordWriter& RecordWriter::integer(long long value) {
  separate();
  bytes_ += std::to_string(value);
  return *this;
}

RecordWriter& RecordWriter::number(float value) {
  separate();
  bytes_ += PlainNumberText(value);
  return *this;
}

RecordWriter& RecordWriter::endRecord() {
  bytes_ += "\r\n";
  recordOpen_ = false;
  return *this;
}

bool RecordReader::atEnd() const {
  for (size_t i = pos_; i < in_.size(); ++i)
    if (!isBlank(in_[i]) && !isLineEnd(in_[i])) return false;
  return true;
}

ReadStatus RecordReader::raw(RawField& field) const {
  size_t i = pos_;
  int record = record_;
  // A field starts after blanks; empty lines between records are no fields.
  for (;;) {
    while (i < in_.size() && isBlank(in_[i])) ++i;
    if (i < in_.size() && isLineEnd(in_[i]) && recordEnded_) {
      if (in_[i] == '\r' && i + 1 < in_.size() && in_[i + 1] == '\n') ++i;
      ++i;
      continue;
    }
    break;
  }
  if (i >= in_.size()) {
    if (!recordEnded_) {  // a trailing comma leaves one empty field at the end
      field = {in_.substr(i, 0), false, i, true, record + 1};
      return ReadStatus::Ok;
    }
    return ReadStatus::EndOfFile;
  }
  size_t end = i;
  if (in_[i] == '"') {
    size_t close = in_.find('"', i + 1);
    if (close == std::string_view::npos) return ReadStatus::Malformed;
    field.content = in_.substr(i + 1, close - i - 1);
    field.quoted = true;
    end = close + 1;
    while (end < in_.size() && isBlank(in_[end])) ++end;
    if (end < in_.size() && in_[end] != ',' && !isLineEnd(in_[end])) return ReadStatus::Malformed;
  } else {
    while (end < in_.size() && in_[end] != ',' && !isLineEnd(in_[end])) ++end;
    size_t last = end;
    while (last > i && isBlank(in_[last - 1])) --last;
    field.content = in_.substr(i, last - i);
    field.quoted = false;
  }
  // The separator: a comma continues the record, a line end or the end of the bytes ends it.
  field.endsRecord = true;
  if (end < in_.size() && in_[end] == ',') {
    field.endsRecord = false;
    ++end;
  } else if (end < in_.size()) {
    if (in_[end] == '\r' && end + 1 < in_.size() && in_[end + 1] == '\n') ++end;
    ++end;
  }
  field.next = end;
  field.nextRecord = field.endsRecord ? record + 1 : record;
  return ReadStatus::Ok;
}

void RecordReader::advance(const RawField& field) {
  pos_ = field.next;
  record_ = field.nextRecord;
  recordEnded_ = field.endsRecord;
}

ReadStatus RecordReader::text(std::string& utf8) {
  RawField field;
  ReadStatus status = raw(field);
  if (status != ReadStatus::Ok) return status;
  utf8 = FromCp1252(field.content);
  advance(field);
  return ReadStatus::Ok;
}

ReadStatus RecordReader::number(double& value) {
  RawField field;
  ReadStatus status = raw(field);
  if (status != ReadStatus::Ok) return status;
  std::string_view content = field.content;
  if (field.quoted) {  // a number in quotes still reads as its number
    while (!content.empty() && isBlank(content.front())) content.remove_prefix(1);
    while (!content.empty() && isBlank(content.back())) content.remove_suffix(1);
  }
  double parsed = 0.0;
  if (!parseDecimal(content, parsed)) return ReadStatus::Malformed;
  value = parsed;
  advance(field);
  return ReadStatus::Ok;
}

// Reads a number and keeps it only when `fits` accepts it; otherwise the reader stays before the
// field, so that a refused value can be reported or read as something else.
template <typename Fits>
ReadStatus RecordReader::checkedNumber(double& value, Fits fits) {
  const RecordReader saved = *this;
  ReadStatus status = number(value);
  if (status == ReadStatus::Ok && !fits(value)) {
    *this = saved;
    return ReadStatus::Malformed;
  }
  return status;
}

ReadStatus RecordReader::number(float& value) {
  double v = 0.0;
  ReadStatus status = checkedNumber(v, [](double d) { return std::fabs(d) <= 3.4028234663852886e38; });
  if (status == ReadStatus::Ok) value = static_cast<float>(v);
  return status;
}

ReadStatus RecordReader::integer(int16_t& value) {
  double v = 0.0;
  ReadStatus status = checkedNumber(v, [](double d) { return RoundEven(d) >= -32768.0 && RoundEven(d) <= 32767.0; });
  if (status == ReadStatus::Ok) value = static_cast<int16_t>(RoundEven(v));
  return status;
}

ReadStatus RecordReader::integer(int32_t& value) {
  double v = 0.0;
  ReadStatus status =
      checkedNumber(v, [](double d) { return RoundEven(d) >= -2147483648.0 && RoundEven(d) <= 2147483647.0; });
  if (status == ReadStatus::Ok) value = static_cast<int32_t>(RoundEven(v));
  return status;
}

}  // namespace tidemet
