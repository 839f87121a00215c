// The settings window's opening of the USB device, against the simulated device.
#include "app/acquisition/sources/usb_settings_devices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "zdaq/device.h"
#include "zdaq/driver_abi.h"
#include "zdaq/simulated.h"

namespace tidemet {
namespace {

// Which points each model configures is the USB device source's test; the box a failure shows,
// too.
TEST(UsbSettingsDevicesTest, OpensConfiguresAndReleasesWithinTheCall) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/false);
  UsbSettingsDevices devices(system->makeBackend());
  EXPECT_EQ(devices.openUsbDevice(7), std::nullopt);  // no device is no error

  auto device = system->addDevice("/dev/zdaq0", "ZDaq DAQ-20");
  EXPECT_EQ(devices.openUsbDevice(13), std::nullopt);
  EXPECT_FALSE(device->opened()) << "the monitor window opens the device itself";
  std::vector<std::pair<int32_t, int32_t>> configured;  // point, configuration
  for (const auto& r : device->records()) {
    int32_t field[2] = {};
    if (r.code == ZDAQ_CTL_SET_POINT_CONFIGURATION && r.input.size() == sizeof field) {
      std::memcpy(field, r.input.data(), sizeof field);
      configured.emplace_back(field[0], field[1]);
    }
  }
  const std::vector<std::pair<int32_t, int32_t>> expected = {
      {9, 0x40000002}, {10, 0x40000002}, {11, 0x40000002}, {12, 0x40000002}};
  EXPECT_EQ(configured, expected);

  // Another program holds the device.
  auto holder = zdaq::CreateObjectAs<zdaq::ZzDaqEnum>("ZDaq.ZzDaqEnum", system->makeBackend());
  holder->Devices()->Item(int32_t{1})->Open();
  const auto error = devices.openUsbDevice(7);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number, 0x80070010u);
}

}  // namespace
}  // namespace tidemet
