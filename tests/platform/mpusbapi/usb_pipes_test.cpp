// What the emulated modules cannot show: a refused open (the tests run as root) and the
// time-outs that reach the USB stack.

#include <gtest/gtest.h>
#include <libusb.h>

#include "platform/mpusbapi/usb/usb_pipes.h"

namespace mpusb {
namespace {

struct FakeModule {
  int openError = 0;
  std::vector<unsigned int> timeouts;
};

class FakeLink final : public UsbLink {
 public:
  explicit FakeLink(FakeModule& m) : m_(m) {}
  int claimInterface(int) override { return 0; }
  void releaseInterface(int) override {}
  int clearHalt(uint8_t) override { return 0; }
  int transfer(uint8_t, uint8_t, unsigned char*, int length, int* transferred,
               unsigned int timeoutMs) override {
    m_.timeouts.push_back(timeoutMs);
    *transferred = length;
    return 0;
  }

 private:
  FakeModule& m_;
};

class FakeBus final : public UsbBus {
 public:
  explicit FakeBus(FakeModule& m) : m_(m) {}
  std::vector<AttachedDevice> attached() override { return {{1, {0x04D8, 0xFFE9}, {3, {1}}}}; }
  std::optional<EndpointInfo> findEndpoint(DeviceId, uint8_t) override {
    return EndpointInfo{0, LIBUSB_TRANSFER_TYPE_BULK, 64};
  }
  std::unique_ptr<UsbLink> open(DeviceId, int* error) override {
    *error = m_.openError;
    return *error == 0 ? std::make_unique<FakeLink>(m_) : nullptr;
  }

 private:
  FakeModule& m_;
};

constexpr char kIds[] = "vid_04d8&pid_ffe9";

TEST(UsbPipesTest, RefusedAccessIsToldOnceAndAFixedModuleOpens) {
  FakeModule module{LIBUSB_ERROR_ACCESS, {}};
  UsbPipes pipes(std::make_unique<FakeBus>(module));
  testing::internal::CaptureStderr();
  EXPECT_EQ(pipes.open(0, kIds, "\\MCHP_EP1", MPUSB_WRITE), MPUSB_INVALID_HANDLE);
  EXPECT_EQ(pipes.open(0, kIds, "\\MCHP_EP1", MPUSB_READ), MPUSB_INVALID_HANDLE);
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find("access to the USB module on bus 3 was denied"), std::string::npos);
  EXPECT_EQ(told.find("denied"), told.rfind("denied")) << told;
  module.openError = 0;
  EXPECT_NE(pipes.open(0, kIds, "\\MCHP_EP1", MPUSB_WRITE), MPUSB_INVALID_HANDLE);
}

TEST(UsbPipesTest, ZeroMeansDoNotWaitAndBelowZeroNoLimit) {
  FakeModule module;
  UsbPipes pipes(std::make_unique<FakeBus>(module));
  const int32_t out = pipes.open(0, kIds, "\\MCHP_EP1", MPUSB_WRITE);
  for (const int32_t timeout : {0, -1, -5000, 1, 250}) pipes.write(out, "x", 1, nullptr, timeout);
  EXPECT_EQ(module.timeouts, (std::vector<unsigned int>{1, 0, 0, 1, 250}));
}

}  // namespace
}  // namespace mpusb
