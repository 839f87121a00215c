#pragma once
// Comma-separated records, the text form shared by client.lst, company.lst and the summary file:
// text fields in double quotes, numbers as plain decimal text with a period, records ended by
// CR LF. Text is UTF-8 in memory and Windows-1252 in the file; the codec converts both ways.

#include <cstdint>
#include <string>
#include <string_view>

namespace tidemet {

// A text field cannot hold a double quote (the format has no escape for it): the writer
// replaces each one by an apostrophe. This is the only place that decides it.
inline constexpr char kQuoteReplacement = '\'';

// The longest text the program keeps: a data file stores text lengths as 16-bit integers, and
// the text boxes hold no more. Sizes of the largest valid files are derived from it.
inline constexpr size_t kLongestStoredText = 32767;
// The widest number RecordWriter writes: a sign, "0." and 51 decimals of the smallest float32.
inline constexpr size_t kWidestNumberText = 54;
// A field's bytes at most beyond its content: quotes, and a separator or a line end.
inline constexpr size_t kFieldFraming = 4;

class RecordWriter {
 public:
  // One field each; fields of a record are separated by commas.
  RecordWriter& text(std::string_view utf8);
  RecordWriter& integer(long long value);
  // At most seven significant digits, plain decimal (never an exponent), no trailing zeros,
  // a leading zero before the point ("0.5"); a value that is not finite is written as 0.
  RecordWriter& number(float value);
  // Ends the record with CR LF.
  RecordWriter& endRecord();

  const std::string& bytes() const { return bytes_; }
  std::string take() { return std::move(bytes_); }

 private:
  void separate();
  std::string bytes_;
  bool recordOpen_ = false;
};

// The plain decimal form RecordWriter::number writes.
std::string PlainNumberText(float value);

enum class ReadStatus {
  Ok,
  EndOfFile,  // no field left (only blanks and line ends remain)
  Malformed,  // the field is not what was asked for, or a quote is not closed
};

// Yields the fields of a record file one at a time, as the platform's sequential input does:
// a line end separates fields like a comma. Blanks around fields are skipped; a quoted field
// keeps its commas; an empty numeric field reads as 0. A failed read leaves the position where
// it was, so the caller can report or try another reading.
class RecordReader {
 public:
  explicit RecordReader(std::string_view bytes) : in_(bytes) {}

  ReadStatus text(std::string& utf8);
  ReadStatus number(double& value);
  ReadStatus number(float& value);
  // A number rounded half to even into the type's range; a value outside it is Malformed.
  ReadStatus integer(int16_t& value);
  ReadStatus integer(int32_t& value);

  // True when no field is left.
  bool atEnd() const;
  // True when the last field read was the last of its record (a line end or the end followed).
  bool atRecordEnd() const { return recordEnded_; }
  // 1-based record number of the next field, for messages.
  int recordNumber() const { return record_; }

 private:
  struct RawField {
    std::string_view content;
    bool quoted = false;
    size_t next = 0;       // position after the field and its separator
    bool endsRecord = false;
    int nextRecord = 1;
  };
  ReadStatus raw(RawField& field) const;
  template <typename Fits>
  ReadStatus checkedNumber(double& value, Fits fits);
  void advance(const RawField& field);

  std::string_view in_;
  size_t pos_ = 0;
  int record_ = 1;
  bool recordEnded_ = true;
};

}  // namespace tidemet
