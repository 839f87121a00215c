// The libusb pipe layer's text parsing and device order, without hardware.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "platform/mpusbapi/usb/usb_names.h"

namespace mpusb {
namespace {

TEST(UsbNamesTest, VidPidText) {
  struct Case {
    const char* text;
    std::optional<VidPid> expected;
  };
  const Case cases[] = {
      {"vid_04d8&pid_ffe9", VidPid{0x04D8, 0xFFE9}}, {"vid_04d8&pid_FFE9", VidPid{0x04D8, 0xFFE9}},
      {"VID_04D8&PID_8887", VidPid{0x04D8, 0x8887}}, {"vid_04d8&pid_ffe", std::nullopt},
      {"vid_04d8&pid_ffe9x", std::nullopt},          {"vid_04d8_pid_ffe9", std::nullopt},
      {"vid_04g8&pid_ffe9", std::nullopt},           {"pid_ffe9&vid_04d8", std::nullopt},
      {"vid_+4d8&pid_ffe9", std::nullopt},           {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseVidPid(c.text), c.expected) << c.text;
}

TEST(UsbNamesTest, PipeNames) {
  struct Case {
    const char* name;
    int32_t direction;
    std::optional<uint8_t> expected;
  };
  const Case cases[] = {
      {"\\MCHP_EP1", 0, 0x01},
      {"\\MCHP_EP1", 1, 0x81},
      {"\\mchp_ep1", 1, 0x81},
      {"\\MCHP_EP2_ASYNC", 1, 0x82},
      {"\\MCHP_EP5_ASYNC", 1, 0x85},
      {"\\MCHP_EP15", 0, 0x0F},
      {"\\MCHP_EP5_async", 1, 0x85},
      {"\\MCHP_EP1", 2, std::nullopt},
      {"\\MCHP_EP0", 0, std::nullopt},
      {"\\MCHP_EP16", 1, std::nullopt},
      {"\\MCHP_EP01", 1, std::nullopt},
      {"\\MCHP_EP", 1, std::nullopt},
      {"\\MCHP_EP_ASYNC", 1, std::nullopt},
      {"MCHP_EP1", 1, std::nullopt},
      {"\\MCHP_EP1x", 1, std::nullopt},
      {"\\MCHP_EP2_SYNC", 1, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(endpointAddress(c.name, c.direction), c.expected) << c.name << " " << c.direction;
}

TEST(UsbNamesTest, InstancesFollowBusThenPortPath) {
  std::vector<DeviceLocation> devices = {
      {2, {1}}, {1, {3, 2}}, {1, {3}}, {1, {10}}, {1, {3, 1, 4}}, {1, {2, 7}},
  };
  std::sort(devices.begin(), devices.end(), locatedBefore);
  const std::vector<DeviceLocation> expected = {
      {1, {2, 7}}, {1, {3}}, {1, {3, 1, 4}}, {1, {3, 2}}, {1, {10}}, {2, {1}},
  };
  EXPECT_EQ(devices, expected);
  EXPECT_FALSE(locatedBefore({1, {3}}, {1, {3}}));
}

}  // namespace
}  // namespace mpusb
