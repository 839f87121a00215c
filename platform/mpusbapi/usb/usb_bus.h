#pragma once
// What the pipe table needs from the USB stack: the devices attached now, their endpoints, and
// transfers on an opened device. libusb_bus.cpp answers it with libusb-1.0; tests answer it with
// modules of their own, so that replugs, stalls and refusals happen on demand.
// Results are libusb error codes (0 or LIBUSB_ERROR_*), whoever answers.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/mpusbapi/usb/usb_names.h"

namespace mpusb {

// One attachment of one device: a module that is unplugged and plugged in again, into the same
// port or another, comes back under a new id. Ids are never reused within a process; 0 is none.
using DeviceId = uint64_t;

struct AttachedDevice {
  DeviceId id = 0;
  VidPid ids;
  DeviceLocation location;
};

struct EndpointInfo {
  int interfaceNumber = -1;
  uint8_t type = 0;  // LIBUSB_TRANSFER_TYPE_*
  uint16_t maxPacketSize = 0;
};

// One opened device. Destroying it closes the device.
class UsbLink {
 public:
  virtual ~UsbLink() = default;
  // Claims the interface and selects its setting 0.
  virtual int claimInterface(int interfaceNumber) = 0;
  virtual void releaseInterface(int interfaceNumber) = 0;
  virtual int clearHalt(uint8_t endpoint) = 0;
  // Bulk or interrupt transfer as `type` says; `transferred` also counts bytes moved before a
  // time-out. `timeoutMs` is above 0.
  virtual int transfer(uint8_t endpoint, uint8_t type, unsigned char* data, int length,
                       int* transferred, unsigned int timeoutMs) = 0;
};

class UsbBus {
 public:
  virtual ~UsbBus() = default;
  virtual std::vector<AttachedDevice> attached() = 0;
  // Endpoint `address` in setting 0 of the interfaces of the device's active configuration;
  // claiming an interface selects that setting.
  virtual std::optional<EndpointInfo> findEndpoint(DeviceId device, uint8_t address) = 0;
  // The opened device, or nullptr with `error` set.
  virtual std::unique_ptr<UsbLink> open(DeviceId device, int* error) = 0;
};

}  // namespace mpusb
