#include "app/acquisition/sampling_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "support/fakes.h"

namespace tidemet {
namespace {

using testing::DrawCall;
using testing::ManualStopwatch;
using testing::RecordingSink;
using testing::ScriptedSource;

class SamplingLoopTest : public ::testing::Test {
 protected:
  // A fresh session for `model` on `channels` channels, with a loop of its own; the test sets
  // what else it needs, then starts monitoring.
  Session& fresh(int16_t model, int16_t channels = 2) {
    loop.reset();
    s = std::make_unique<Session>();
    s->ModelCode = model;
    s->ChannelCount = channels;
    loop = std::make_unique<SamplingLoop>(*s, alerts, sink, stopwatch);
    return *s;
  }
  // Readings 0, 1, ... for the next tick; those not listed are absent.
  static ReadingSet Readings(std::initializer_list<double> values) {
    ReadingSet r;
    int i = 0;
    for (double v : values) r.set(i++, v);
    return r;
  }
  void tick(const ReadingSet& r) {
    source.next = r;
    loop->Timer2_Timer(source);
  }

  std::unique_ptr<Session> s;
  RecordingAlerts alerts;
  RecordingSink sink;
  ManualStopwatch stopwatch;
  ScriptedSource source;
  std::unique_ptr<SamplingLoop> loop;
};

// Slots 0-7 after one tick; those past the listed ones keep their -1.
TEST_F(SamplingLoopTest, StoredValuesPerModelRow) {
  struct Case {
    const char* name;
    int16_t model, channels, pairStart, sensorValueOffset;
    std::vector<double> readings;
    std::vector<int16_t> slots;
  };
  const Case cases[] = {
      {"USB device to the pair", 7, 2, 2, 0, {5, -3}, {-1, -1, 1005, 997}},
      {"13 on 2 channels", 13, 2, 0, 0, {1, 2, 3, 4}, {1001, 1002}},
      {"13 on 4 channels", 13, 4, 2, 0, {1, 2, 3, 4}, {1001, 1002, 1003, 1004}},
      {"QW8", 3, 2, 0, 0, {2000, 50}, {1050, -900}},
      {"module 18, halves to even", 18, 2, 0, 0, {0.0005, 0.0015}, {1000, 1002}},
      {"20", 20, 8, 0, 0, {0, 0.5, 0.5, 0, 0, 0, 0, -1.2}, {1000, 1500, 500, 0, 0, 0, 0, -1200}},
      {"21, offset on 0-1", 21, 4, 0, -400, {0, 0, 0, 0}, {600, 600, 1000, 1000}},
      {"LabJack 22", 22, 2, 0, -2400, {0.1, 0}, {-1300, -1400}},
      {"LabJack 23, offset on 2-3", 23, 4, 0, -2400, {0, 0, 0, 0}, {1000, 1000, -1400, -1400}},
      // Four readings, but a row of two: the next row is not written.
      {"LabJack 23 on 2 channels", 23, 2, 0, 0, {0.1, 0.2, 0.3, 0.4}, {1100, 1200}},
      // No device: nothing is stored.
      {"demo", 0, 2, 0, 0, {5, 5}, {}},
      {"9", 9, 2, 0, 0, {5, 5}, {}},
      {"16", 16, 2, 0, 0, {5, 5}, {}},
      {"17", 17, 2, 0, 0, {5, 5}, {}},
  };
  for (const auto& c : cases) {
    fresh(c.model);
    s->PairStartChannel = c.pairStart;
    s->PairSecondChannel = c.pairStart + 1;
    s->SensorValueOffset = c.sensorValueOffset;
    loop->StartMonitor();
    s->ChannelCount = c.channels;
    s->TrialData.fill(-1);
    source.next = ReadingSet{};
    for (size_t r = 0; r < c.readings.size(); ++r)
      source.next.set(static_cast<int>(r), c.readings[r]);
    loop->Timer2_Timer(source);
    for (size_t slot = 0; slot < 8; ++slot)
      EXPECT_EQ(s->TrialData[slot], slot < c.slots.size() ? c.slots[slot] : -1) << c.name << slot;
  }
}

// The channel count and saved channels that monitoring, then a recording, start with.
TEST_F(SamplingLoopTest, StartsSetTheSavedChannelsPerModel) {
  struct Case {
    int16_t model, channels, monitorChannels, monitorLast, recordFirst, recordLast;
  };
  const Case cases[] = {
      {7, 8, 8, 7, 2, 3},  {8, 8, 2, 7, 2, 3},  {16, 4, 2, 7, 2, 3},
      {13, 4, 4, 7, 0, 3}, {13, 2, 2, 7, 2, 3}, {23, 4, 4, 3, 0, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    fresh(c.model, c.channels);
    s->PairStartChannel = 2;
    s->PairSecondChannel = 3;
    loop->StartMonitor();
    EXPECT_EQ(s->ChannelCount, c.monitorChannels);
    EXPECT_EQ(s->SaveFirstChannel, 0);
    EXPECT_EQ(s->SaveLastChannel, c.monitorLast);
    loop->StartCmd(&source);
    EXPECT_EQ(s->SaveFirstChannel, c.recordFirst);
    EXPECT_EQ(s->SaveLastChannel, c.recordLast);
  }
}

TEST_F(SamplingLoopTest, ReadingsThatCannotBeStoredKeepTheSlot) {
  fresh(18);
  loop->StartMonitor();
  s->TrialData[0] = 77;
  s->TrialData[1] = 88;
  for (double volts : {std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), 31.768, -33.769, 1e300}) {
    s->SampleIndex = 0;
    tick(Readings({volts}));  // reading 1 absent: a failed read
    EXPECT_EQ(s->TrialData[0], 77) << volts;
    EXPECT_EQ(s->TrialData[1], 88) << volts;
  }
  s->SampleIndex = 0;
  tick(Readings({31.767}));  // 32767 is still a value
  EXPECT_EQ(s->TrialData[0], 32767);
}

// Monitoring sweeps 550 columns and starts again; a recording erases ahead instead, counts its
// ticks and measures its time.
TEST_F(SamplingLoopTest, MonitoringSweepsThenARecordingCountsTicksAndMeasuresItsTime) {
  fresh(7);
  s->PairStartChannel = 2;
  s->PairSecondChannel = 3;
  s->UnitsFlag = 0;
  s->BaselineOffsets[2] = 5;
  loop->StartMonitor();
  EXPECT_EQ(loop->windowCaption(), "Tidemet Data Monitor");
  EXPECT_EQ(loop->buttonCaption(), "Start Collecting Data");
  int n = 0;
  source.onRead = [&](ScriptedSource& src) { src.next = Readings({1.0 * n, -1.0 * n++}); };
  for (int i = 0; i < 550; ++i) loop->Timer2_Timer(source);
  EXPECT_EQ(s->SampleIndex, 550);
  EXPECT_EQ(s->GraphColumn, 549);
  EXPECT_EQ(sink.calls.front().kind, DrawCall::Clear);  // the first sweep starts cleared
  sink.calls.clear();
  loop->Timer2_Timer(source);  // the 551st sample
  EXPECT_EQ(s->GraphColumn, 0);
  EXPECT_EQ(s->SampleIndex, 1);
  ASSERT_FALSE(sink.calls.empty());
  EXPECT_EQ(sink.calls.front().kind, DrawCall::Clear);
  EXPECT_EQ(s->TrialData[2], 1550);  // written from row 0 again
  for (const auto& c : sink.bars()) EXPECT_EQ(c.b, 0);
  // Monitoring never erases ahead of the trace.
  for (const auto& c : sink.calls) EXPECT_NE(c.kind, DrawCall::Erase);

  stopwatch.now = 1000;
  loop->StartCmd(&source);
  EXPECT_EQ(s->MonitorOnly, 0);
  EXPECT_EQ(s->SweepEraseOn, 1);
  EXPECT_EQ(s->SampleIndex, 0);
  EXPECT_EQ(loop->buttonCaption(), "Stop Collecting Data");
  n = 0;
  sink.calls.clear();
  for (int i = 0; i < 700; ++i) loop->Timer2_Timer(source);
  // While recording the sweep does not wrap: the column ahead is erased first.
  EXPECT_EQ(s->SampleIndex, 700);
  EXPECT_EQ(sink.calls[0], (DrawCall{DrawCall::Erase, 0, 0}));
  EXPECT_EQ(s->TrialData[699 * 2 + 2], 1699);  // row k at k * ChannelCount + c

  stopwatch.now = 1000 + 7013;
  loop->StartCmd(&source);
  EXPECT_FALSE(loop->timerEnabled());
  EXPECT_EQ(s->SampleCount, 699);
  EXPECT_FLOAT_EQ(s->TrialSeconds, 7.013f);
  EXPECT_FLOAT_EQ(s->SecondsPerSample, 7.013f / 699);
  EXPECT_EQ(s->SweepEraseOn, 0);
  EXPECT_EQ(s->RecordedUnitsFlag, 0);
  EXPECT_EQ(s->RememberedOffsets[2], 5);
  EXPECT_EQ(sink.calls.back(), (DrawCall{DrawCall::Erase, 149, 549}));  // 699 mod 550
  EXPECT_EQ(source.stops, 0);  // only the LabJack hears of the stop

  const int reads = source.reads;
  loop->Timer2_Timer(source);  // the timer is off: no tick
  EXPECT_EQ(source.reads, reads);
}

TEST_F(SamplingLoopTest, AFailedReadingRepeatsThisRecordingsValueAndIsToldOnce) {
  fresh(7);
  s->TrialData.fill(777);  // an earlier trial's samples
  loop->StartMonitor();
  ReadingSet failed;
  failed.fail(0);
  failed.fail(1);
  failed.setErrorText("Pulled out");
  const ReadingSet good = Readings({5, -3});
  tick(ReadingSet{});  // monitoring, before the recording: a good value from the sweep
  tick(good);
  loop->StartCmd(&source);
  // What each tick delivers, and what rows 0-4 of channels 0 and 1 hold after it.
  for (const ReadingSet& r : {failed, good, failed, failed, good}) tick(r);
  const int16_t expected[5][2] = {{1000, 1000}, {1005, 997}, {1005, 997}, {1005, 997}, {1005, 997}};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(s->TrialData[s->trialIndex(k, 0)], expected[k][0]) << k;
    EXPECT_EQ(s->TrialData[s->trialIndex(k, 1)], expected[k][1]) << k;
  }
  EXPECT_EQ(s->SampleIndex, 5);  // failed reads still advance: the tick goes on
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].title, "Tidemet Warning");
  EXPECT_EQ(
      alerts.shown[0].text,
      "The interface unit did not deliver a reading.\r\nPulled out\r\nEach missing reading repeats "
      "the last value of this recording.\r\nCheck that the unit is connected, then monitor and "
      "record again.");
  stopwatch.now = 50;
  loop->StartCmd(&source);
  EXPECT_EQ(loop->failedReadings(), 6u);

  // Monitoring again starts without memory and tells the user again; so does the next recording.
  loop->StartMonitor();
  tick(failed);
  EXPECT_EQ(s->TrialData[0], 1000);
  EXPECT_EQ(alerts.shown.size(), 2u);
  loop->StartCmd(&source);
  tick(failed);
  EXPECT_EQ(alerts.shown.size(), 3u);
  EXPECT_EQ(loop->failedReadings(), 2u);
}

