// libusb-1.0 behind the pipe table's bus interface.

#include "platform/mpusbapi/usb/libusb_bus.h"

#include <libusb.h>

#include <map>
#include <set>

namespace mpusb {

namespace {

constexpr int kMaxPortDepth = 7;

DeviceLocation locationOf(libusb_device* device) {
  DeviceLocation location;
  location.bus = libusb_get_bus_number(device);
  uint8_t ports[kMaxPortDepth];
  const int depth = libusb_get_port_numbers(device, ports, kMaxPortDepth);
  if (depth > 0) location.ports.assign(ports, ports + depth);
  return location;
}

class LibusbLink final : public UsbLink {
 public:
  explicit LibusbLink(libusb_device_handle* handle) : handle_(handle) {}
  ~LibusbLink() override { libusb_close(handle_); }
  LibusbLink(const LibusbLink&) = delete;
  LibusbLink& operator=(const LibusbLink&) = delete;

  // Selecting setting 0 makes the endpoints that findEndpoint reports the ones in use, whatever
  // setting the interface was left in by its last user.
  int claimInterface(int interfaceNumber) override {
    if (const int result = libusb_claim_interface(handle_, interfaceNumber); result != 0)
      return result;
    const int result = libusb_set_interface_alt_setting(handle_, interfaceNumber, 0);
    if (result != 0) libusb_release_interface(handle_, interfaceNumber);
    return result;
  }
  void releaseInterface(int interfaceNumber) override {
    libusb_release_interface(handle_, interfaceNumber);
  }
  int clearHalt(uint8_t endpoint) override { return libusb_clear_halt(handle_, endpoint); }
  int transfer(uint8_t endpoint, uint8_t type, unsigned char* data, int length, int* transferred,
               unsigned int timeoutMs) override {
    if (type == LIBUSB_TRANSFER_TYPE_INTERRUPT)
      return libusb_interrupt_transfer(handle_, endpoint, data, length, transferred, timeoutMs);
    return libusb_bulk_transfer(handle_, endpoint, data, length, transferred, timeoutMs);
  }

 private:
  libusb_device_handle* handle_;
};

class LibusbBus final : public UsbBus {
 public:
  LibusbBus() {
    if (libusb_init(&context_) != 0) context_ = nullptr;
  }
  ~LibusbBus() override {
    for (const auto& [device, id] : known_) libusb_unref_device(device);
    if (context_ != nullptr) libusb_exit(context_);
  }
  LibusbBus(const LibusbBus&) = delete;
  LibusbBus& operator=(const LibusbBus&) = delete;

  std::vector<AttachedDevice> attached() override {
    std::vector<AttachedDevice> result;
    if (context_ == nullptr) return result;
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(context_, &list);
    std::set<libusb_device*> present;
    for (ssize_t i = 0; i < n; ++i) {
      libusb_device_descriptor descriptor{};
      if (libusb_get_device_descriptor(list[i], &descriptor) != 0) continue;
      present.insert(list[i]);
      result.push_back(
          {idOf(list[i]), VidPid{descriptor.idVendor, descriptor.idProduct}, locationOf(list[i])});
    }
    // A device that left the list is gone for good; libusb makes a new one if it comes back.
    std::erase_if(known_, [&](const auto& entry) {
      if (present.contains(entry.first)) return false;
      libusb_unref_device(entry.first);
      return true;
    });
    if (list != nullptr) libusb_free_device_list(list, 1);
    return result;
  }

  std::optional<EndpointInfo> findEndpoint(DeviceId id, uint8_t address) override {
    libusb_device* device = deviceOf(id);
    if (device == nullptr) return std::nullopt;
    libusb_config_descriptor* config = nullptr;
    // Only the active configuration's endpoints can carry transfers; an unconfigured device
    // has none.
    if (libusb_get_active_config_descriptor(device, &config) != 0) return std::nullopt;
    std::optional<EndpointInfo> found;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
      const libusb_interface& iface = config->interface[i];
      if (iface.num_altsetting < 1) continue;
      const libusb_interface_descriptor& alt = iface.altsetting[0];
      for (int e = 0; e < alt.bNumEndpoints && !found; ++e) {
        const libusb_endpoint_descriptor& ep = alt.endpoint[e];
        if (ep.bEndpointAddress == address)
          found = EndpointInfo{alt.bInterfaceNumber, static_cast<uint8_t>(ep.bmAttributes & 0x03),
                               ep.wMaxPacketSize};
      }
    }
    libusb_free_config_descriptor(config);
    return found;
  }

  std::unique_ptr<UsbLink> open(DeviceId id, int* error) override {
    libusb_device* device = deviceOf(id);
    if (device == nullptr) {
      *error = LIBUSB_ERROR_NO_DEVICE;
      return nullptr;
    }
    libusb_device_handle* handle = nullptr;
    *error = libusb_open(device, &handle);
    if (*error != 0) return nullptr;
    libusb_set_auto_detach_kernel_driver(handle, 1);
    return std::make_unique<LibusbLink>(handle);
  }

 private:
  // Holding a reference keeps the device object, and so its address, from being reused while
  // its id is known.
  DeviceId idOf(libusb_device* device) {
    if (const auto it = known_.find(device); it != known_.end()) return it->second;
    libusb_ref_device(device);
    known_[device] = next_;
    return next_++;
  }

  libusb_device* deviceOf(DeviceId id) const {
    for (const auto& [device, known] : known_)
      if (known == id) return device;
    return nullptr;
  }

  libusb_context* context_ = nullptr;
  std::map<libusb_device*, DeviceId> known_;
  DeviceId next_ = 1;
};

}  // namespace

std::unique_ptr<UsbBus> makeLibusbBus() { return std::make_unique<LibusbBus>(); }

}  // namespace mpusb
