#pragma once
// Devices of the driver's class through libudev: the devices of subsystem "zdaq", the interface
// path being the device node and the friendly name the model (udev property ID_MODEL, else the
// USB parent's "product" attribute). Arrivals, returns of a node and removals follow through a
// udev monitor.

#include <memory>
#include <optional>

#include "zdaq/discovery.h"

struct udev;
struct udev_monitor;

namespace zdaq {

// What the strings of one udev record say; any of them may be absent (null). The name is the
// model, else the USB parent's product.
DeviceInfo DescribeDevice(const char* devnode, const char* model, const char* product);
// The event an action makes of a described device: "add" an arrival, "remove" a removal,
// "change" with a device node the return of a handle; nothing for other actions.
std::optional<DiscoveryEvent> EventFor(const char* action, const DeviceInfo& info);

class UdevDiscovery final : public Discovery {
 public:
  // Throws a system error if udev cannot be reached at all. Without a monitor (no netlink in
  // this environment) the list is read once and no event ever arrives.
  UdevDiscovery();
  ~UdevDiscovery() override;
  UdevDiscovery(const UdevDiscovery&) = delete;
  UdevDiscovery& operator=(const UdevDiscovery&) = delete;

  std::vector<DeviceInfo> enumerate() override;
  int descriptor() const override;
  std::vector<DiscoveryEvent> takeEvents() override;

 private:
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
};

}  // namespace zdaq