TEST_F(SamplingLoopTest, SampleIndexStopsAt32767) {
  fresh(0);
  loop->StartMonitor();
  loop->StartCmd(&source);
  s->SampleIndex = 32765;
  for (int i = 0; i < 5; ++i) loop->Timer2_Timer(source);
  EXPECT_EQ(s->SampleIndex, 32767);
}

TEST_F(SamplingLoopTest, SerialUnitFramesRepeatUntilTheNextValidOne) {
  fresh(8, 8);
  s->UnitNode = 987;
  loop->StartMonitor();
  EXPECT_EQ(s->ChannelCount, 2);
  tick(ReadingSet{});  // no frame yet: both channels at 1000
  EXPECT_EQ(s->TrialData[0], 1000);
  EXPECT_EQ(s->TrialData[1], 1000);
  tick(Readings({50.5, -100.0}));
  EXPECT_EQ(s->TrialData[2], 1050);  // 1050.5 to even
  EXPECT_EQ(s->TrialData[3], 900);
  tick(ReadingSet{});  // no valid frame: the last values again
  EXPECT_EQ(s->TrialData[4], 1050);
  EXPECT_EQ(s->TrialData[5], 900);
}

TEST_F(SamplingLoopTest, QW8StatusWarningsAndStoredValue) {
  fresh(3);
  loop->StartMonitor();
  ReadingSet r = Readings({2000, 2000});
  r.unitStatus = {91, 7};
  tick(r);
  EXPECT_EQ(s->TrialData[0], 1050);  // reading - 950
  EXPECT_EQ(s->TrialData[1], 0);     // status 7: not stored
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].title, "Tidemet Warning");
  EXPECT_EQ(alerts.shown[0].text,
            "Check that the power cable and\r\nthe data cable are connected.\r\nError Code: CB7");
  EXPECT_EQ(alerts.shown[0].icon, AlertIcon::Exclamation);
  EXPECT_EQ(s->SampleIndex, 1);
}

