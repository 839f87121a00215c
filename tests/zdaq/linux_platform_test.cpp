// The Linux driver and udev discovery against what any machine has: no ZDaq device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/src/linux_driver.h"
#include "zdaq/src/udev_discovery.h"

namespace zdaq::testing {
namespace {

std::shared_ptr<ZzDaqDevice> LinuxDevice(const std::string& path) {
  auto device = ZzDaqDevice::create();  // the Linux driver
  DeviceInternals::setIdentity(*device, path, "test");
  return device;
}

TEST(LinuxDriverTest, SystemErrorsCarryTheSystemTextAndNodesOpenWithoutSharing) {
  EXPECT_ZDAQ_ERROR(LinuxDevice("/nonexistent/zdaq0")->Open(), 0x80070002,
                    "No such file or directory", "IZzDaqDevice");
  // A file of this test's own stands where a device node would: it opens, and refuses every
  // control as a node of another driver would.
  const std::string node = ::testing::TempDir() + "zdaq_node_" + std::to_string(getpid());
  std::ofstream(node).put('x');
  auto device = LinuxDevice(node);
  auto second = LinuxDevice(node);
  device->Open();
  EXPECT_ZDAQ_ERROR(second->Open(), 0x8007000B, "Resource temporarily unavailable", "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->IoPoints()->Item(int32_t{9})->Value(), 0x80070019,
                    "Inappropriate ioctl for device", "IZzIoPoint");
  device->IoPoints()->Item(int32_t{9})->SamplingEnabled(1);
  EXPECT_ZDAQ_ERROR(device->StartSampling(), 0x80070019, "Inappropriate ioctl for device",
                    "IZzDaqDevice");
  EXPECT_EQ(device->SamplingEnabled(), 0);
  device->Close();
  second->Open();
  second->Close();
  std::remove(node.c_str());
}

TEST(UdevDiscoveryTest, FindsNoDeviceOfTheClassHere) {
  UdevDiscovery discovery;
  int32_t usable = 0;
  for (const auto& info : discovery.enumerate())
    if (!info.path.empty() && !info.name.empty()) ++usable;
  EXPECT_TRUE(discovery.takeEvents().empty());
  // The enumerator over the system back-end lists exactly the devices with a node and a name,
  // with or without hot-plug notification.
  ZzDaqEnum e;
  EXPECT_EQ(e.Devices()->Count(), usable);
}

}  // namespace
}  // namespace zdaq::testing
