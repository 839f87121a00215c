#include "app/acquisition/acquisition_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "app/acquisition/demo_source.h"
#include "app/acquisition/simulated_recording.h"
#include "support/fakes.h"

namespace tidemet {
namespace {

constexpr int64_t kMs = 1'000'000;

TEST(TickScheduleTest, LateReadingsKeepTheGridAndSkipOnlyPastOnePeriod) {
  struct Case {
    int64_t lateNs;
    uint32_t skipped;
    int64_t nextDeadline;
  };
  const Case cases[] = {
      {0, 0, 10 * kMs},         // on time
      {9 * kMs, 0, 10 * kMs},   // late, but the next deadline stays where it was
      {10 * kMs, 0, 10 * kMs},  // exactly one period late still reads for this deadline
      {15 * kMs, 1, 20 * kMs},  // the deadline is given up for the next one
      {35 * kMs, 3, 40 * kMs},
  };
  for (const auto& c : cases) {
    TickSchedule schedule(0);
    EXPECT_EQ(schedule.catchUp(c.lateNs), c.skipped) << c.lateNs;
    schedule.advance();
    EXPECT_EQ(schedule.deadlineNs(), c.nextDeadline) << c.lateNs;
  }
}

// The notices a source heard, kept where they outlive it: the worker releases its source.
struct Heard {
  std::atomic<int> stops{0};
  std::atomic<int> resets{0};
};

// Reading 0 of each set is the number of sets taken before it.
class CountingSource : public Source {
 public:
  explicit CountingSource(Heard& heard, std::vector<std::thread::id>* threads = nullptr)
      : heard_(heard), threads_(threads) {}
  void takeReadings(ReadingSet& out) override {
    out.set(0, static_cast<double>(n_++));
    if (threads_) threads_->push_back(std::this_thread::get_id());
  }
  void recordingStopped() override { ++heard_.stops; }
  void afterError() override { ++heard_.resets; }

 private:
  Heard& heard_;
  std::vector<std::thread::id>* threads_;
  int n_ = 0;
};

TEST(AcquisitionWorkerTest, SynchronousStepsOnAVirtualClock) {
  VirtualClock clock;
  Heard heard;
  AcquisitionWorker worker(clock, [&] { return std::make_unique<CountingSource>(heard); });
  worker.openSource(0);
  for (int i = 0; i < 3; ++i) worker.step();  // at 0, 10, 20 ms
  clock.advance(25 * kMs);                    // the thread was held up: now 45 ms
  worker.step();                              // deadline 30 ms gives way to 40 ms
  worker.step();                              // 50 ms

  std::vector<std::pair<double, int64_t>> seen;
  std::vector<uint32_t> skipped;
  const auto collect = [&](const ReadingSet& r) {
    seen.push_back({r.value[0], r.takenAtNs});
    skipped.push_back(r.skippedBefore);
  };
  EXPECT_EQ(worker.process(collect, 20 * kMs), 3u);
  EXPECT_EQ(worker.process(collect), 2u);
  const std::vector<std::pair<double, int64_t>> expected = {
      {0, 0}, {1, 10 * kMs}, {2, 20 * kMs}, {3, 45 * kMs}, {4, 50 * kMs}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(skipped, (std::vector<uint32_t>{0, 0, 0, 1, 0}));
  EXPECT_EQ(worker.deadlinesSkipped(), 1u);

  worker.requestRecordingStopped();
  worker.requestAfterError();
  worker.step();
  EXPECT_EQ(heard.stops.load(), 1);
  EXPECT_EQ(heard.resets.load(), 1);
  worker.step();
  EXPECT_EQ(heard.stops.load(), 1);  // each notice once
}

// The last reading before a stop asks for notices (a recording's end, a reset after an error)
// after the thread has passed its own check of them: the device must still hear them. The worker
// then runs again, on its own thread, and a slow consumer loses no set.
TEST(AcquisitionWorkerTest, NoticesOfTheLastReadingReachTheDeviceAndTheWorkerRunsAgain) {
  MonotonicClock clock;
  Heard heard;
  std::vector<std::thread::id> threads;
  std::atomic<int> notified{0};
  std::atomic<bool> posted{false};
  AcquisitionWorker* self = nullptr;
  AcquisitionWorker worker(
      clock, [&] { return std::make_unique<CountingSource>(heard, &threads); },
      [&] {
        ++notified;
        if (posted.exchange(true)) return;
        self->requestRecordingStopped();
        self->requestAfterError();
        // This step ends only once stop() has asked the thread to end.
        while (!self->stopRequested()) std::this_thread::yield();
      });
  self = &worker;
  worker.start();
  for (int i = 0; i < 30000 && !posted.load(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(posted.load());
  worker.stop();
  EXPECT_EQ(heard.stops.load(), 1);
  EXPECT_EQ(heard.resets.load(), 1);

  worker.process([](const ReadingSet&) {});  // what the first run left
  const uint64_t taken = worker.readingsTaken();
  threads.clear();
  notified = 0;
  worker.start();
  std::vector<double> values;
  const auto collect = [&](const ReadingSet& r) { values.push_back(r.value[0]); };
  for (int i = 0; i < 6; ++i) {
    const uint64_t before = worker.readingsTaken();  // a few sets wait in the queue
    for (int w = 0; w < 30000 && worker.readingsTaken() < before + 3; ++w)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker.process(collect);
  }
  worker.stop();
  worker.process(collect);
  ASSERT_GE(values.size(), 3u);
  for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(values[i], static_cast<double>(i));
  EXPECT_EQ(worker.readingsTaken() - taken, values.size());
  EXPECT_EQ(worker.setsDropped(), 0u);
  EXPECT_EQ(static_cast<size_t>(notified.load()), values.size());
  for (auto id : threads) EXPECT_NE(id, std::this_thread::get_id());
  EXPECT_EQ(heard.stops.load(), 1);  // each notice once
}

TEST(PeriodStatsTest, MeanAndDeviationOfTheBeat) {
  PeriodStats stats(10 * kMs);
  const int64_t times[] = {0, 10 * kMs, 20 * kMs + 50'000, 30 * kMs, 40 * kMs, 52 * kMs};
  for (int64_t t : times) stats.addTime(t);
  EXPECT_EQ(stats.periods(), 5);
  EXPECT_DOUBLE_EQ(stats.meanPeriodNs(), 52.0 * kMs / 5);
  EXPECT_EQ(stats.deviationQuantileNs(0.4), 10'000);     // two periods on the dot
  EXPECT_EQ(stats.deviationQuantileNs(0.8), 60'000);     // 50 us early and late
  EXPECT_EQ(stats.deviationQuantileNs(1.0), 2'010'000);  // the 2 ms late one
}

// 1000 ticks, and the stop a period after the last; the demo unit rests on its baseline for the
// first second, then pushes. The full buffer is the monitor controller's test.
TEST(SimulatedRecordingTest, TicksBecomeSamplesAndTheStopwatchGivesTheTime) {
  Session s;
  s.ChannelCount = 2;
  RecordingAlerts alerts;
  DemoParameters p;
  p.noiseCounts = 0;
  EXPECT_EQ(RecordSimulatedTrial(s, alerts, 10.0, p).ticks, 1000);
  EXPECT_EQ(s.SampleCount, 999);
  EXPECT_NEAR(s.TrialSeconds, 10.01f, 0.01);
  EXPECT_EQ(s.MonitorOnly, 0);
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(s.TrialData[10 * 2], 1185);
  EXPECT_EQ(*std::max_element(s.TrialData.begin(), s.TrialData.begin() + 2000), 1305);
}

}  // namespace
}  // namespace tidemet
