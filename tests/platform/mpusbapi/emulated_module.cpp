#include "tests/platform/mpusbapi/emulated_module.h"

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace mpusb {

namespace {

// Device descriptor 04d8:ffe9, then one configuration with one vendor interface: bulk endpoints
// of 64 bytes EP1 OUT, EP1 IN and EP2..EP5 IN, an isochronous EP6 IN and an interrupt EP7 IN.
constexpr char kModuleDescriptors[] =
    "1201000200000040d804e9ff010001020001"
    "09024a000101008032"
    "0904000008ff000000"
    "07050102400000070581024000000705820240000007058302400000"
    "07058402400000070585024000000705860140000107058703400001";
constexpr char kHubDescriptors[] =
    "12010002090001406b1d020001000302010109021900010100e0000904000001090000000705810304000c";

}  // namespace

void EmulatedModule::addRootHub(UMockdevTestbed* testbed) {
  const std::string description =
      "P: /devices/usb1\nN: bus/usb/001/001\nE: SUBSYSTEM=usb\nE: DRIVER=usb\n"
      "E: DEVNAME=/dev/bus/usb/001/001\nE: DEVTYPE=usb_device\n"
      "E: BUSNUM=001\nE: DEVNUM=001\nA: busnum=1\\n\nA: devnum=1\\n\nA: speed=480\\n\n"
      "A: bConfigurationValue=1\\n\nH: descriptors=" +
      std::string(kHubDescriptors) + "\n";
  umockdev_testbed_add_from_string(testbed, description.c_str(), nullptr);
}

EmulatedModule::EmulatedModule(UMockdevTestbed* testbed, int port, int address, uint8_t serialDigit)
    : testbed_(testbed), handler_(umockdev_ioctl_base_new()) {
  firmware_.state.serialDigits.fill(serialDigit);
  char node[32];
  std::snprintf(node, sizeof node, "/dev/bus/usb/001/%03d", address);
  devNode_ = node;
  sysPath_ = "/sys/devices/usb1/1-" + std::to_string(port);
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(onIoctl), this);
  umockdev_testbed_attach_ioctl(testbed_, devNode_.c_str(), handler_, nullptr);
  const std::string description =
      "P: /devices/usb1/1-" + std::to_string(port) + "\nN: " + devNode_.substr(5) +
      "\nE: SUBSYSTEM=usb\nE: DRIVER=usb\nE: DEVNAME=" + devNode_ +
      "\nE: DEVTYPE=usb_device\nE: BUSNUM=001\nE: DEVNUM=" + std::string(node + 17) +
      "\nA: busnum=1\\n\nA: devnum=" + std::to_string(address) +
      "\\n\nA: speed=12\\n\nA: bConfigurationValue=1\\n\nH: descriptors=" + kModuleDescriptors +
      "\n";
  umockdev_testbed_add_from_string(testbed_, description.c_str(), nullptr);
}

EmulatedModule::~EmulatedModule() {
  unplug();
  umockdev_testbed_detach_ioctl(testbed_, devNode_.c_str(), nullptr);
  // A handle left open on the module may still ask; it must not reach a module that is gone.
  g_signal_handlers_disconnect_by_data(handler_, this);
  g_object_unref(handler_);
  for (UMockdevIoctlData* urb : completed_) g_object_unref(urb);
}

void EmulatedModule::unplug() {
  {
    std::lock_guard lock(mutex_);
    if (!attached_) return;
    attached_ = false;
    // Requests in flight end as the kernel ends them when the device goes.
    for (UMockdevIoctlData* urb : waiting_) {
      reinterpret_cast<usbdevfs_urb*>(urb->data)->status = -ESHUTDOWN;
      completed_.push_back(urb);
    }
    waiting_.clear();
  }
  umockdev_testbed_uevent(testbed_, sysPath_.c_str(), "remove");
  umockdev_testbed_remove_device(testbed_, sysPath_.c_str());
}

void EmulatedModule::padRepliesTo(int bytes) {
  std::lock_guard lock(mutex_);
  padTo_ = bytes;
}

void EmulatedModule::stallNext(uint8_t endpoint) {
  std::lock_guard lock(mutex_);
  stall_[endpoint] = true;
}

int EmulatedModule::interfaceClaims() const {
  std::lock_guard lock(mutex_);
  return claims_;
}

gboolean EmulatedModule::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  return static_cast<EmulatedModule*>(self)->handle(client);
}

