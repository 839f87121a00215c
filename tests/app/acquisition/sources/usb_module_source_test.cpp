// The USB module source through the real libvonmodvb.so, loaded by name, against the simulated
// libmpusbapi.so that the library finds on the search path.
#include "app/acquisition/sources/usb_module_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/acquisition/monitor_controller.h"
#include "app/acquisition/sources/source_factory.h"
#include "app/acquisition/sources/usb_settings_devices.h"
#include "tests/app/acquisition/sources/module_sim.h"
#include "support/fakes.h"

namespace tidemet {
namespace {

using mpusbsim::Wave;

class UsbModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    sim = testing::LoadModuleSim(library, 1, why);
    ASSERT_NE(sim, nullptr) << why;
  }

  // Channel c reads counts[c] millivolts.
  void setInputs(const std::vector<int>& millivolts) {
    for (size_t c = 0; c < millivolts.size(); ++c)
      sim->module(0).analog[c] = {Wave::Constant, millivolts[c], millivolts[c]};
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
      {"pipe refused: result 5", 1, true, false, {"Tidemet dd = 5"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim->reset(c.modules);
    if (c.refusePipe) sim->refuseOpen("\\MCHP_EP1", MPUSB_WRITE);
    UsbModuleSource source(messages);
    EXPECT_EQ(source.moduleOpen(), c.open);
    std::vector<std::string> shown;
    for (const Alert& a : messages.take()) {
      shown.push_back(a.text);
      EXPECT_EQ(a.icon, AlertIcon::Exclamation);
      EXPECT_EQ(a.title, "Tidemet");
    }
    EXPECT_EQ(shown, c.shown);
    ReadingSet r;
    source.takeReadings(r);  // a closed module reads its buffer: zeros
    if (!c.open) {
      EXPECT_NE(source.moduleResult(), 0);
      EXPECT_EQ(r.value[2], 0.0);
    }
  }
}

TEST_F(UsbModuleTest, AFailedReadIsMarkedFailedWithItsResult) {
  setInputs({100, 200, 300, 400, 500, 600, 700, 800});
  UsbModuleSource source(messages);
  ReadingSet first;
  source.takeReadings(first);
  ASSERT_EQ(source.moduleResult(), 0);
  EXPECT_EQ(first.deviceResult, 0);
  setInputs({900, 900, 900, 900, 900, 900, 900, 900});
  const std::vector<mpusbsim::Fault> faults = {
      mpusbsim::Fault::FailRead, mpusbsim::Fault::ShortReply, mpusbsim::Fault::WrongEcho};
  for (auto fault : faults) {
    sim->inject(fault);
    ReadingSet r;
    source.takeReadings(r);
    EXPECT_NE(source.moduleResult(), 0) << static_cast<int>(fault);
    EXPECT_EQ(r.deviceResult, source.moduleResult());  // what the diagnostics show
    EXPECT_EQ(r.present, 0u);
    EXPECT_EQ(r.failed, 0xFFu);
    EXPECT_EQ(std::string(r.errorText.data()), "The USB module answered with result code " +
                                                   std::to_string(source.moduleResult()) + ".");
  }
}

// Model 20 through the factory and the tick, to TrialData and past a pulled module.
TEST_F(UsbModuleTest, Model20StoresMillivoltsAndSurvivesAPulledModule) {
  auto s = std::make_unique<Session>();
  s->ModelCode = 20;
  s->ChannelCount = 8;
  s->ModelOffset = 0;
  RecordingAlerts alerts;
  ::tidemet::testing::RecordingSink sink;
  VirtualClock clock;
  setInputs({0, 500, 500, 0, 0, 0, 0, 1234});
  DeviceMessages forward;
  auto monitor = std::make_unique<MonitorController>(
      *s, alerts, sink, clock, MakeSourceFactory(SourceSettings::from(*s), clock, forward));
  monitor->openSynchronously();
  EXPECT_TRUE(forward.take().empty());
  monitor->StartMonitor();
  monitor->StartCmd();
  for (int i = 0; i < 5; ++i) monitor->tick();
  sim->pull(0);
  for (int i = 0; i < 5; ++i) monitor->tick();
  EXPECT_TRUE(monitor->loop().timerEnabled());
  clock.advance(10'000'000);
  monitor->StartCmd();
  // The pull is told once, not in every tick.
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].title, "Tidemet Warning");
  EXPECT_TRUE(forward.take().empty());
  ASSERT_EQ(s->SampleCount, 9);
  for (int k = 0; k < 9; ++k) {
    // Channels 0 and 1 are force channels (1000 + mV), 2 to 7 plain millivolts; after the pull
    // every failed reading repeats the recording's last value.
    EXPECT_EQ(s->TrialData[static_cast<size_t>(s->trialIndex(k, 0))], 1000) << k;
    EXPECT_EQ(s->TrialData[static_cast<size_t>(s->trialIndex(k, 1))], 1500) << k;
    EXPECT_EQ(s->TrialData[static_cast<size_t>(s->trialIndex(k, 2))], 500) << k;
    EXPECT_EQ(s->TrialData[static_cast<size_t>(s->trialIndex(k, 7))], 1234) << k;
  }
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

  // The monitor window opens the module while the settings window's session is still open.
  devices.openModule();
  {
    UsbModuleSource monitor(messages);
    EXPECT_TRUE(monitor.moduleOpen());
    EXPECT_TRUE(messages.take().empty());
    ReadingSet r;
    monitor.takeReadings(r);
    EXPECT_EQ(monitor.moduleResult(), 0);
  }
  devices.closeModule();

  sim->reset(0);
  devices.openModule();
  EXPECT_EQ(devices.openResult(), 2);
  EXPECT_FALSE(devices.module()->isOpen());
}

}  // namespace
}  // namespace tidemet
