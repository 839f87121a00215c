// libmpusbapi.so over libusb-1.0: pipes are endpoints of the matching devices, numbered by
// instance in a stable bus/port order.

#include <libusb.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/mpusbapi/mpusbapi.h"
#include "platform/mpusbapi/usb/usb_names.h"

namespace mpusb {

namespace {

constexpr int kMaxPortDepth = 7;

// One opened device; its interfaces stay claimed while any pipe (or transfer) holds it.
struct Device {
  DeviceLocation location;
  libusb_device_handle* handle = nullptr;
  std::set<int> claimed;
  ~Device() {
    for (const int iface : claimed) libusb_release_interface(handle, iface);
    libusb_close(handle);
  }
};

struct Pipe {
  std::shared_ptr<Device> device;
  uint8_t endpoint = 0;
  uint8_t type = LIBUSB_TRANSFER_TYPE_BULK;
};

struct EndpointInfo {
  int interfaceNumber = -1;
  uint8_t type = 0;
};

DeviceLocation locationOf(libusb_device* device) {
  DeviceLocation location;
  location.bus = libusb_get_bus_number(device);
  uint8_t ports[kMaxPortDepth];
  const int depth = libusb_get_port_numbers(device, ports, kMaxPortDepth);
  if (depth > 0) location.ports.assign(ports, ports + depth);
  return location;
}

std::optional<EndpointInfo> findEndpoint(libusb_device* device, uint8_t address) {
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(device, &config) != 0 &&
      libusb_get_config_descriptor(device, 0, &config) != 0)
    return std::nullopt;
  std::optional<EndpointInfo> found;
  for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
    const libusb_interface& iface = config->interface[i];
    if (iface.num_altsetting < 1) continue;
    const libusb_interface_descriptor& alt = iface.altsetting[0];
    for (int e = 0; e < alt.bNumEndpoints; ++e) {
      const libusb_endpoint_descriptor& ep = alt.endpoint[e];
      if (ep.bEndpointAddress == address) {
        found = EndpointInfo{alt.bInterfaceNumber, static_cast<uint8_t>(ep.bmAttributes & 0x03)};
        break;
      }
    }
  }
  libusb_free_config_descriptor(config);
  return found;
}

// libusb waits forever on 0; the pipe library's 0 means "do not wait".
unsigned int libusbTimeout(int32_t timeoutMs) {
  return timeoutMs > 0 ? static_cast<unsigned int>(timeoutMs) : 1u;
}

class UsbPipes {
 public:
  UsbPipes() {
    if (libusb_init(&context_) != 0) context_ = nullptr;
  }
  ~UsbPipes() {
    pipes_.clear();
    if (context_ != nullptr) libusb_exit(context_);
  }
  UsbPipes(const UsbPipes&) = delete;
  UsbPipes& operator=(const UsbPipes&) = delete;

  int32_t count(const char* vidPid) {
    const auto ids = vidPid != nullptr ? parseVidPid(vidPid) : std::nullopt;
    if (!ids || context_ == nullptr) return 0;
    std::lock_guard lock(mutex_);
    Matches matches(context_, *ids);
    return static_cast<int32_t>(matches.devices.size());
  }

  int32_t open(int32_t instance, const char* vidPid, const char* pipeName, int32_t direction) {
    const auto ids = vidPid != nullptr ? parseVidPid(vidPid) : std::nullopt;
    const auto address = pipeName != nullptr ? endpointAddress(pipeName, direction) : std::nullopt;
    if (!ids || !address || instance < 0 || context_ == nullptr) return MPUSB_INVALID_HANDLE;
    std::lock_guard lock(mutex_);
    Matches matches(context_, *ids);
    if (static_cast<size_t>(instance) >= matches.devices.size()) return MPUSB_INVALID_HANDLE;
    libusb_device* usbDevice = matches.devices[static_cast<size_t>(instance)].second;
    const auto endpoint = findEndpoint(usbDevice, *address);
    if (!endpoint) return MPUSB_INVALID_HANDLE;
    std::shared_ptr<Device> device =
        openDevice(usbDevice, matches.devices[static_cast<size_t>(instance)].first);
    if (!device) return MPUSB_INVALID_HANDLE;
    if (!device->claimed.contains(endpoint->interfaceNumber)) {
      if (libusb_claim_interface(device->handle, endpoint->interfaceNumber) != 0)
        return MPUSB_INVALID_HANDLE;
      device->claimed.insert(endpoint->interfaceNumber);
    }
    // Handles are never reused, so a stale handle cannot reach a newer pipe.
    const int32_t handle = next_++;
    pipes_[handle] = Pipe{device, *address, endpoint->type};
    return handle;
  }

  // Returns the libusb result; `transferred` holds the bytes moved, also on a time-out.
  int transfer(int32_t handle, unsigned char* data, int32_t length, int* transferred,
               int32_t timeoutMs) {
    *transferred = 0;
    if (length < 0 || (data == nullptr && length > 0)) return LIBUSB_ERROR_INVALID_PARAM;
    Pipe pipe;
    {
      std::lock_guard lock(mutex_);
      const auto it = pipes_.find(handle);
      if (it == pipes_.end()) return LIBUSB_ERROR_NOT_FOUND;
      pipe = it->second;
    }
    if (pipe.type == LIBUSB_TRANSFER_TYPE_INTERRUPT)
      return libusb_interrupt_transfer(pipe.device->handle, pipe.endpoint, data, length,
                                       transferred, libusbTimeout(timeoutMs));
    return libusb_bulk_transfer(pipe.device->handle, pipe.endpoint, data, length, transferred,
                                libusbTimeout(timeoutMs));
  }

