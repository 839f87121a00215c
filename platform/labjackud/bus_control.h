#pragma once
// For tests, benchmarks and the demo: the UD calls served by the real U3 layer over another bus
// (the packet-level simulated U3 of sim/simulated_u3.h) instead of libusb.

#include "platform/labjackud/labjackud.h"
#include "platform/labjackud/usb/transport.h"
#include "platform/labjackud/usb/ud_driver.h"

namespace labjack {

// From now on the calls reach U3s on `bus`, through a fresh driver with `options` (handles
// handed out before become invalid); null: the real U3s through libusb again. `bus` must outlive
// its use. Call it between uses of the driver, not during one.
LABJACKUD_EXPORT void UseBus(Bus* bus, const DriverOptions& options = {});

}  // namespace labjack
