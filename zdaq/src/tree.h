#pragma once
// The fixed tree a device builds when it opens.

#include <memory>

#include "zdaq/objects.h"

namespace zdaq {

struct DeviceTree {
  std::shared_ptr<ZzIoConfigurationCollection> configurations;
  std::shared_ptr<ZzIoPointCollection> points;
  std::shared_ptr<ZzIoConfigurationGroupCollection> configurationGroups;
  std::shared_ptr<ZzIoPointGroupCollection> pointGroups;
};

// Five configurations, twenty points, four configuration groups, two point groups, then the
// links, in that order. Throws std::bad_alloc.
DeviceTree BuildTree(const std::weak_ptr<ZzDaqDevice>& owner);

}  // namespace zdaq
