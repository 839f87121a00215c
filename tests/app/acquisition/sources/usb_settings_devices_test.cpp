// The settings window's opening of the USB device, against the simulated device.
#include "app/acquisition/sources/usb_settings_devices.h"

#include <gtest/gtest.h>

#include "zdaq/device.h"
#include "zdaq/simulated.h"

namespace tidemet {
namespace {

// Which points each model configures is the USB device source's test (the same code sets them
// up), and so is the box a failure shows.
TEST(UsbSettingsDevicesTest, OpensAndReleasesWithinTheCall) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/false);
  UsbSettingsDevices devices(system->makeBackend());
  EXPECT_EQ(devices.openUsbDevice(7), std::nullopt);  // no device is no error

  auto device = system->addDevice("/dev/zdaq0", "ZDaq DAQ-20");
  EXPECT_EQ(devices.openUsbDevice(13), std::nullopt);
  EXPECT_FALSE(device->records().empty());  // it was opened and set up
  EXPECT_FALSE(device->opened()) << "the monitor window opens the device itself";

  // Another program holds the device.
  auto holder = zdaq::CreateObjectAs<zdaq::ZzDaqEnum>("ZDaq.ZzDaqEnum", system->makeBackend());
  holder->Devices()->Item(int32_t{1})->Open();
  const auto error = devices.openUsbDevice(7);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number, 0x80070010u);
}

}  // namespace
}  // namespace tidemet
