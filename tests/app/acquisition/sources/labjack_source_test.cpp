// The LabJack source against the simulated UD driver: the calls it makes and what it hands the
// tick. What the tick makes of readings and errors is the sampling loop's own test.
#include "app/acquisition/sources/labjack_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/acquisition/monitor_controller.h"
#include "app/acquisition/sources/source_factory.h"
#include "platform/labjackud/labjackud.h"
#include "platform/labjackud/sim_control.h"
#include "support/fakes.h"

namespace tidemet {
namespace {

using labjacksim::Call;

Call get(int32_t ioType, int32_t channel, int32_t x1, double in = 0.0, int32_t result = 0) {
  return {Call::Get, 1, ioType, channel, in, x1, result};
}

class LabJackSourceTest : public ::testing::Test {
 protected:
  LabJackSourceTest() { sim.reset(); }

  labjacksim::Control& sim = *LabJackSimControl();
  DeviceMessages messages;
  VirtualClock clock;
};

TEST_F(LabJackSourceTest, OpeningMakesTheDriverCallsInOrder) {
  sim.attach();
  LabJackSource source(LabJackSettings{22, 0, 1}, messages);
  EXPECT_TRUE(source.open());
  EXPECT_TRUE(messages.take().empty());
  const std::vector<Call> expected = {
      {Call::Version},
      {Call::Open, 1, 0, 0, 0.0, 0, 0},
      {Call::Put, 1, 2017, 0, 0.0, 0, 0},
      get(2015, 0, 16, 15.0),
  };
  EXPECT_EQ(sim.calls(), expected);
  EXPECT_EQ(sim.state().analogMask, 0x0Fu);
}

TEST_F(LabJackSourceTest, OpeningFailuresShowTheirMessageAndHalt) {
  struct Case {
    const char* name;
    bool attached;
    int32_t failNext;  // strikes the first device call (the pin reset)
    const char* text;
  } cases[] = {
      {"no U3", false, 0, "Interface data cable is not connected, Error #1007  LabJack not found"},
      {"pin reset fails", true, LJE_COMM_FAILURE,
       "Function returned LabJackUD Error #1008  Communication failure"},
  };
  for (const auto& c : cases) {
    sim.reset();
    if (c.attached) sim.attach();
    if (c.failNext) sim.failNext(c.failNext);
    LabJackSource source(LabJackSettings{22, 0, 1}, messages);
    EXPECT_FALSE(source.open()) << c.name;
    const auto shown = messages.take();
    ASSERT_EQ(shown.size(), 1u) << c.name;
    EXPECT_EQ(shown[0].text, c.text) << c.name;
    ASSERT_FALSE(sim.calls().empty());
    EXPECT_EQ(sim.calls().back().ioType, LJ_ioHALT) << c.name;
  }
  EXPECT_EQ(LabJackOpenMessage(6, "Overflow").text, "VB error: Error #6  Overflow");

  // Without a handle a read asks the driver nothing: the opening has told the user already.
  sim.reset();
  LabJackSource unopened(LabJackSettings{23, 0, 1}, messages);
  sim.clearCalls();
  ReadingSet r;
  unopened.takeReadings(r);
  EXPECT_TRUE(sim.calls().empty());
  EXPECT_EQ(r.present, 0u);
  EXPECT_EQ(r.errorNumber, 0);
}

TEST_F(LabJackSourceTest, ModelSensorTypeAndLimbChooseTheReads) {
  struct Case {
    const char* name;
    int16_t model, sensorType, limb;
    std::vector<Call> calls;
  } cases[] = {
      {"22, type 0, arm: single-ended", 22, 0, 1, {get(10, 0, 0), get(10, 1, 0)}},
      {"22, type 0, leg: differential", 22, 0, 2, {get(15, 0, 32), get(15, 1, 32)}},
      {"22, type 0, arm and leg: no read", 22, 0, 3, {}},
      {"22, type 1, arm: differential", 22, 1, 1, {get(15, 0, 32), get(15, 1, 32)}},
      {"23", 23, 0, 1, {get(10, 0, 0), get(10, 1, 0), get(15, 2, 32), get(15, 3, 32)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.reset();
    sim.attach();
    LabJackSource source(LabJackSettings{c.model, c.sensorType, c.limb}, messages);
    sim.clearCalls();
    ReadingSet r;
    source.takeReadings(r);
    EXPECT_EQ(sim.calls(), c.calls);
    EXPECT_EQ(r.present, c.model == 23 ? 0xFu : 0x3u);  // no read still gives two zeros
  }
}

// A failed read carries the driver's error; the tick's notice after it halts the U3, and so does
// the end of a recording.
TEST_F(LabJackSourceTest, APulledU3FailsItsReadsWithTheDriverError) {
  sim.attach();
  LabJackSource source(LabJackSettings{22, 0, 1}, messages);
  sim.pull();
  ReadingSet failed;
  source.takeReadings(failed);
  EXPECT_EQ(failed.present, 0u);
  EXPECT_EQ(failed.errorNumber, 51008);
  EXPECT_STREQ(failed.errorText.data(), "Communication failure");
  sim.clearCalls();
  source.afterError();
  source.recordingStopped();
  const Call halt = get(LJ_ioHALT, 0, 0, 0.0, LJE_COMM_FAILURE);  // the U3 is still out
  EXPECT_EQ(sim.calls(), (std::vector<Call>{halt, halt}));
}

TEST_F(LabJackSourceTest, TheSensorsMenuChangesTheReadsWhileMonitoring) {
  sim.attach();
  Session s;
  s.ModelCode = 22;
  s.ChannelCount = 2;
  RecordingAlerts alerts;
  testing::RecordingSink sink;
  MonitorController controller(s, alerts, sink, clock, [this]() -> std::unique_ptr<Source> {
    return std::make_unique<LabJackSource>(LabJackSettings{22, 0, 1}, messages);
  });
  controller.openSynchronously();
  controller.StartMonitor();
  sim.clearCalls();
  controller.tick();
  s.SensorType = 1;   // the menu, on the window's thread
  controller.tick();  // publishes the change
  controller.tick();
  const std::vector<Call> expected = {get(10, 0, 0), get(10, 1, 0),  get(10, 0, 0),
                                      get(10, 1, 0), get(15, 0, 32), get(15, 1, 32)};
  EXPECT_EQ(sim.calls(), expected);
}

TEST_F(LabJackSourceTest, TheFactoryOpensTheU3ForModels22And23Only) {
  for (int16_t model : {22, 23}) {
    sim.reset();
    SourceSettings settings;
    settings.ModelCode = model;
    auto make = MakeSourceFactory(settings, clock, messages);
    ASSERT_TRUE(make) << model;
    auto source = make();
    EXPECT_NE(dynamic_cast<LabJackSource*>(source.get()), nullptr) << model;
    EXPECT_EQ(messages.take().size(), 1u) << model;  // no U3 attached
  }
}

}  // namespace
}  // namespace tidemet
