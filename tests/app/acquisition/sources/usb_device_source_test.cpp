// The USB device source, and the settings window's opening of the device, against the simulated
// device through the real libzdaq. What the tick makes of the readings and failures is the
// sampling loop's own test.
#include "app/acquisition/sources/usb_device_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/acquisition/sources/source_factory.h"
#include "app/acquisition/sources/usb_settings_devices.h"
#include "zdaq/driver_abi.h"
#include "zdaq/simulated.h"

namespace tidemet {
namespace {

constexpr const char* kPath = "/dev/zdaq0";

// The point IDs of the driver requests with this code, in order.
std::vector<int32_t> PointsOf(const zdaq::SimulatedDevice& device, uint32_t code) {
  std::vector<int32_t> ids;
  for (const auto& r : device.records())
    if (r.code == code && r.input.size() >= 4) ids.push_back(static_cast<int32_t>(r.input[0]));
  return ids;
}

// Model 13 on four channels, which reads points 9-12, is the source contract's case.
TEST(UsbDeviceSourceTest, OpensAndReadsThePointsOfEachModel) {
  struct Case {
    int16_t model;
    int16_t channels;
    std::vector<int32_t> configured;  // points set to the analog input configuration
    std::vector<int32_t> read;
  };
  const Case cases[] = {
      {7, 2, {9, 10}, {9, 10}},
      {9, 2, {9, 10}, {}},  // opened, never read
      {13, 2, {9, 10, 11, 12}, {9, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    auto system = zdaq::SimulatedSystem::create(/*automatic=*/false);
    auto device = system->addDevice(kPath, "ZDaq DAQ-20");
    DeviceMessages messages;
    UsbDeviceSource source(c.model, c.channels, messages, system->makeBackend());
    EXPECT_TRUE(device->opened());
    EXPECT_EQ(PointsOf(*device, ZDAQ_CTL_SET_POINT_CONFIGURATION), c.configured);
    for (int32_t id : c.configured) EXPECT_EQ(device->pointConfiguration(id), 0x40000002) << id;
    device->clearRecords();
    ReadingSet r;
    source.takeReadings(r);
    EXPECT_EQ(PointsOf(*device, ZDAQ_CTL_GET_POINT_VALUE), c.read);
    EXPECT_EQ(r.present, (1u << c.read.size()) - 1);
    EXPECT_TRUE(messages.take().empty());
  }
}

// Another program holds the device: the driver refuses a second opener, which the settings
// window hands back and the source posts as the load error box.
TEST(UsbDeviceSourceTest, ABusyDeviceIsRefusedWithTheLoadErrorBox) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/false);
  system->addDevice(kPath, "ZDaq DAQ-20");
  auto holder = zdaq::CreateObjectAs<zdaq::ZzDaqEnum>("ZDaq.ZzDaqEnum", system->makeBackend());
  holder->Devices()->Item(int32_t{1})->Open();
  const auto error = UsbSettingsDevices(system->makeBackend()).openUsbDevice(7);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number, 0x80070010u);
  DeviceMessages messages;
  UsbDeviceSource source(7, 2, messages, system->makeBackend());
  const auto shown = messages.take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "Tidemet");
  EXPECT_EQ(shown[0].text, "Error 80070010\r\nDevice or resource busy\r\nForm_Load");
  EXPECT_EQ(shown[0].icon, AlertIcon::Critical);
  ReadingSet r;
  source.takeReadings(r);
  EXPECT_EQ(r.present, 0u);
}

// No device at the opening: every read fails and says why. A device that fails a read is the
// source contract's case.
TEST(UsbDeviceSourceTest, ReadsWithoutADeviceFail) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/false);
  DeviceMessages messages;
  UsbDeviceSource none(7, 2, messages, system->makeBackend());
  EXPECT_TRUE(messages.take().empty());
  ReadingSet r;
  none.takeReadings(r);
  EXPECT_EQ(r.present, 0u);
  EXPECT_EQ(r.failed, 0x3u);
  EXPECT_STREQ(r.errorText.data(), "No USB data acquisition device was found.");
}

TEST(UsbSourceFactoryTest, TheUsbModelsHaveASourceAndTheirNeighboursNone) {
  VirtualClock clock;
  DeviceMessages messages;
  const std::pair<int16_t, bool> cases[] = {{6, false},  {7, true},   {9, true},  {15, true},
                                            {16, false}, {17, false}, {18, true}, {21, true}};
  for (const auto& [model, usb] : cases) {
    SourceSettings settings;
    settings.ModelCode = model;
    EXPECT_EQ(static_cast<bool>(MakeSourceFactory(settings, clock, messages)), usb) << model;
  }
}

// The settings window's opening: which points each model configures is the table above, run by
// the same code; a busy device, the test above.
TEST(UsbSettingsDevicesTest, OpensAndReleasesWithinTheCall) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/false);
  UsbSettingsDevices devices(system->makeBackend());
  EXPECT_EQ(devices.openUsbDevice(7), std::nullopt);  // no device is no error

  auto device = system->addDevice(kPath, "ZDaq DAQ-20");
  EXPECT_EQ(devices.openUsbDevice(13), std::nullopt);
  EXPECT_FALSE(device->records().empty());  // it was opened and set up
  EXPECT_FALSE(device->opened()) << "the monitor window opens the device itself";
}

}  // namespace
}  // namespace tidemet
