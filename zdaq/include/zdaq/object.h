#pragma once
// What every object of the tree shares, and the argument type of a collection's Item.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace zdaq {

class Object {
 public:
  virtual ~Object() = default;
  virtual std::string_view ClassName() const = 0;
};

// The small variant Item accepts. An integer (a 1-based position; a 64-bit one, a C++ `long` on
// Linux, when it fits in 32 bits) and a string (a Name) select an element; a double, a bool or
// an empty variant is refused as a client of the automation interface would be refused.
class Variant {
 public:
  using Value = std::variant<std::monostate, int16_t, int32_t, int64_t, double, bool, std::string>;

  Variant() = default;
  Variant(int16_t v) : value_(v) {}
  Variant(int32_t v) : value_(v) {}
  Variant(int64_t v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(bool v) : value_(v) {}
  Variant(const char* v) : value_(std::string(v)) {}
  Variant(std::string v) : value_(std::move(v)) {}
  Variant(std::string_view v) : value_(std::string(v)) {}

  const Value& value() const { return value_; }

 private:
  Value value_;
};

}  // namespace zdaq
