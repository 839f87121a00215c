#pragma once
// The fixed tree a device builds when it opens, and the one door through which the library's
// own code fills collections and names elements (clients only read them).

#include <memory>
#include <string>

#include "zdaq/objects.h"

namespace zdaq {

struct DeviceTree {
  std::shared_ptr<ZzIoConfigurationCollection> configurations;
  std::shared_ptr<ZzIoPointCollection> points;
  std::shared_ptr<ZzIoConfigurationGroupCollection> configurationGroups;
  std::shared_ptr<ZzIoPointGroupCollection> pointGroups;
};

struct TreeBuilder {
  // Five configurations, twenty points, four configuration groups, two point groups, then the
  // links, in that order. Throws std::bad_alloc.
  static DeviceTree build(const std::weak_ptr<ZzDaqDevice>& owner);

  template <class Element>
  static void add(Collection<Element>& collection, std::shared_ptr<Element> element) {
    collection.Add(std::move(element));
  }
  // Takes out the first element matching pred; null when none.
  template <class Element, class Pred>
  static std::shared_ptr<Element> removeIf(Collection<Element>& collection, Pred pred) {
    return collection.RemoveIf(pred);
  }

 private:
  template <class T>
  static std::shared_ptr<T> make(int32_t id, std::string name) {
    auto element = std::make_shared<T>();
    element->SetName(std::move(name));
    element->SetID(id);
    return element;
  }
};

}  // namespace zdaq