// An error ends the tick: the reading before it is stored, nothing is drawn, the tick stands
// still and the device is reset; the box is shown once per run of errors.
TEST_F(SamplingLoopTest, DeviceErrorsEndTheTickWithTheirMessage) {
  const std::pair<int32_t, const char*> cases[] = {
      {51007, "Function returned LabJackUD Error #1007  No LabJacks found"},  // a driver code
      {6, "VB error: i = 4Error #6  No LabJacks found"},
  };
  for (const auto& [number, message] : cases) {
    SCOPED_TRACE(number);
    fresh(22);
    alerts.shown.clear();
    loop->StartMonitor();
    s->SampleIndex = 4;
    ReadingSet error;
    error.set(0, 0.25);  // reading 0 was taken, reading 1 failed
    error.errorNumber = number;
    error.errorAfter = 1;
    error.setErrorText("No LabJacks found");
    const int resets = source.errorResets;
    sink.calls.clear();
    for (int i = 0; i < 3; ++i) tick(error);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].text, message);
    EXPECT_EQ(source.errorResets, resets + 3);
    EXPECT_EQ(s->SampleIndex, 4);
    EXPECT_TRUE(sink.bars().empty());
    EXPECT_EQ(s->TrialData[8], 1250);
    // A good tick ends the run: the next failure is told again.
    tick(ReadingSet{});
    tick(error);
    EXPECT_EQ(alerts.shown.size(), 2u);
  }
  // A LabJack recording's stop is passed on to the device.
  fresh(23);
  loop->StartMonitor();
  loop->StartCmd(&source);
  loop->StartCmd(&source);
  EXPECT_EQ(source.stops, 1);
}

