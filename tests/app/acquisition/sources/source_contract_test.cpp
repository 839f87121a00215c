// What every device source promises the acquisition thread, against each device's simulator
// through the real libraries: it opens the device without a word, a read gives the inputs'
// values, a failed read gives none and says why, the next good read counts again (where the
// device keeps its session), and letting go of the source releases the device.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/acquisition/sources/usb_device_source.h"
#include "app/acquisition/sources/usb_module_source.h"
#include "tests/app/acquisition/sources/module_sim.h"
#include "zdaq/driver_abi.h"
#include "zdaq/simulated.h"
#ifdef TIDEMET_HAVE_LABJACK
#include "app/acquisition/sources/labjack_source.h"
#include "platform/labjackud/labjackud.h"
#include "platform/labjackud/sim_control.h"
#endif

namespace tidemet {
namespace {

struct Device {
  const char* name;
  std::function<std::unique_ptr<Source>(DeviceMessages&)> make;
  std::vector<double> readings;    // of a good read
  std::function<void()> failNext;  // the next read fails
  std::function<void()> heal;      // reads succeed again; empty: the failure ends the session
  std::function<bool()> held;      // the device is held open; empty: nothing to hold
};

TEST(SourceContractTest, OpenReadFailReadAgainRelease) {
  auto usb = zdaq::SimulatedSystem::create(/*automatic=*/false);
  auto daq = usb->addDevice("/dev/zdaq0", "ZDaq DAQ-20");
  std::unique_ptr<VonmodLibrary> library;
  std::string why;
  mpusbsim::Control* module = testing::LoadModuleSim(library, 1, why);
  ASSERT_NE(module, nullptr) << why;
  for (int c = 0; c < 8; ++c) {
    const int counts = c == 7 ? 4095 : 100 * c + 1;  // up to the top count
    module->module(0).analog[c] = {mpusbsim::Wave::Constant, counts, counts};
  }
#ifdef TIDEMET_HAVE_LABJACK
  labjacksim::Control* u3 = LabJackSimControl();
  u3->reset();
  u3->attach();
  for (int line = 0; line < 4; ++line) u3->setVolts(line, 0.25 * (line + 1));
#endif
  const Device devices[] = {
      {"USB device, model 13 on four channels",
       [&](DeviceMessages& m) {
         return std::make_unique<UsbDeviceSource>(13, 4, m, usb->makeBackend());
       },
       {2000, 2100, 2200, 2300},  // analog inputs 0-3 (points 9-12)
       [&] { daq->failControl(ZDAQ_CTL_GET_POINT_VALUE, EIO); },
       [&] { daq->failControl(ZDAQ_CTL_GET_POINT_VALUE, 0); },
       [&] { return daq->opened(); }},
      {"USB module",
       [](DeviceMessages& m) { return std::make_unique<UsbModuleSource>(m); },
       {0.001, 0.101, 0.201, 0.301, 0.401, 0.501, 0.601, 4.095},
       [&] { module->inject(mpusbsim::Fault::FailRead); },
       {},
       [&] { return !module->openPipes().empty(); }},
#ifdef TIDEMET_HAVE_LABJACK
      {"LabJack U3, model 23",
       [](DeviceMessages& m) {
         return std::make_unique<LabJackSource>(LabJackSettings{23, 0, 1}, m);
       },
       {0.25, 0.5, 0.75, 1.0},
       [&] { u3->failNext(LJE_COMM_FAILURE); },
       [] {},
       {}},  // the UD calls have no close
#endif
  };
  for (const Device& device : devices) {
    SCOPED_TRACE(device.name);
    DeviceMessages messages;
    auto source = device.make(messages);
    EXPECT_TRUE(messages.take().empty());
    EXPECT_TRUE(!device.held || device.held());
    const auto readsWell = [&] {
      ReadingSet good;
      source->takeReadings(good);
      ASSERT_EQ(good.present, (1u << device.readings.size()) - 1);
      for (size_t i = 0; i < device.readings.size(); ++i)
        EXPECT_NEAR(good.value[i], device.readings[i], 1e-6) << i;
      EXPECT_EQ(good.errorNumber, 0);
    };
    readsWell();
    device.failNext();
    ReadingSet failed;
    source->takeReadings(failed);
    EXPECT_EQ(failed.present & 1u, 0u);
    EXPECT_TRUE(failed.failed != 0 || failed.errorNumber != 0);
    EXPECT_NE(failed.errorText[0], '\0');
    if (device.heal) {
      device.heal();
      readsWell();
    }
    source.reset();
    EXPECT_FALSE(device.held && device.held());
  }
}

}  // namespace
}  // namespace tidemet
