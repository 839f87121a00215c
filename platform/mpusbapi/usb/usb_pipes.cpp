#include "platform/mpusbapi/usb/usb_pipes.h"

#include <libusb.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/mpusbapi/mpusbapi.h"

namespace mpusb {

// One opened device; its interfaces stay claimed while any pipe (or transfer) holds it.
struct UsbPipes::Device {
  AttachedDevice attached;
  std::unique_ptr<UsbLink> link;
  std::set<int> claimed;
  std::set<uint8_t> cleared;  // endpoints whose halt was cleared when first opened
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

constexpr unsigned int kDoNotWaitMs = 1;  // libusb has no shorter wait; its 0 has no limit
constexpr unsigned int kNoLimit = 0;

unsigned int libusbTimeout(int32_t timeoutMs) {
  if (timeoutMs > 0) return static_cast<unsigned int>(timeoutMs);
  return timeoutMs == 0 ? kDoNotWaitMs : kNoLimit;
}

// A device whose descriptors the stack could not read is never a match.
DeviceId noDevice() { return 0; }

}  // namespace

UsbPipes::UsbPipes(std::unique_ptr<UsbBus> bus) : bus_(std::move(bus)) {}

UsbPipes::~UsbPipes() {
  pipes_.clear();
  devices_.clear();
  bus_.reset();
}

std::vector<DeviceId> UsbPipes::instances(VidPid ids, std::vector<AttachedDevice>& attached) {
  attached = bus_->attached();
  std::erase_if(attached, [&](const AttachedDevice& d) { return !(d.ids == ids); });
  std::sort(attached.begin(), attached.end(),
            [](const auto& a, const auto& b) { return locatedBefore(a.location, b.location); });
  std::vector<DeviceId>& slots = slots_[static_cast<uint32_t>(ids.vid) << 16 | ids.pid];
  for (DeviceId& slot : slots) {
    const bool present = std::any_of(attached.begin(), attached.end(),
                                     [&](const AttachedDevice& d) { return d.id == slot; });
    if (!present) slot = noDevice();
  }
  for (const AttachedDevice& device : attached) {
    if (std::find(slots.begin(), slots.end(), device.id) != slots.end()) continue;
    const auto free = std::find(slots.begin(), slots.end(), noDevice());
    if (free != slots.end())
      *free = device.id;
    else
      slots.push_back(device.id);
  }
  while (!slots.empty() && slots.back() == noDevice()) slots.pop_back();
  return slots;
}

int32_t UsbPipes::count(const char* vidPid) {
  const auto ids = vidPid != nullptr ? parseVidPid(vidPid) : std::nullopt;
  if (!ids) return 0;
  std::lock_guard lock(mutex_);
  std::vector<AttachedDevice> attached;
  instances(*ids, attached);
  return static_cast<int32_t>(attached.size());
}

int32_t UsbPipes::open(int32_t instance, const char* vidPid, const char* pipeName,
                       int32_t direction) {
  const auto ids = vidPid != nullptr ? parseVidPid(vidPid) : std::nullopt;
  const auto address = pipeName != nullptr ? endpointAddress(pipeName, direction) : std::nullopt;
  if (!ids || !address || instance < 0) return MPUSB_INVALID_HANDLE;
  std::lock_guard lock(mutex_);
  std::vector<AttachedDevice> attached;
  const std::vector<DeviceId> slots = instances(*ids, attached);
  if (static_cast<size_t>(instance) >= slots.size()) return MPUSB_INVALID_HANDLE;
  const DeviceId id = slots[static_cast<size_t>(instance)];
  const auto found = std::find_if(attached.begin(), attached.end(),
                                  [&](const AttachedDevice& d) { return d.id == id; });
  if (found == attached.end()) return MPUSB_INVALID_HANDLE;
  const auto endpoint = bus_->findEndpoint(id, *address);
  if (!endpoint || (endpoint->type != LIBUSB_TRANSFER_TYPE_BULK &&
                    endpoint->type != LIBUSB_TRANSFER_TYPE_INTERRUPT))
    return MPUSB_INVALID_HANDLE;
  std::shared_ptr<Device> device = openDevice(*found);
  if (!device) return MPUSB_INVALID_HANDLE;
  if (!device->claimed.contains(endpoint->interfaceNumber)) {
    if (device->link->claimInterface(endpoint->interfaceNumber) != 0) return MPUSB_INVALID_HANDLE;
    device->claimed.insert(endpoint->interfaceNumber);
  }
  if (device->cleared.insert(*address).second) device->link->clearHalt(*address);
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
  // A device may answer a read with a whole packet however little was asked; a buffer of whole
  // packets takes it in, and only what was asked is stored.
  const int packet = std::max<int>(pipe.info.maxPacketSize, 1);
  int whole = length;
  if (in) whole = length <= packet ? packet : (length + packet - 1) / packet * packet;
  std::array<unsigned char, 512> small;  // a high-speed bulk packet; larger reads are rare
  std::unique_ptr<unsigned char[]> large;
  unsigned char* buffer = data;
  if (whole != length && whole <= static_cast<int>(small.size())) {
    buffer = small.data();
  } else if (whole != length) {
    large = std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(whole));
    buffer = large.get();
  }
  UsbLink& link = *pipe.device->link;
  int result = LIBUSB_ERROR_PIPE;
  for (int attempt = 0; attempt < 2 && result == LIBUSB_ERROR_PIPE; ++attempt) {
    result = link.transfer(pipe.endpoint, pipe.info.type, buffer, whole, transferred,
                           libusbTimeout(timeoutMs));
    if (result == LIBUSB_ERROR_PIPE) link.clearHalt(pipe.endpoint);
  }
  if (buffer != data && length > 0)
    std::memcpy(data, buffer, static_cast<size_t>(std::min(*transferred, length)));
  return result;
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
    if (auto device = weak.lock(); device && device->attached.id == attached.id) return device;
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
