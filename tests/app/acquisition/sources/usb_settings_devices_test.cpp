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

TEST(UsbSettingsDevicesTest, OpensConfiguresAndReleasesWithinTheCall) {
  struct Case {
    int16_t model;
    bool pointsElevenAndTwelve;
  };
  for (const Case& c : {Case{7, false}, Case{9, false}, Case{13, true}}) {
    SCOPED_TRACE(c.model);
    auto system = zdaq::SimulatedSystem::create(false);
    auto device = system->addDevice("/dev/zdaq0", "ZDaq DAQ-20");
    UsbSettingsDevices devices(system->makeBackend());
    EXPECT_EQ(devices.openUsbDevice(c.model), std::nullopt);
    EXPECT_FALSE(device->opened()) << "the monitor window opens the device itself";
    std::vector<std::pair<int32_t, int32_t>> configured;  // point, configuration
    for (const auto& r : device->records()) {
      if (r.code != ZDAQ_CTL_SET_POINT_CONFIGURATION || r.input.size() != 8) continue;
      int32_t field[2] = {};
      std::memcpy(field, r.input.data(), sizeof field);
      configured.emplace_back(field[0], field[1]);
    }
    std::vector<std::pair<int32_t, int32_t>> expected = {{9, 0x40000002}, {10, 0x40000002}};
    if (c.pointsElevenAndTwelve)
      expected.insert(expected.end(), {{11, 0x40000002}, {12, 0x40000002}});
    EXPECT_EQ(configured, expected);
  }
}

TEST(UsbSettingsDevicesTest, NoDeviceIsNoErrorAndAFailureGivesTheErrorBox) {
  auto system = zdaq::SimulatedSystem::create(false);
  UsbSettingsDevices devices(system->makeBackend());
  EXPECT_EQ(devices.openUsbDevice(7), std::nullopt);

  system->addDevice("/dev/zdaq0", "ZDaq DAQ-20");
  auto holder = zdaq::CreateObjectAs<zdaq::ZzDaqEnum>("ZDaq.ZzDaqEnum", system->makeBackend());
  holder->Devices()->Item(int32_t{1})->Open();
  const auto error = devices.openUsbDevice(7);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number, 0x80070010u);
  EXPECT_EQ(error->description, "Device or resource busy");
  const Alert box = DeviceErrorAlert(*error, "Form_Load");
  EXPECT_EQ(box.text, "Error 80070010\r\nDevice or resource busy\r\nForm_Load");
  EXPECT_EQ(box.icon, AlertIcon::Critical);
}

}  // namespace
}  // namespace tidemet
