#include "app/acquisition/sources/labjack_source.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/acquisition/monitor_controller.h"
#include "app/acquisition/sampling_loop.h"
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
  LabJackSourceTest() : s(std::make_unique<Session>()), loop(*s, alerts, sink, stopwatch) {
    sim.reset();
  }

  // The monitor of `model` opened on the simulated U3 and monitoring.
  std::unique_ptr<LabJackSource> openMonitor(int16_t model, int16_t sensorType = 0,
                                             int16_t limb = 1) {
    s->ModelCode = model;
    s->ChannelCount = model == 23 ? 4 : 2;
    s->SensorType = sensorType;
    s->LimbMode = limb;
    auto source =
        std::make_unique<LabJackSource>(LabJackSettings{model, sensorType, limb}, messages);
    loop.StartMonitor();
    return source;
  }

  labjacksim::Control& sim = *LabJackSimControl();
  std::unique_ptr<Session> s;
  RecordingAlerts alerts;
  testing::RecordingSink sink;
  testing::ManualStopwatch stopwatch;
  DeviceMessages messages;
  SamplingLoop loop;
  VirtualClock clock;
};

TEST_F(LabJackSourceTest, OpeningMakesTheDriverCallsInOrder) {
  sim.attach();
  auto source = openMonitor(22);
  EXPECT_TRUE(source->open());
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
}

TEST_F(LabJackSourceTest, WithoutAHandleTheTickReadsNothingAndShowsNothing) {
  auto source = openMonitor(23);
  messages.take();
  s->TrialData[0] = 777;
  sim.clearCalls();
  loop.Timer2_Timer(*source);
  EXPECT_TRUE(sim.calls().empty());
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(s->TrialData[0], 777);
  EXPECT_EQ(s->SampleIndex, 1);
}

// Line 0 reads 0.5 V, line 1 -0.1 V (a single-ended input reads 0 V below ground), lines 2 and
// 3 0.25 V and -0.5 V; the sensor offset is -200.
TEST_F(LabJackSourceTest, ModelSensorTypeAndLimbChooseTheReadsAndTheStoredValues) {
  struct Case {
    const char* name;
    int16_t model, sensorType, limb;
    std::vector<Call> calls;
    std::vector<int16_t> slots;
  } cases[] = {
      {"22, type 0, arm: single-ended", 22, 0, 1, {get(10, 0, 0), get(10, 1, 0)}, {1300, 800}},
      {"22, type 0, leg: differential", 22, 0, 2, {get(15, 0, 32), get(15, 1, 32)}, {1300, 700}},
      {"22, type 0, arm and leg: no read", 22, 0, 3, {}, {800, 800}},
      {"22, type 1, arm: differential", 22, 1, 1, {get(15, 0, 32), get(15, 1, 32)}, {1300, 700}},
      {"23: the offset on 2 and 3",
       23,
       0,
       1,
       {get(10, 0, 0), get(10, 1, 0), get(15, 2, 32), get(15, 3, 32)},
       {1500, 1000, 1050, 300}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.reset();
    sim.attach();
    s = std::make_unique<Session>();
    SamplingLoop fresh(*s, alerts, sink, stopwatch);
    s->ModelCode = c.model;
    s->ChannelCount = static_cast<int16_t>(c.slots.size());
    s->SensorValueOffset = -200;
    LabJackSource source(LabJackSettings{c.model, c.sensorType, c.limb}, messages);
    fresh.StartMonitor();
    sim.setVolts(0, 0.5);
    sim.setVolts(1, -0.1);
    sim.setVolts(2, 0.25);
    sim.setVolts(3, -0.5);
    sim.clearCalls();
    fresh.Timer2_Timer(source);
    EXPECT_EQ(sim.calls(), c.calls);
    for (size_t i = 0; i < c.slots.size(); ++i) EXPECT_EQ(s->TrialData[i], c.slots[i]) << i;
  }
}

TEST_F(LabJackSourceTest, APulledU3DuringARecordingIsShownOnceAndTheTrialIsKept) {
  sim.attach();
  auto source = openMonitor(22);
  sim.setVolts(0, 0.3);
  sim.setVolts(1, 0.4);
  loop.StartCmd(source.get());
  for (int i = 0; i < 5; ++i) loop.Timer2_Timer(*source);
  sim.pull();
  sim.clearCalls();
  for (int i = 0; i < 20; ++i) loop.Timer2_Timer(*source);
  // Every failing tick halts the U3 and stands still; the box is shown once for the run.
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text, "Function returned LabJackUD Error #1008  Communication failure");
  int halts = 0;
  for (const Call& call : sim.calls()) halts += call.ioType == 203;
  EXPECT_EQ(halts, 20);
  EXPECT_EQ(s->SampleIndex, 5);
  EXPECT_EQ(s->TrialData[s->trialIndex(4, 0)], 1300);
  EXPECT_EQ(s->TrialData[s->trialIndex(4, 1)], 1400);
  sim.attach();
  sim.setVolts(0, 0.1);
  loop.Timer2_Timer(*source);
  EXPECT_EQ(s->TrialData[s->trialIndex(5, 0)], 1100);
  sim.clearCalls();
  stopwatch.now = 250;
  loop.StartCmd(source.get());
  EXPECT_EQ(s->SampleCount, 5);
  const std::vector<Call> halt = {get(203, 0, 0)};
  EXPECT_EQ(sim.calls(), halt);  // the end of a recording halts the U3
  EXPECT_EQ(loop.failedReadings(), 40u);
}

TEST_F(LabJackSourceTest, TheSensorsMenuChangesTheReadsWhileMonitoring) {
  sim.attach();
  s->ModelCode = 22;
  s->ChannelCount = 2;
  MonitorController controller(*s, alerts, sink, clock, [this]() -> std::unique_ptr<Source> {
    return std::make_unique<LabJackSource>(LabJackSettings{22, 0, 1}, messages);
  });
  controller.openSynchronously();
  controller.StartMonitor();
  sim.clearCalls();
  controller.tick();
  s->SensorType = 1;  // the menu, on the window's thread
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
