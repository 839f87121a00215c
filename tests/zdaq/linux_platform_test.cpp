// The Linux driver and udev discovery against what any machine has: no ZDaq device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/src/linux_driver.h"
#include "zdaq/src/udev_discovery.h"

namespace zdaq::testing {
namespace {

std::shared_ptr<ZzDaqDevice> LinuxDevice(const std::string& path) {
  auto device = ZzDaqDevice::create();  // the Linux driver
  device->SetInterface(path);
  device->SetName("test");
  return device;
}

TEST(LinuxDriverTest, SystemErrorsCarryTheSystemText) {
  EXPECT_ZDAQ_ERROR(LinuxDevice("/nonexistent/zdaq0")->Open(), 0x80070002,
                    "No such file or directory", "IZzDaqDevice");
  // A node that is not the driver's refuses the control.
  auto null = LinuxDevice("/dev/null");
  null->Open();
  EXPECT_ZDAQ_ERROR(null->IoPoints()->Item(int32_t{9})->Value(), 0x80070019,
                    "Inappropriate ioctl for device", "IZzIoPoint");
  null->IoPoints()->Item(int32_t{9})->SamplingEnabled(1);
  EXPECT_ZDAQ_ERROR(null->StartSampling(), 0x80070019, "Inappropriate ioctl for device",
                    "IZzDaqDevice");
  null->Close();
}

TEST(LinuxDriverTest, OpensWithoutSharing) {
  const auto path =
      std::filesystem::temp_directory_path() / ("zdaq_exclusive_" + std::to_string(getpid()));
  std::ofstream(path).put('x');
  auto first = LinuxDevice(path);
  auto second = LinuxDevice(path);
  first->Open();
  EXPECT_ZDAQ_ERROR(second->Open(), 0x8007000B, "Resource temporarily unavailable", "IZzDaqDevice");
  first->Close();
  second->Open();
  second->Close();
  std::filesystem::remove(path);
}

TEST(UdevDiscoveryTest, FindsNoDeviceOfTheClassHere) {
  UdevDiscovery discovery;
  for (const auto& info : discovery.enumerate()) {
    // Only a machine with the driver lists anything, and then with a node.
    EXPECT_FALSE(info.path.empty());
  }
  EXPECT_TRUE(discovery.takeEvents().empty());
  // The enumerator over the system back-end works with or without hot-plug notification.
  ZzDaqEnum e;
  EXPECT_GE(e.Devices()->Count(), 0);
}

}  // namespace
}  // namespace zdaq::testing