TEST_F(SamplingLoopTest, PlotSampleDrawsSmoothedBarsAboveTheThreshold) {
  fresh(0);
  s->GraphGain = 1.0f;
  s->PlotThreshold = 1000;
  PlotHistory history[2];
  s->TrialData[0] = 1201;  // y = 63 before smoothing
  s->TrialData[1] = 999;   // below the threshold: nothing
  PlotSample(*s, 0, 12, history, sink);
  ASSERT_EQ(sink.calls.size(), 1u);
  EXPECT_EQ(sink.calls[0], (DrawCall{DrawCall::Bar, 0, 12, 74}));  // (63 + 79 + 79) / 3 = 73.67
  EXPECT_EQ(history[1].y1, 79);  // an undrawn sample leaves the history alone
  s->TrialData[2] = 1185;        // y = 79
  PlotSample(*s, 1, 13, history, sink);
  EXPECT_EQ(sink.calls[1], (DrawCall{DrawCall::Bar, 0, 13, 74}));  // (79 + 63 + 79) / 3 = 73.67
  EXPECT_EQ(GraphY(*s, 0, 1185), 79);
  s->GraphGain = 0.5f;
  s->BaselineOffsets[0] = 3;
  EXPECT_EQ(GraphY(*s, 0, 1200), 70);  // 79 - 18 * 0.5
  EXPECT_EQ(GraphY(*s, 0, 1201), 70);  // 79 - 9.5 = 69.5, to even
}

}  // namespace
}  // namespace tidemet
