// The pipe table against modules that are plugged, replugged, stalled and refused on demand.

#include <gtest/gtest.h>

#include "platform/mpusbapi/usb/usb_pipes.h"
#include "tests/platform/mpusbapi/fake_usb_bus.h"

namespace mpusb {
namespace {

constexpr char kIds[] = "vid_04d8&pid_ffe9";

class UsbPipesTest : public testing::Test {
 protected:
  UsbPipesTest() {
    auto bus = std::make_unique<FakeUsbBus>();
    bus_ = bus.get();
    pipes_ = std::make_unique<UsbPipes>(std::move(bus));
  }
  int32_t open(int32_t instance, int32_t direction, const char* pipe = "\\MCHP_EP1") {
    return pipes_->open(instance, kIds, pipe, direction);
  }
  // Sends one byte on instance's command pipe and tells which module got it (0: none).
  DeviceId reached(int32_t instance) {
    const int32_t handle = open(instance, MPUSB_WRITE);
    const uint8_t byte = 0x38;
    const bool sent = pipes_->write(handle, &byte, 1, nullptr, 1000) == 1;
    pipes_->close(handle);
    if (!sent) return 0;
    for (DeviceId id = 1;; ++id)
      if (!bus_->module(id).written.empty()) return bus_->module(id).written.clear(), id;
  }
  FakeUsbBus* bus_;
  std::unique_ptr<UsbPipes> pipes_;
};

TEST_F(UsbPipesTest, RepliesLongerThanAskedAreCountedNotOverrun) {
  struct Case {
    size_t replySize;
    int32_t asked;
    int32_t ok, received;
  };
  const Case cases[] = {
      {64, 9, 1, 64}, {9, 9, 1, 9}, {5, 9, 1, 5}, {64, 64, 1, 64}, {18, 3, 1, 18}};
  FakeModule& module = bus_->plug({1, {2}});
  const int32_t handle = open(0, MPUSB_READ);
  for (const Case& c : cases) {
    std::vector<uint8_t> reply(c.replySize);
    for (size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(0x10 + i);
    module.replies[0x81].push_back(reply);
    std::vector<uint8_t> buffer(static_cast<size_t>(c.asked) + 1, 0xEE);
    int32_t received = -1;
    EXPECT_EQ(pipes_->read(handle, buffer.data(), c.asked, &received, 1000, false), c.ok);
    EXPECT_EQ(received, c.received) << c.replySize << " for " << c.asked;
    const size_t stored = std::min(c.replySize, static_cast<size_t>(c.asked));
    EXPECT_EQ(buffer[0], 0x10);
    EXPECT_EQ(buffer[stored - 1], 0x10 + stored - 1);
    EXPECT_EQ(buffer[static_cast<size_t>(c.asked)], 0xEE) << "stored beyond what was asked";
  }
}

TEST_F(UsbPipesTest, InstancesStayWithTheirModuleWhileAttached) {
  const DeviceId a = bus_->plug({1, {3}}).device.id;
  const DeviceId b = bus_->plug({1, {1, 4}}).device.id;
  EXPECT_EQ(pipes_->count(kIds), 2);
  EXPECT_EQ(reached(0), b);  // first seen in port order
  EXPECT_EQ(reached(1), a);
  const DeviceId c = bus_->plug({1, {1}}).device.id;  // a port that sorts before both
  EXPECT_EQ(pipes_->count(kIds), 3);
  EXPECT_EQ(reached(0), b);
  EXPECT_EQ(reached(1), a);
  EXPECT_EQ(reached(2), c);
  bus_->module(b).attached = false;
  EXPECT_EQ(pipes_->count(kIds), 2);
  EXPECT_EQ(reached(0), 0u);
  EXPECT_EQ(reached(1), a);
  const DeviceId d = bus_->plug({2, {1}}).device.id;  // takes the free instance
  EXPECT_EQ(reached(0), d);
  EXPECT_EQ(reached(2), c);
}

TEST_F(UsbPipesTest, ModuleReplugedIntoTheSamePortGetsAFreshDevice) {
  const DeviceId first = bus_->plug({1, {2}}).device.id;
  const int32_t stale = open(0, MPUSB_READ);  // keeps the first module's device open
  bus_->module(first).attached = false;
  const DeviceId second = bus_->plug({1, {2}}).device.id;
  EXPECT_EQ(reached(0), second);
  EXPECT_EQ(pipes_->read(stale, nullptr, 0, nullptr, 10, false), 0);
  EXPECT_EQ(bus_->module(second).claimed, std::set<int>{});  // released after its pipe closed
}

TEST_F(UsbPipesTest, StallsAreClearedAndTheTransferTriedOnceMore) {
  struct Case {
    uint8_t endpoint;
    int stalls;
    int32_t ok;
    int clears;  // one for each endpoint when first opened, one for each stall
  };
  const Case cases[] = {
      {0x81, 0, 1, 2}, {0x81, 1, 1, 3}, {0x81, 2, 0, 4}, {0x01, 1, 1, 3}, {0x01, 2, 0, 4}};
  for (const Case& c : cases) {
    FakeModule& module = bus_->plug({1, {2}});
    module.halted.insert(0x81);  // left halted by an earlier program
    module.respond = [](const auto&) { return std::vector<uint8_t>{0x38, 1}; };
    const int32_t out = open(0, MPUSB_WRITE), in = open(0, MPUSB_READ);
    module.stalls[c.endpoint] = c.stalls;
    uint8_t reply[2] = {};
    int32_t received = 0;
    const int32_t ok = pipes_->write(out, reply, 1, nullptr, 1000) &
                       pipes_->read(in, reply, 2, &received, 1000, false);
    EXPECT_EQ(ok, c.ok) << int{c.endpoint} << " stalled " << c.stalls;
    EXPECT_TRUE(module.halted.empty()) << "left halted";
    EXPECT_EQ(module.clears, c.clears);
    if (!ok) {
      EXPECT_EQ(pipes_->write(out, reply, 1, nullptr, 1000) &
                    pipes_->read(in, reply, 2, &received, 1000, false),
                1);
    }
    EXPECT_EQ(received, 2);
    pipes_->close(out), pipes_->close(in);
    module.attached = false;
  }
}

TEST_F(UsbPipesTest, OnlyBulkAndInterruptEndpointsOpenAndTimeoutsStayBounded) {
  FakeModule& module = bus_->plug({1, {2}});
  module.endpoints[0x83] = {0, LIBUSB_TRANSFER_TYPE_ISOCHRONOUS, 64};
  module.endpoints[0x84] = {0, LIBUSB_TRANSFER_TYPE_CONTROL, 64};
  module.endpoints[0x85] = {0, LIBUSB_TRANSFER_TYPE_INTERRUPT, 64};
  EXPECT_EQ(open(0, MPUSB_READ, "\\MCHP_EP3_ASYNC"), MPUSB_INVALID_HANDLE);
  EXPECT_EQ(open(0, MPUSB_READ, "\\MCHP_EP4_ASYNC"), MPUSB_INVALID_HANDLE);
  EXPECT_EQ(open(0, MPUSB_READ, "\\MCHP_EP6_ASYNC"), MPUSB_INVALID_HANDLE);
  EXPECT_NE(open(0, MPUSB_READ, "\\MCHP_EP5_ASYNC"), MPUSB_INVALID_HANDLE);
  const int32_t out = open(0, MPUSB_WRITE);
  for (const int32_t timeout : {0, -1, -5000, 1, 250}) pipes_->write(out, "x", 1, nullptr, timeout);
  EXPECT_EQ(module.timeouts, (std::vector<unsigned int>{1, 0, 0, 1, 250}));
}

TEST_F(UsbPipesTest, RefusedAccessIsToldOnceAndAFixedModuleOpens) {
  FakeModule& module = bus_->plug({3, {1}});
  module.openError = LIBUSB_ERROR_ACCESS;
  testing::internal::CaptureStderr();
  EXPECT_EQ(open(0, MPUSB_WRITE), MPUSB_INVALID_HANDLE);
  EXPECT_EQ(open(0, MPUSB_READ), MPUSB_INVALID_HANDLE);
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find("access to the USB module on bus 3 was denied"), std::string::npos);
  EXPECT_EQ(told.find("denied"), told.rfind("denied")) << told;
  module.openError = 0;
  EXPECT_EQ(reached(0), module.device.id);
}

TEST_F(UsbPipesTest, UnplugMidCommandFailsThePipeAndTheReturnedModuleOpensAgain) {
  FakeModule& module = bus_->plug({1, {2}});
  const int32_t out = open(0, MPUSB_WRITE), in = open(0, MPUSB_READ);
  EXPECT_EQ(pipes_->write(out, "8", 1, nullptr, 1000), 1);
  module.written.clear();
  module.attached = false;
  uint8_t reply[4];
  int32_t received = -1;
  EXPECT_EQ(pipes_->read(in, reply, 4, &received, 1000, true), 0);
  EXPECT_EQ(received, 0);
  EXPECT_EQ(pipes_->count(kIds), 0);
  EXPECT_EQ(open(0, MPUSB_READ), MPUSB_INVALID_HANDLE);
  pipes_->close(out), pipes_->close(in);
  const DeviceId back = bus_->plug({1, {2}}).device.id;
  EXPECT_EQ(reached(0), back);
}

}  // namespace
}  // namespace mpusb