  bool isIn(int32_t handle) {
    std::lock_guard lock(mutex_);
    const auto it = pipes_.find(handle);
    return it != pipes_.end() && (it->second.endpoint & 0x80) != 0;
  }

  bool isOut(int32_t handle) {
    std::lock_guard lock(mutex_);
    const auto it = pipes_.find(handle);
    return it != pipes_.end() && (it->second.endpoint & 0x80) == 0;
  }

  int32_t close(int32_t handle) {
    std::lock_guard lock(mutex_);
    return pipes_.erase(handle) > 0 ? 1 : 0;  // the device goes with its last pipe
  }

 private:
  // Matching devices in instance order; holds the device list while alive.
  struct Matches {
    Matches(libusb_context* context, VidPid ids) {
      const ssize_t n = libusb_get_device_list(context, &list);
      for (ssize_t i = 0; i < n; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) != 0) continue;
        if (descriptor.idVendor == ids.vid && descriptor.idProduct == ids.pid)
          devices.emplace_back(locationOf(list[i]), list[i]);
      }
      std::sort(devices.begin(), devices.end(),
                [](const auto& a, const auto& b) { return locatedBefore(a.first, b.first); });
    }
    ~Matches() {
      if (list != nullptr) libusb_free_device_list(list, 1);
    }
    Matches(const Matches&) = delete;
    Matches& operator=(const Matches&) = delete;
    libusb_device** list = nullptr;
    std::vector<std::pair<DeviceLocation, libusb_device*>> devices;
  };

  std::shared_ptr<Device> openDevice(libusb_device* usbDevice, const DeviceLocation& location) {
    std::erase_if(devices_, [](const auto& weak) { return weak.expired(); });
    for (const auto& weak : devices_)
      if (auto device = weak.lock(); device && device->location == location) return device;
    libusb_device_handle* handle = nullptr;
    if (const int result = libusb_open(usbDevice, &handle); result != 0) {
      if (result == LIBUSB_ERROR_ACCESS) reportAccessDenied(location);
      return nullptr;
    }
    libusb_set_auto_detach_kernel_driver(handle, 1);
    auto device = std::make_shared<Device>();
    device->location = location;
    device->handle = handle;
    devices_.push_back(device);
    return device;
  }

  // The module library can only say "device maybe used by other application"; the usual cause,
  // a missing udev rule, is told once per process on standard error.
  void reportAccessDenied(const DeviceLocation& location) {
    if (accessDeniedTold_) return;
    accessDeniedTold_ = true;
    std::fprintf(stderr,
                 "libmpusbapi: access to the USB module on bus %u was denied. Install the udev "
                 "rule 60-tidemet-vonmod.rules (in /usr/lib/udev/rules.d or /etc/udev/rules.d), "
                 "join the group plugdev, then replug the module.\n",
                 static_cast<unsigned>(location.bus));
  }

  std::mutex mutex_;
  bool accessDeniedTold_ = false;
  libusb_context* context_ = nullptr;
  std::map<int32_t, Pipe> pipes_;
  std::vector<std::weak_ptr<Device>> devices_;
  int32_t next_ = 1;
};

UsbPipes& pipes() {
  static UsbPipes instance;
  return instance;
}

}  // namespace

}  // namespace mpusb

using mpusb::pipes;

extern "C" {

int32_t MPUSBGetDLLVersion(void) { return 0x01000000; }

int32_t MPUSBGetDeviceCount(const char* vidPid) { return pipes().count(vidPid); }

int32_t MPUSBOpen(int32_t instance, const char* vidPid, const char* pipeName, int32_t direction,
                  int32_t /*reserved*/) {
  return pipes().open(instance, vidPid, pipeName, direction);
}

int32_t MPUSBWrite(int32_t handle, const void* data, int32_t length, int32_t* sent,
                   int32_t timeoutMs) {
  if (!pipes().isOut(handle)) return 0;
  int transferred = 0;
  // libusb takes a mutable buffer but does not change OUT data.
  const int result = pipes().transfer(handle, static_cast<unsigned char*>(const_cast<void*>(data)),
                                      length, &transferred, timeoutMs);
  if (sent != nullptr) *sent = transferred;
  return result == 0 ? 1 : 0;
}

int32_t MPUSBRead(int32_t handle, void* data, int32_t length, int32_t* received,
                  int32_t timeoutMs) {
  if (!pipes().isIn(handle)) return 0;
  int transferred = 0;
  const int result =
      pipes().transfer(handle, static_cast<unsigned char*>(data), length, &transferred, timeoutMs);
  if (received != nullptr) *received = result == 0 ? transferred : 0;
  return result == 0 ? 1 : 0;
}

int32_t MPUSBReadInt(int32_t handle, void* data, int32_t length, int32_t* received,
                     int32_t timeoutMs) {
  if (!pipes().isIn(handle)) return 0;
  int transferred = 0;
  const int result =
      pipes().transfer(handle, static_cast<unsigned char*>(data), length, &transferred, timeoutMs);
  if (received != nullptr) *received = transferred;
  return result == 0 ? 1 : 0;
}

int32_t MPUSBClose(int32_t handle) { return pipes().close(handle); }

}  // extern "C"
