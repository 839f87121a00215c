#include "platform/mpusbapi/usb/usb_pipes.h"

#include <libusb.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/mpusbapi/mpusbapi.h"

namespace mpusb {

// One opened device; its interfaces stay claimed while any pipe (or transfer) holds it.
struct UsbPipes::Device {
  AttachedDevice attached;
  std::unique_ptr<UsbLink> link;
  std::set<int> claimed;
  ~Device() {
    for (const int iface : claimed) link->releaseInterface(iface);
  }
};

struct UsbPipes::Pipe {
  std::shared_ptr<Device> device;
  uint8_t endpoint = 0;
  EndpointInfo info;
};

namespace {

// libusb waits forever on 0; the pipe library's 0 means "do not wait".
unsigned int libusbTimeout(int32_t timeoutMs) {
  return timeoutMs > 0 ? static_cast<unsigned int>(timeoutMs) : 1u;
}

std::vector<AttachedDevice> matching(UsbBus& bus, VidPid ids) {
  std::vector<AttachedDevice> devices = bus.attached();
  std::erase_if(devices, [&](const AttachedDevice& d) { return !(d.ids == ids); });
  std::sort(devices.begin(), devices.end(),
            [](const auto& a, const auto& b) { return locatedBefore(a.location, b.location); });
  return devices;
}

}  // namespace

UsbPipes::UsbPipes(std::unique_ptr<UsbBus> bus) : bus_(std::move(bus)) {}

UsbPipes::~UsbPipes() {
  pipes_.clear();
  devices_.clear();
  bus_.reset();
}

int32_t UsbPipes::count(const char* vidPid) {
  const auto ids = vidPid != nullptr ? parseVidPid(vidPid) : std::nullopt;
  if (!ids) return 0;
  std::lock_guard lock(mutex_);
  return static_cast<int32_t>(matching(*bus_, *ids).size());
}

int32_t UsbPipes::open(int32_t instance, const char* vidPid, const char* pipeName,
                       int32_t direction) {
  const auto ids = vidPid != nullptr ? parseVidPid(vidPid) : std::nullopt;
  const auto address = pipeName != nullptr ? endpointAddress(pipeName, direction) : std::nullopt;
  if (!ids || !address || instance < 0) return MPUSB_INVALID_HANDLE;
  std::lock_guard lock(mutex_);
  const std::vector<AttachedDevice> devices = matching(*bus_, *ids);
  if (static_cast<size_t>(instance) >= devices.size()) return MPUSB_INVALID_HANDLE;
  const AttachedDevice& attached = devices[static_cast<size_t>(instance)];
  const auto endpoint = bus_->findEndpoint(attached.id, *address);
  if (!endpoint) return MPUSB_INVALID_HANDLE;
  std::shared_ptr<Device> device = openDevice(attached);
  if (!device) return MPUSB_INVALID_HANDLE;
  if (!device->claimed.contains(endpoint->interfaceNumber)) {
    if (device->link->claimInterface(endpoint->interfaceNumber) != 0) return MPUSB_INVALID_HANDLE;
    device->claimed.insert(endpoint->interfaceNumber);
  }
  // Handles are never reused, so a stale handle cannot reach a newer pipe.
  const int32_t handle = next_++;
  pipes_[handle] = Pipe{device, *address, *endpoint};
  return handle;
}

int UsbPipes::transfer(int32_t handle, bool in, unsigned char* data, int32_t length,
                       int* transferred, int32_t timeoutMs) {
  *transferred = 0;
  if (length < 0 || (data == nullptr && length > 0)) return LIBUSB_ERROR_INVALID_PARAM;
  Pipe pipe;
  {
    std::lock_guard lock(mutex_);
    const auto it = pipes_.find(handle);
    if (it == pipes_.end() || ((it->second.endpoint & 0x80) != 0) != in)
      return LIBUSB_ERROR_NOT_FOUND;
    pipe = it->second;
  }
  return pipe.device->link->transfer(pipe.endpoint, pipe.info.type, data, length, transferred,
                                     libusbTimeout(timeoutMs));
}

int32_t UsbPipes::write(int32_t handle, const void* data, int32_t length, int32_t* sent,
                        int32_t timeoutMs) {
  int transferred = 0;
  // libusb takes a mutable buffer but does not change OUT data.
  const int result = transfer(handle, false, static_cast<unsigned char*>(const_cast<void*>(data)),
                              length, &transferred, timeoutMs);
  if (result == LIBUSB_ERROR_NOT_FOUND) return 0;
  if (sent != nullptr) *sent = transferred;
  return result == 0 ? 1 : 0;
}

int32_t UsbPipes::read(int32_t handle, void* data, int32_t length, int32_t* received,
                       int32_t timeoutMs, bool countOnTimeout) {
  int transferred = 0;
  const int result =
      transfer(handle, true, static_cast<unsigned char*>(data), length, &transferred, timeoutMs);
  if (result == LIBUSB_ERROR_NOT_FOUND) return 0;
  if (received != nullptr) *received = result == 0 || countOnTimeout ? transferred : 0;
  return result == 0 ? 1 : 0;
}

int32_t UsbPipes::close(int32_t handle) {
  std::lock_guard lock(mutex_);
  return pipes_.erase(handle) > 0 ? 1 : 0;  // the device goes with its last pipe
}

std::shared_ptr<UsbPipes::Device> UsbPipes::openDevice(const AttachedDevice& attached) {
  std::erase_if(devices_, [](const auto& weak) { return weak.expired(); });
  for (const auto& weak : devices_)
    if (auto device = weak.lock(); device && device->attached.location == attached.location)
      return device;
  int error = 0;
  std::unique_ptr<UsbLink> link = bus_->open(attached.id, &error);
  if (!link) {
    if (error == LIBUSB_ERROR_ACCESS) reportAccessDenied(attached.location);
    return nullptr;
  }
  auto device = std::make_shared<Device>();
  device->attached = attached;
  device->link = std::move(link);
  devices_.push_back(device);
  return device;
}

// The module library can only say "device maybe used by other application"; the usual cause,
// a missing udev rule, is told once per process on standard error.
void UsbPipes::reportAccessDenied(const DeviceLocation& location) {
  if (accessDeniedTold_) return;
  accessDeniedTold_ = true;
  std::fprintf(stderr,
               "libmpusbapi: access to the USB module on bus %u was denied. Install the udev "
               "rule 60-tidemet-vonmod.rules (in /usr/lib/udev/rules.d or /etc/udev/rules.d), "
               "join the group plugdev, then replug the module.\n",
               static_cast<unsigned>(location.bus));
}

}  // namespace mpusb
