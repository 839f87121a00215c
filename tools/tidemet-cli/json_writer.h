#pragma once
// A small JSON text builder: objects, arrays, strings, integers, floats (shortest text that
// reads back as the same float) and null.

#include <string>
#include <string_view>
#include <vector>

namespace tidemet::cli {

class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  JsonWriter& key(std::string_view name);
  JsonWriter& value(std::string_view text);
  JsonWriter& value(const char* text) { return value(std::string_view(text)); }
  JsonWriter& value(long long number);
  JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
  JsonWriter& value(float number);  // not finite: null
  JsonWriter& value(bool flag);
  JsonWriter& null();

  const std::string& str() const { return out_; }

 private:
  void beforeValue();
  std::string out_;
  std::vector<bool> firstInLevel_;
  bool afterKey_ = false;
};

// `text` as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view text);

}  // namespace tidemet::cli
