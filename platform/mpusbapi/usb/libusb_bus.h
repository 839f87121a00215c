#pragma once
// The USB stack as libusb-1.0 sees it.

#include <memory>

#include "platform/mpusbapi/usb/usb_bus.h"

namespace mpusb {

// A bus over its own libusb context; with no context (libusb_init failed) nothing is attached.
std::unique_ptr<UsbBus> makeLibusbBus();

}  // namespace mpusb
