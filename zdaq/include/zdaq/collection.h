#pragma once
// The five collections of the tree (and the enumerator's device collection) share one shape:
// Count, Item by 1-based position or by Name, and iteration in the order elements were added.

#include <climits>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "zdaq/error.h"
#include "zdaq/object.h"

namespace zdaq {

struct TreeBuilder;

// Element provides kCollectionClass, kCollectionInterface and a non-throwing nameView().
template <class Element>
class Collection final : public Object {
 public:
  using const_iterator = typename std::vector<std::shared_ptr<Element>>::const_iterator;

  std::string_view ClassName() const override { return Element::kCollectionClass; }

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }

  std::shared_ptr<Element> Item(const Variant& n) const {
    const auto& v = n.value();
    if (const auto* s = std::get_if<std::string>(&v)) {
      for (const auto& e : items_)
        if (e->nameView() == *s) return e;
      indexInvalid();
    }
    int32_t position = 0;
    if (const auto* i16 = std::get_if<int16_t>(&v)) {
      position = *i16;
    } else if (const auto* i32 = std::get_if<int32_t>(&v)) {
      position = *i32;
    } else if (const auto* i64 = std::get_if<int64_t>(&v);
               i64 != nullptr && *i64 >= INT32_MIN && *i64 <= INT32_MAX) {
      position = static_cast<int32_t>(*i64);  // a C++ `long` holding a position
    } else {
      ThrowError(kParameterInvalid, kTextParameterInvalid, Element::kCollectionInterface);
    }
    if (position < 1 || position > Count()) indexInvalid();
    return items_[static_cast<size_t>(position - 1)];
  }

  // _NewEnum
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

  // Null when no element has that ID.
  std::shared_ptr<Element> LookupWithId(int32_t id) const {
    for (const auto& e : items_)
      if (e->ID() == id) return e;
    return nullptr;
  }

 private:
  // The library's own builders change a collection; a client only reads it.
  friend struct TreeBuilder;

  void Add(std::shared_ptr<Element> element) { items_.push_back(std::move(element)); }
  // Takes out the first element matching pred; null when none.
  template <class Pred>
  std::shared_ptr<Element> RemoveIf(Pred pred) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
      if (pred(**it)) {
        auto element = *it;
        items_.erase(it);
        return element;
      }
    }
    return nullptr;
  }

  [[noreturn]] static void indexInvalid() {
    ThrowError(kUnspecifiedFailure, kTextIndexInvalid, Element::kCollectionInterface);
  }

  std::vector<std::shared_ptr<Element>> items_;
};

}  // namespace zdaq
