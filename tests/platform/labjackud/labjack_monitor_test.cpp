// The monitor records a trial from the packet-level simulated U3 through the real U3 layer and
// the exported UD calls, exactly as it would from a U3 on USB.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/acquisition/sampling_loop.h"
#include "app/acquisition/sources/labjack_source.h"
#include "platform/labjackud/bus_control.h"
#include "platform/labjackud/labjackud.h"
#include "platform/labjackud/sim/simulated_u3.h"
#include "support/fakes.h"

namespace tidemet {
namespace {

class LabJackMonitorTest : public ::testing::Test {
 protected:
  LabJackMonitorTest() : loop(s, alerts, sink, stopwatch) {
    labjack::DriverOptions options;
    options.freshFor = std::chrono::seconds(5);  // the tests' ticks follow each other at once
    labjack::UseBus(&bus, options);
    s.ModelCode = 23;
    s.ChannelCount = 4;
  }
  ~LabJackMonitorTest() override { labjack::UseBus(nullptr); }

  size_t feedbacks() {
    size_t n = 0;
    for (const auto& c : bus.u3().commands()) n += c.size() > 3 && c[3] == 0x00;
    return n;
  }

  labjack::sim::SimulatedBus bus;
  Session s;
  RecordingAlerts alerts;
  testing::RecordingSink sink;
  testing::ManualStopwatch stopwatch;
  DeviceMessages messages;
  SamplingLoop loop;
};

TEST_F(LabJackMonitorTest, AModel23TrialIsRecordedWithOneFeedbackPerTick) {
  bus.attach();
  LabJackSource source(LabJackSettings{23, 0, 1}, messages);
  ASSERT_TRUE(source.open());
  EXPECT_TRUE(messages.take().empty());
  EXPECT_EQ(bus.u3().analogLines(), 0x000F);
  bus.u3().setVolts(1, 1.2);
  bus.u3().setVolts(2, 0.8);
  bus.u3().setVolts(3, 2.5);
  for (int round = 0; round < 2; ++round) {  // record, stop, record again
    loop.StartMonitor();                     // a stop ends the monitoring too
    loop.StartCmd(&source);
    bus.u3().clearCommands();
    for (int k = 0; k < 50; ++k) {
      bus.u3().setVolts(0, 0.01 * k + 0.1 * round);
      loop.Timer2_Timer(source);
    }
    stopwatch.now += 500;
    loop.StartCmd(&source);
    ASSERT_EQ(s.SampleCount, 49) << round;  // the index of the last sample
    // The first tick after opening learns its four inputs; every other tick is one round trip.
    EXPECT_EQ(feedbacks(), round == 0 ? 53u : 50u) << round;
    for (int k : {0, 1, 25, 49}) {
      EXPECT_EQ(s.TrialData[s.trialIndex(k, 0)], 1000 + 10 * k + 100 * round) << k;
      EXPECT_EQ(s.TrialData[s.trialIndex(k, 1)], 2200) << k;
      EXPECT_EQ(s.TrialData[s.trialIndex(k, 2)], 1800) << k;
      EXPECT_EQ(s.TrialData[s.trialIndex(k, 3)], 3500) << k;
    }
  }
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(bus.u3().violations(), 0);
}

TEST_F(LabJackMonitorTest, FaultsReachTheMonitorAsUdCodesWithTheirTexts) {
  using labjack::sim::Fault;
  bus.attach();
  LJ_HANDLE h = 0;
  ASSERT_EQ(OpenLabJack(LJ_dtU3, LJ_ctUSB, "1", 1, &h), LJE_NOERROR);
  struct Case {
    Fault fault;
    uint8_t deviceCode;
    LJ_ERROR code;
    const char* message;
  } cases[] = {
      {Fault::NoReply, 0, 1011,
       "Function returned LabJackUD Error #1011  The U3 did not answer in time"},
      {Fault::DeviceError, 255, 2255,
       "Function returned LabJackUD Error #2255  The U3 refused the command with its error code "
       "255"},
  };
  for (const auto& c : cases) {
    bus.u3().failNext(c.fault, c.deviceCode);
    double v = 0;
    const LJ_ERROR code = eGet(h, LJ_ioGET_AIN, 0, &v, 0);
    EXPECT_EQ(code, c.code);
    char text[LJ_ERROR_TEXT_SIZE];
    ErrorToString(code, text);
    EXPECT_EQ(LabJackOpenMessage(50000 + code, text).text, c.message);
    EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 0, &v, 0), LJE_NOERROR);
  }
}

}  // namespace
}  // namespace tidemet
