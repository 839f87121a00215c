// The USB module source through the real libvonmodvb.so, loaded by name, against the simulated
// libmpusbapi.so that the library finds on the search path.
#include "app/acquisition/sources/usb_module_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/acquisition/sources/usb_settings_devices.h"
#include "tests/app/acquisition/sources/module_sim.h"

namespace tidemet {
namespace {

class UsbModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    sim = testing::LoadModuleSim(library, 1, why);
    ASSERT_NE(sim, nullptr) << why;
  }

  std::unique_ptr<VonmodLibrary> library;  // keeps the simulation loaded between sources
  mpusbsim::Control* sim = nullptr;
  DeviceMessages messages;
};

TEST_F(UsbModuleTest, OpenResultsAndWhatTheyShow) {
  struct Case {
    const char* what;
    int modules;
    bool refusePipe;
    bool open;
    std::vector<std::string> shown;
  };
  const std::vector<Case> cases = {
      {"module present", 1, false, true, {}},
      {"no module: result 2, silent", 0, false, false, {}},
      {"pipe refused: result 5", 1, true, false, {"Tidemet: Tidemet dd = 5"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim->reset(c.modules);
    if (c.refusePipe) sim->refuseOpen("\\MCHP_EP1", MPUSB_WRITE);
    UsbModuleSource source(messages);
    EXPECT_EQ(source.moduleOpen(), c.open);
    std::vector<std::string> shown;
    for (const Alert& a : messages.take()) shown.push_back(a.title + ": " + a.text);
    EXPECT_EQ(shown, c.shown);
    ReadingSet r;
    source.takeReadings(r);
    EXPECT_EQ(r.present, c.open ? 0xFFu : 0u);
  }
}

// Whatever went wrong (here a reply that echoes another command), a failed read hands no reading
// and says the library's result code, which the diagnostics show as well.
TEST_F(UsbModuleTest, AFailedReadIsMarkedFailedWithItsResult) {
  UsbModuleSource source(messages);
  sim->inject(mpusbsim::Fault::WrongEcho);
  ReadingSet r;
  source.takeReadings(r);
  EXPECT_EQ(r.deviceResult, 9);
  EXPECT_EQ(r.present, 0u);
  EXPECT_EQ(r.failed, 0xFFu);
  EXPECT_STREQ(r.errorText.data(), "The USB module answered with result code 9.");
}

TEST_F(UsbModuleTest, TheSettingsWindowKeepsASessionOfItsOwnAndShowsNothing) {
  UsbSettingsDevices devices;
  devices.openModule();
  ASSERT_NE(devices.module(), nullptr);
  EXPECT_TRUE(devices.module()->isOpen());
  EXPECT_EQ(devices.openResult(), 0);
  EXPECT_EQ(devices.module()->serialResult(), 0);
  devices.openModule();  // chosen again: the old session is released first
  EXPECT_EQ(sim->openPipes().size(), 2u);
  devices.closeModule();
  EXPECT_TRUE(sim->openPipes().empty());

  sim->reset(0);
  devices.openModule();
  EXPECT_EQ(devices.openResult(), 2);
  EXPECT_FALSE(devices.module()->isOpen());
}

}  // namespace
}  // namespace tidemet
