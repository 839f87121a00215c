// Streaming: start request, rate limits, scan retrieval from the four stream pipes, and stop.

#include "tests/vonmod/sim_fixture.h"

namespace vonmod_test {
namespace {

class StreamTest : public SimModuleTest {
 protected:
  std::vector<Call> streamReads() const { return callsOf(Call::ReadInt); }
};

TEST_F(StreamTest, StartRequestCarriesTimerReloadAndPrescaler) {
  struct Case {
    int32_t first, count, rate, option;
    Bytes wire;
    int32_t actual;
  };
  const Case cases[] = {
      {0, 2, 100, 0, {0x32, 0, 1, 0x15, 0x9F, 0xF0, 0, 0}, 100},    // base 120000, k = 1
      {2, 3, 5000, 5, {0x32, 2, 4, 0xF6, 0x9F, 0xFF, 1, 1}, 5000},  // k = 0, fast
      {0, 1, 3000, 0, {0x32, 0, 0, 0xF0, 0x5F, 0xFF, 0, 0}, 3000},  // 3000 is not fast
      {0, 1, 7000, 0, {0x32, 0, 0, 0xF9, 0x4D, 0xFF, 1, 0}, 7001},  // 12 MHz / 1714
      {0, 8, 16, 0, {0x32, 0, 7, 0x48, 0xE4, 0xF3, 0, 0}, 16},      // k = 4
      {0, 1, 128, 0, {0x32, 0, 0, 0x48, 0xE4, 0xF0, 0, 0}, 128},
  };
  for (const Case& c : cases) {
    int32_t actual = -1;
    ASSERT_EQ(Vonmod_AIStartStream(&session, c.first, c.count, 99, c.rate, &actual, c.option), 0)
        << c.rate;
    EXPECT_EQ(lastRequest(), c.wire) << c.rate;
    EXPECT_EQ(actual, c.actual) << c.rate;
    EXPECT_TRUE(sim->streaming(0));
    EXPECT_NEAR(sim->streamRate(0), c.actual, 1.0);
    ASSERT_EQ(Vonmod_AIStopStream(&session), 0);
  }
}

TEST_F(StreamTest, RateLimitsAndChannelChecks) {
  struct Case {
    int32_t first, count, rate, expected;
  };
  std::vector<Case> cases = {
      {0, 8, 16, 0},    {0, 8, 15, 19},         {0, 1, 127, 19}, {0, 0, 1000, 19},
      {8, 1, 1000, 11}, {-1, 1, 1000, 11},      {0, 9, 100, 11}, {7, 2, 100, 11},
      {0, -1, 100, 11}, {0, 8, 2147483647, 20}, {0, 1, -5, 19},
  };
  // The highest scan rate for 1 to 8 channels, and one scan a second above it.
  const int32_t limits[] = {15000, 10000, 7200, 6300, 5800, 5500, 5000, 4500};
  for (int32_t n = 1; n <= 8; ++n) {
    cases.push_back({0, n, limits[n - 1], 0});
    cases.push_back({0, n, limits[n - 1] + 1, 20});
  }
  for (const Case& c : cases) {
    sim->clearCalls();
    int32_t actual = -1;
    EXPECT_EQ(Vonmod_AIStartStream(&session, c.first, c.count, 0, c.rate, &actual, 0), c.expected)
        << c.first << "+" << c.count << " @ " << c.rate;
    if (c.expected == 0) {
      EXPECT_EQ(Vonmod_AIStopStream(&session), 0);
    } else {
      EXPECT_TRUE(callsOf(Call::Write).empty());
      EXPECT_TRUE(callsOf(Call::Open).empty());
      EXPECT_EQ(actual, -1);
    }
  }
}

TEST_F(StreamTest, StartOpensTheFourStreamPipesInOrderOrGives5) {
  int32_t actual = 0;
  ASSERT_EQ(Vonmod_AIStartStream(&session, 0, 2, 0, 1000, &actual, 0), 0);
  const auto opens = callsOf(Call::Open);
  ASSERT_EQ(opens.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(opens[i].pipe, "\\MCHP_EP" + std::to_string(i + 2) + "_ASYNC");
    EXPECT_EQ(opens[i].direction, MPUSB_READ);
    EXPECT_EQ(opens[i].instance, session.instance);
  }
  ASSERT_EQ(Vonmod_AIStopStream(&session), 0);

  // A refused pipe: nothing is sent, and the stop closes the ones that opened.
  sim->refuseOpen("\\MCHP_EP4_ASYNC", MPUSB_READ);
  sim->clearCalls();
  EXPECT_EQ(Vonmod_AIStartStream(&session, 0, 1, 0, 1000, &actual, 0), 5);
  EXPECT_EQ(sim->openPipes().size(), 4u);  // command pipes and EP2, EP3
  EXPECT_TRUE(callsOf(Call::Write).empty());
  ASSERT_EQ(Vonmod_AIStopStream(&session), 0);
  EXPECT_EQ(sim->openPipes().size(), 2u);

  ASSERT_EQ(Vonmod_ReleaseDevice(&session), 0);
  EXPECT_EQ(Vonmod_AIStartStream(&session, 0, 9, 0, 1000, &actual, 0), 5)
      << "before the channel check";
  EXPECT_EQ(Vonmod_AIStartContinuous(&session, 0, 1), 5);
}

TEST_F(StreamTest, ThreeChannelsHundredScansComeInTwoPassesOfFourReads) {
  sim->module(0).analog[2] = {mpusbsim::Wave::Ramp, 0, 4000, 4000};  // count = scan index
  sim->module(0).analog[3] = {mpusbsim::Wave::Constant, 1234};
  sim->module(0).analog[4] = {mpusbsim::Wave::Constant, 4095};
  int32_t actual = 0;
  ASSERT_EQ(Vonmod_AIStartStream(&session, 2, 3, 0, 1000, &actual, 0), 0);
  sim->clearCalls();
  std::vector<float> volts(301, -1.0f);
  int32_t scansRead = -1;
  ASSERT_EQ(Vonmod_AIGetScans(&session, 100, 250, volts.data(), &scansRead), 0);
  EXPECT_EQ(scansRead, 80);
  const auto reads = streamReads();
  ASSERT_EQ(reads.size(), 8u);
  for (const Call& read : reads) {
    EXPECT_EQ(read.length, 60);
    EXPECT_EQ(read.timeoutMs, 250);
  }
  for (int scan = 0; scan < 80; ++scan) {
    EXPECT_EQ(volts[static_cast<size_t>(3 * scan)], static_cast<float>(scan * 0.001)) << scan;
    EXPECT_EQ(volts[static_cast<size_t>(3 * scan + 1)], 1.234f);
    EXPECT_EQ(volts[static_cast<size_t>(3 * scan + 2)], 4.095f);
  }
  EXPECT_EQ(volts[240], -1.0f) << "nothing beyond the samples read";
}

// Three channels: a short first packet counts its whole scans; a dry stream leaves the count.
TEST_F(StreamTest, ShortOrDryStreamsGive18AndTooFewSamples19) {
  struct Case {
    const char* what;
    bool shortReply;
    int32_t scanLimit, samples, result, scansRead;
  };
  const Case cases[] = {
      {"the first packet brings 30 of 60 bytes", true, -1, 100, 18, 5},
      {"one packet of 10 scans", false, 10, 100, 18, -1},
      {"42 samples", false, -1, 42, 19, -1},
      {"-100 samples", false, -1, -100, 19, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    sim->module(0).streamScanLimit = c.scanLimit;
    int32_t actual = 0;
    ASSERT_EQ(Vonmod_AIStartStream(&session, 0, 3, 0, 1000, &actual, 0), 0);
    if (c.shortReply) sim->inject(Fault::ShortReply);
    sim->clearCalls();
    std::vector<float> volts(300);
    int32_t scansRead = -1;
    EXPECT_EQ(Vonmod_AIGetScans(&session, c.samples, 10, volts.data(), &scansRead), c.result);
    EXPECT_EQ(scansRead, c.scansRead);
    if (c.shortReply) {
      EXPECT_EQ(streamReads().size(), 1u);
    }
  }
}

TEST_F(StreamTest, StopSendsStopAndDrainsEachStreamPipe) {
  int32_t actual = 0;
  ASSERT_EQ(Vonmod_AIStartStream(&session, 0, 1, 0, 1000, &actual, 0), 0);
  sim->module(0).streamScanLimit = 32;  // one packet reaches EP2 only
  std::vector<float> volts(128);
  int32_t scansRead = 0;
  ASSERT_EQ(Vonmod_AIGetScans(&session, 128, 10, volts.data(), &scansRead), 18);
  sim->module(0).streamScanLimit = -1;
  const auto streamPipes = [&] {
    std::vector<int32_t> out;
    for (const auto& p : sim->openPipes())
      if (p.endpoint >= 2) out.push_back(p.handle);
    return out;
  }();
  ASSERT_EQ(streamPipes.size(), 4u);
  sim->clearCalls();
  ASSERT_EQ(Vonmod_AIStopStream(&session), 0);
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0x33}}));
  EXPECT_FALSE(sim->streaming(0));
  // The module had begun packet 1 for EP3.. EP5 when it stopped: one leftover packet each.
  std::vector<int> readsPerPipe(4, 0);
  for (const Call& read : streamReads()) {
    EXPECT_EQ(read.length, 64);
    EXPECT_EQ(read.timeoutMs, 300);
    for (size_t i = 0; i < 4; ++i)
      if (read.handle == streamPipes[i]) ++readsPerPipe[i];
  }
  EXPECT_EQ(readsPerPipe, (std::vector<int>{1, 2, 2, 2}));
  EXPECT_EQ(closed(), streamPipes);
  EXPECT_EQ(sim->openPipes().size(), 2u);
  EXPECT_EQ(Vonmod_AIStopStream(&session), 0) << "a second stop has nothing to drain";
}

