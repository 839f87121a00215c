#include "zdaq/src/udev_discovery.h"

#include <libudev.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "zdaq/error.h"

namespace zdaq {
namespace {

constexpr const char* kSubsystem = "zdaq";

std::string FriendlyName(udev_device* device) {
  if (const char* model = udev_device_get_property_value(device, "ID_MODEL")) return model;
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
  if (usb != nullptr)
    if (const char* product = udev_device_get_sysattr_value(usb, "product")) return product;
  return {};
}

DeviceInfo Describe(udev_device* device) {
  DeviceInfo info;
  if (const char* node = udev_device_get_devnode(device)) info.path = node;
  info.name = FriendlyName(device);
  return info;
}

}  // namespace

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
    const char* action = udev_device_get_action(device);
    DeviceInfo info = Describe(device);
    if (action != nullptr && std::strcmp(action, "add") == 0)
      events.push_back({DiscoveryEvent::Kind::Arrival, info.path, info.name});
    else if (action != nullptr && std::strcmp(action, "remove") == 0)
      events.push_back({DiscoveryEvent::Kind::Removal, info.path, {}});
    else if (action != nullptr && std::strcmp(action, "change") == 0 && !info.path.empty())
      events.push_back({DiscoveryEvent::Kind::HandleArrival, info.path, {}});  // node is back
    udev_device_unref(device);
  }
  return events;
}

}  // namespace zdaq
