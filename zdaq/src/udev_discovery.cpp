#include "zdaq/src/udev_discovery.h"

#include <libudev.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "zdaq/error.h"

namespace zdaq {
namespace {

constexpr const char* kSubsystem = "zdaq";

DeviceInfo Describe(udev_device* device) {
  const char* model = udev_device_get_property_value(device, "ID_MODEL");
  const char* product = nullptr;
  if (model == nullptr) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (usb != nullptr) product = udev_device_get_sysattr_value(usb, "product");
  }
  return DescribeDevice(udev_device_get_devnode(device), model, product);
}

}  // namespace

DeviceInfo DescribeDevice(const char* devnode, const char* model, const char* product) {
  DeviceInfo info;
  if (devnode != nullptr) info.path = devnode;
  if (model != nullptr)
    info.name = model;
  else if (product != nullptr)
    info.name = product;
  return info;
}

std::optional<DiscoveryEvent> EventFor(const char* action, const DeviceInfo& info) {
  if (action != nullptr && std::strcmp(action, "add") == 0)
    return DiscoveryEvent{DiscoveryEvent::Kind::Arrival, info.path, info.name};
  if (action != nullptr && std::strcmp(action, "remove") == 0)
    return DiscoveryEvent{DiscoveryEvent::Kind::Removal, info.path, {}};
  if (action != nullptr && std::strcmp(action, "change") == 0 && !info.path.empty())
    return DiscoveryEvent{DiscoveryEvent::Kind::HandleArrival, info.path, {}};  // node is back
  return std::nullopt;
}

UdevDiscovery::UdevDiscovery() : udev_(udev_new()) {
  if (udev_ == nullptr) ThrowSystemError(errno != 0 ? errno : ENOMEM, "IZzDaqEnum");
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ != nullptr &&
      (udev_monitor_filter_add_match_subsystem_devtype(monitor_, kSubsystem, nullptr) < 0 ||
       udev_monitor_enable_receiving(monitor_) < 0)) {
    udev_monitor_unref(monitor_);
    monitor_ = nullptr;
  }
}

UdevDiscovery::~UdevDiscovery() {
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  udev_unref(udev_);
}

std::vector<DeviceInfo> UdevDiscovery::enumerate() {
  std::vector<DeviceInfo> devices;
  udev_enumerate* enumerate = udev_enumerate_new(udev_);
  if (enumerate == nullptr) ThrowOutOfMemory("IZzDaqEnum");
  udev_enumerate_add_match_subsystem(enumerate, kSubsystem);
  const int r = udev_enumerate_scan_devices(enumerate);
  if (r < 0) {
    udev_enumerate_unref(enumerate);
    ThrowSystemError(-r, "IZzDaqEnum");
  }
  udev_list_entry* entry;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
    udev_device* device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
    if (device == nullptr) continue;  // gone meanwhile
    devices.push_back(Describe(device));
    udev_device_unref(device);
  }
  udev_enumerate_unref(enumerate);
  return devices;
}

int UdevDiscovery::descriptor() const {
  return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

std::vector<DiscoveryEvent> UdevDiscovery::takeEvents() {
  std::vector<DiscoveryEvent> events;
  // The monitor's socket is non-blocking: receive_device returns null once it is drained.
  while (udev_device* device =
             monitor_ != nullptr ? udev_monitor_receive_device(monitor_) : nullptr) {
    if (auto event = EventFor(udev_device_get_action(device), Describe(device)))
      events.push_back(std::move(*event));
    udev_device_unref(device);
  }
  return events;
}

}  // namespace zdaq
