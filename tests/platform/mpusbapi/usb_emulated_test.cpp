// The libusb pipe library and the module library together, against modules emulated below
// libusb. Runs under umockdev-wrapper.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

#include "platform/mpusbapi/mpusbapi.h"
#include "tests/platform/mpusbapi/emulated_module.h"
#include "vonmod/include/vonmod.h"

namespace mpusb {
namespace {

// One testbed for the process: libusb keeps watching the one it started with.
UMockdevTestbed* testbed() {
  static UMockdevTestbed* bed = [] {
    UMockdevTestbed* created = umockdev_testbed_new();
    EmulatedModule::addRootHub(created);
    return created;
  }();
  return bed;
}

class EmulatedModulesTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* preload = std::getenv("LD_PRELOAD");
    ASSERT_TRUE(preload != nullptr && std::strstr(preload, "umockdev") != nullptr)
        << "run under umockdev-wrapper";
  }
  std::unique_ptr<EmulatedModule> plug(int port, uint8_t serialDigit) {
    return std::make_unique<EmulatedModule>(testbed(), port, nextAddress_++, serialDigit);
  }
  // Hot-plug news reach libusb on its own thread: waits (generous limit) until the pipe library
  // counts `expected` modules, then enumerates them as a program would.
  int32_t enumerate(int32_t expected) {
    waitForCount(expected);
    int32_t count = -1;
    Vonmod_EnumerateDev(0, &count);
    return count;
  }
  void waitForCount(int32_t expected) {
    const auto count = pipeFunction<int32_t (*)(const char*)>("MPUSBGetDeviceCount");
    for (int i = 0; i < 500 && count(kIds) != expected; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // The pipe library that the module library loaded.
  template <typename F>
  static F pipeFunction(const char* name) {
    return reinterpret_cast<F>(dlsym(dlopen("libmpusbapi.so", RTLD_NOW | RTLD_NOLOAD), name));
  }
  static constexpr char kIds[] = "vid_04d8&pid_ffe9";
  // Asks the module at `instance` for its serial number through pipes of its own and gives the
  // reply's second byte (the module's serial digit), or -1 when it could not be asked.
  static int serialDigitAt(int32_t instance, int32_t asked = 9, int32_t* received = nullptr) {
    const auto open = pipeFunction<MPUSBOpenFn>("MPUSBOpen");
    const auto close = pipeFunction<MPUSBCloseFn>("MPUSBClose");
    const int32_t out = open(instance, kIds, "\\MCHP_EP1", MPUSB_WRITE, 0);
    const int32_t in = open(instance, kIds, "\\MCHP_EP1", MPUSB_READ, 0);
    const uint8_t request = 0x02;
    uint8_t reply[64];
    std::fill(std::begin(reply), std::end(reply), 0xEE);
    int32_t sent = 0, got = 0;
    const bool ok = out != -1 && in != -1 &&
                    pipeFunction<MPUSBWriteFn>("MPUSBWrite")(out, &request, 1, &sent, 1000) == 1 &&
                    pipeFunction<MPUSBReadFn>("MPUSBRead")(in, reply, asked, &got, 1000) == 1;
    close(out), close(in);
    if (received != nullptr) *received = got;
    if (ok && reply[asked] != 0xEE) return -2;  // stored beyond what was asked
    return ok ? reply[1] : -1;
  }
  int32_t serialOf(VonmodSession& session) {
    int32_t serial = -1;
    return Vonmod_GetDeviceSerialNo(&session, &serial) == 0 ? serial : -1;
  }
  static inline int nextAddress_ = 2;
};

TEST_F(EmulatedModulesTest, TwoModulesOpenInPortOrderAndAgain) {
  auto right = plug(3, 0x3), left = plug(1, 0x1);
  ASSERT_EQ(enumerate(2), 2);
  for (int round = 0; round < 2; ++round) {
    VonmodSession first{}, second{};
    ASSERT_EQ(Vonmod_OpenDevice(0, 0, &first), 0);
    ASSERT_EQ(Vonmod_OpenDevice(0, 1, &second), 0);
    EXPECT_EQ(serialOf(first), 0x11111111);
    EXPECT_EQ(serialOf(second), 0x33333333);
    Vonmod_ReleaseDevice(&first), Vonmod_ReleaseDevice(&second);
  }
}

TEST_F(EmulatedModulesTest, PaddedRepliesStalledEndpointsAndUnplugMidSession) {
  auto module = plug(2, 0x7);
  ASSERT_EQ(enumerate(1), 1);
  struct Case {
    int padTo;
    uint8_t stall;
    int32_t result;
  };
  // A reply padded to a whole packet is longer than asked (8, which also ends the session); a
  // stall on either pipe is cleared and the command goes through.
  const Case cases[] = {{0, 0, 0}, {64, 0, 8}, {0, 0x81, 0}, {0, 0x01, 0}, {0, 0, 0}};
  for (const Case& c : cases) {
    VonmodSession session{};
    ASSERT_EQ(Vonmod_OpenDevice(0, 0, &session), 0);
    module->padRepliesTo(c.padTo);
    if (c.stall != 0) module->stallNext(c.stall);
    int32_t serial = 0;
    EXPECT_EQ(Vonmod_GetDeviceSerialNo(&session, &serial), c.result)
        << c.padTo << " " << int{c.stall};
    Vonmod_ReleaseDevice(&session);
  }
  module->padRepliesTo(64);
  int32_t received = 0;
  EXPECT_EQ(serialDigitAt(0, 9, &received), 0x7);
  EXPECT_EQ(received, 64);
  module->padRepliesTo(0);
  VonmodSession session{};
  ASSERT_EQ(Vonmod_OpenDevice(0, 0, &session), 0);
  module->unplug();
  int32_t serial = 0;
  EXPECT_NE(Vonmod_GetDeviceSerialNo(&session, &serial), 0);
  Vonmod_ReleaseDevice(&session);
  EXPECT_EQ(enumerate(0), 0);
}

TEST_F(EmulatedModulesTest, ReplugIntoTheSamePortReachesTheNewModule) {
  auto old = plug(4, 0x4);
  ASSERT_EQ(enumerate(1), 1);
  // A stream pipe left open, as a failed stream start leaves it, outlives the module.
  const int32_t stale = pipeFunction<MPUSBOpenFn>("MPUSBOpen")(0, kIds, "\\MCHP_EP2_ASYNC", 1, 0);
  ASSERT_NE(stale, -1);
  old->unplug();
  waitForCount(0);
  auto replacement = plug(4, 0x5);
  ASSERT_EQ(enumerate(1), 1);
  VonmodSession fresh{};
  ASSERT_EQ(Vonmod_OpenDevice(0, 0, &fresh), 0);
  EXPECT_EQ(serialOf(fresh), 0x55555555);
  Vonmod_ReleaseDevice(&fresh);
  pipeFunction<MPUSBCloseFn>("MPUSBClose")(stale);
}

TEST_F(EmulatedModulesTest, ModulePluggedInDuringAStreamLeavesItsPipesAlone) {
  auto streaming = plug(5, 0x6);
  ASSERT_EQ(enumerate(1), 1);
  VonmodSession session{};
  ASSERT_EQ(Vonmod_OpenDevice(0, 0, &session), 0);
  auto newcomer = plug(1, 0x2);  // its port sorts first
  waitForCount(2);
  int32_t actual = 0;
  EXPECT_EQ(Vonmod_AIStartStream(&session, 0, 2, 0, 1000, &actual, 0), 0);
  EXPECT_EQ(newcomer->interfaceClaims(), 0);
  EXPECT_EQ(serialOf(session), 0x66666666);
  Vonmod_ReleaseDevice(&session);
}

TEST_F(EmulatedModulesTest, InstancesStayWithTheirModulesWhileAttached) {
  std::map<int, std::unique_ptr<EmulatedModule>> modules;  // by serial digit
  struct Step {
    int plug, port, unplug;  // digit of the module plugged in at port, or unplugged (0: none)
    int32_t count;
    std::vector<int> digits;  // by instance; -1: nothing there
  };
  const Step steps[] = {
      {3, 3, 0, 1, {3}},
      {1, 1, 0, 2, {3, 1}},  // a later module takes the next instance, whatever its port
      {0, 0, 3, 1, {-1, 1}},
      {2, 2, 0, 2, {2, 1}},  // and the lowest free one
  };
  for (const Step& step : steps) {
    if (step.plug != 0) modules[step.plug] = plug(step.port, static_cast<uint8_t>(step.plug));
    if (step.unplug != 0) modules.erase(step.unplug);
    waitForCount(step.count);
    for (size_t i = 0; i < step.digits.size(); ++i)
      EXPECT_EQ(serialDigitAt(static_cast<int32_t>(i)), step.digits[i]) << "instance " << i;
  }
  // Only bulk and interrupt endpoints serve pipes.
  const auto open = pipeFunction<MPUSBOpenFn>("MPUSBOpen");
  const int32_t interrupt = open(0, kIds, "\\MCHP_EP7_ASYNC", MPUSB_READ, 0);
  EXPECT_NE(interrupt, -1);
  EXPECT_EQ(open(0, kIds, "\\MCHP_EP6_ASYNC", MPUSB_READ, 0), -1);
  pipeFunction<MPUSBCloseFn>("MPUSBClose")(interrupt);
}

}  // namespace
}  // namespace mpusb
