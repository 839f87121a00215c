#pragma once
// The bus of real U3s, reached through libusb-1.0: vendor 0x0CD5, product 0x0003, commands on the
// first bulk OUT endpoint of interface 0 and replies on its lowest-numbered bulk IN endpoint
// (the higher one carries stream data, which this layer does not use).

#include <memory>

#include "platform/labjackud/usb/transport.h"

namespace labjack {

inline constexpr uint16_t kLabJackVendor = 0x0CD5;
inline constexpr uint16_t kU3Product = 0x0003;

// A libusb context of its own, made on first use and kept while the bus lives.
std::unique_ptr<Bus> MakeLibusbBus();

}  // namespace labjack