TEST_F(StreamTest, ContinuousStopReportsCounterDeltaAndTrailer) {
  struct Case {
    uint16_t before, after;
    int32_t delta;
  };
  const Case cases[] = {{100, 350, 250}, {65000, 100, 635}, {500, 500, 65535}};
  for (const Case& c : cases) {
    sim->module(0).counter = c.before;
    sim->module(0).trailerWord = 0x1234;
    ASSERT_EQ(Vonmod_AIStartContinuous(&session, 1, 3), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0x35, 1, 3}));
    EXPECT_EQ(sim->openPipes().size(), 6u);
    sim->module(0).counter = c.after;
    int32_t delta = 0, trailer = 0;
    ASSERT_EQ(Vonmod_AIStopContinuous(&session, &delta, &trailer), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0x36}));
    EXPECT_EQ(delta, c.delta);
    EXPECT_EQ(trailer, 0x1234);
    EXPECT_EQ(sim->openPipes().size(), 2u);
  }
  EXPECT_EQ(Vonmod_AIStartContinuous(&session, 0, 9), 11);
}

TEST_F(StreamTest, FailedStopReturnsAtOnceAndReleaseStillFreesTheStreamPipes) {
  int32_t actual = 0;
  ASSERT_EQ(Vonmod_AIStartStream(&session, 0, 1, 0, 1000, &actual, 0), 0);
  sim->inject(Fault::FailRead);
  EXPECT_EQ(Vonmod_AIStopStream(&session), 7);
  EXPECT_EQ(session.readPipe, -1);
  EXPECT_NE(session.writePipe, -1) << "a stop only returns the code";
  EXPECT_EQ(sim->openPipes().size(), 5u);
  EXPECT_EQ(Vonmod_ReleaseDevice(&session), 8);
  EXPECT_TRUE(sim->openPipes().empty());

  VonmodSession closedInstance = session;
  closedInstance.instance = -1;
  EXPECT_EQ(Vonmod_AIStopStream(&closedInstance), 5);
  int32_t delta = 0, trailer = 0;
  EXPECT_EQ(Vonmod_AIStopContinuous(&closedInstance, &delta, &trailer), 5);
}

}  // namespace
}  // namespace vonmod_test