// Moves an IN request's answer into it: the waiting reply, cut at the request's length with the
// overflow status a real host controller gives when a device sends more than asked.
void EmulatedModule::complete(UMockdevIoctlData* data) {
  auto* urb = reinterpret_cast<usbdevfs_urb*>(data->data);
  const int length = static_cast<int>(reply_.size());
  urb->actual_length = std::min(length, urb->buffer_length);
  std::memcpy(urb->buffer, reply_.data(), static_cast<size_t>(urb->actual_length));
  urb->status = length > urb->buffer_length ? -EOVERFLOW : 0;
  reply_.clear();
  completed_.push_back(data);
}

bool EmulatedModule::handle(UMockdevIoctlClient* client) {
  const gulong request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  std::lock_guard lock(mutex_);
  if (!attached_ && request != USBDEVFS_REAPURBNDELAY && request != USBDEVFS_REAPURB) {
    umockdev_ioctl_client_complete(client, -1, ENODEV);
    return true;
  }
  switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
      UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
      *reinterpret_cast<uint32_t*>(caps->data) =
          USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
      umockdev_ioctl_client_complete(client, 0, 0);
      g_object_unref(caps);
      return true;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM:
      ++claims_;
      umockdev_ioctl_client_complete(client, 0, 0);
      return true;
    case USBDEVFS_CLEAR_HALT: {
      UMockdevIoctlData* ep = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned int), nullptr);
      halted_[static_cast<uint8_t>(*reinterpret_cast<unsigned int*>(ep->data))] = false;
      g_object_unref(ep);
      umockdev_ioctl_client_complete(client, 0, 0);
      return true;
    }
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_RESETEP:
      umockdev_ioctl_client_complete(client, 0, 0);
      return true;
    case USBDEVFS_GETDRIVER:
      umockdev_ioctl_client_complete(client, -1, ENODATA);
      return true;
    case USBDEVFS_SUBMITURB: {
      UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
      auto* urb = reinterpret_cast<usbdevfs_urb*>(data->data);
      UMockdevIoctlData* buffer =
          umockdev_ioctl_data_resolve(data, G_STRUCT_OFFSET(usbdevfs_urb, buffer),
                                      static_cast<gsize>(urb->buffer_length), nullptr);
      g_object_unref(buffer);
      if (stall_[urb->endpoint]) halted_[urb->endpoint] = true;
      stall_[urb->endpoint] = false;
      if (halted_[urb->endpoint]) {
        urb->status = -EPIPE;
        urb->actual_length = 0;
        completed_.push_back(data);
      } else if ((urb->endpoint & 0x80) == 0) {
        const auto* bytes = static_cast<const uint8_t*>(urb->buffer);
        reply_ = firmware_.answer(std::vector<uint8_t>(bytes, bytes + urb->buffer_length),
                                  mpusbsim::Clock::now(), false);
        if (!reply_.empty() && static_cast<int>(reply_.size()) < padTo_) reply_.resize(padTo_);
        urb->actual_length = urb->buffer_length;
        urb->status = 0;
        completed_.push_back(data);
        const auto waiting = std::find_if(waiting_.begin(), waiting_.end(), [](auto* d) {
          return reinterpret_cast<usbdevfs_urb*>(d->data)->endpoint == 0x81;
        });
        if (waiting != waiting_.end() && !reply_.empty()) {
          complete(*waiting);
          waiting_.erase(waiting);
        }
      } else if (urb->endpoint == 0x81 && !reply_.empty()) {
        complete(data);
      } else {
        waiting_.push_back(data);
      }
      umockdev_ioctl_client_complete(client, 0, 0);
      return true;
    }
    case USBDEVFS_DISCARDURB: {
      const auto address = reinterpret_cast<gulong>(*reinterpret_cast<void**>(arg->data));
      const auto it = std::find_if(waiting_.begin(), waiting_.end(),
                                   [&](UMockdevIoctlData* d) { return d->client_addr == address; });
      if (it == waiting_.end()) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return true;
      }
      reinterpret_cast<usbdevfs_urb*>((*it)->data)->status = -ENOENT;
      completed_.push_back(*it);
      waiting_.erase(it);
      umockdev_ioctl_client_complete(client, 0, 0);
      return true;
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
      if (completed_.empty()) {
        umockdev_ioctl_client_complete(client, -1, attached_ ? EAGAIN : ENODEV);
        return true;
      }
      UMockdevIoctlData* data = completed_.front();
      completed_.pop_front();
      UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
      umockdev_ioctl_data_set_ptr(pointer, 0, data);
      umockdev_ioctl_client_complete(client, 0, 0);
      g_object_unref(pointer);
      g_object_unref(data);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace mpusb
