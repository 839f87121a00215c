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
  std::function<std::unique_ptr<Source>(DeviceMessages&)> make;
  std::vector<double> readings;    // of a good read
  std::function<void()> failNext;  // the next read fails
  std::function<void()> heal;      // reads succeed again
  std::function<bool()> held;      // the device is held open; empty: nothing to hold
};

struct Contract {
  const char* name;
  std::function<Device()> prepare;
};

TEST(SourceContractTest, OpenReadFailReadAgainRelease) {
  auto usb = zdaq::SimulatedSystem::create(/*automatic=*/false);
  std::unique_ptr<VonmodLibrary> library;
  const Contract contracts[] = {
      {"USB device, model 13 on four channels",
       [&] {
         auto device = usb->addDevice("/dev/zdaq0", "ZDaq DAQ-20");
         return Device{[&](DeviceMessages& m) {
                         return std::make_unique<UsbDeviceSource>(13, 4, m, usb->makeBackend());
                       },
                       {2000, 2100, 2200, 2300},  // analog inputs 0-3 (points 9-12)
                       [device] { device->failControl(ZDAQ_CTL_GET_POINT_VALUE, EIO); },
                       [device] { device->failControl(ZDAQ_CTL_GET_POINT_VALUE, 0); },
                       [device] { return device->opened(); }};
       }},
      {"USB module",
       [&] {
         std::string why;
         mpusbsim::Control* sim = testing::LoadModuleSim(library, 1, why);
         if (!sim) return Device{};
         for (int c = 0; c < 8; ++c) {
           const int counts = c == 7 ? 4095 : 100 * c + 1;  // up to the top count
           sim->module(0).analog[c] = {mpusbsim::Wave::Constant, counts, counts};
         }
         return Device{[](DeviceMessages& m) { return std::make_unique<UsbModuleSource>(m); },
                       {0.001, 0.101, 0.201, 0.301, 0.401, 0.501, 0.601, 4.095},
                       [sim] { sim->inject(mpusbsim::Fault::FailRead); },
                       {},  // a failed transfer closes the module's session
                       [sim] { return !sim->openPipes().empty(); }};
       }},
#ifdef TIDEMET_HAVE_LABJACK
      {"LabJack U3, model 23",
       [] {
         labjacksim::Control* sim = LabJackSimControl();
         sim->reset();
         sim->attach();
         for (int line = 0; line < 4; ++line) sim->setVolts(line, 0.25 * (line + 1));
         return Device{[](DeviceMessages& m) {
                         return std::make_unique<LabJackSource>(LabJackSettings{23, 0, 1}, m);
                       },
                       {0.25, 0.5, 0.75, 1.0},
                       [sim] { sim->failNext(LJE_COMM_FAILURE); },
                       [] {},
                       {}};  // the UD calls have no close: nothing is held
       }},
#endif
  };
  for (const Contract& c : contracts) {
    SCOPED_TRACE(c.name);
    Device device = c.prepare();
    ASSERT_TRUE(device.make);
    DeviceMessages messages;
    auto source = device.make(messages);
    EXPECT_TRUE(messages.take().empty());
    if (device.held) {
      EXPECT_TRUE(device.held());
    }
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
    if (device.held) {
      EXPECT_FALSE(device.held());
    }
  }
}

}  // namespace
}  // namespace tidemet
