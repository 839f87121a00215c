// Streaming: start request, rate limits, scan retrieval from the four stream pipes, and stop.

#include "tests/vonmod/sim_fixture.h"

namespace vonmod_test {
namespace {

class StreamTest : public SimModuleTest {
 protected:
  void start(int32_t first, int32_t count) {
    int32_t actual = 0;
    ASSERT_EQ(Vonmod_AIStartStream(&session, first, count, 0, 1000, &actual, 0), 0);
  }
  std::vector<Call> streamReads() const { return callsOf(Call::ReadInt); }
};

// The start request carries the timer reload and prescaler. The highest scan rate for 1 to 8
// channels passes and one scan a second above it is refused, as are bad channels and fewer than
// 128 samples a second; a refused start opens and sends nothing.
TEST_F(StreamTest, StartRequestOrRefusal) {
  struct Case {
    int32_t first, count, rate, option, expected;
    Bytes wire;  // empty: not compared
    int32_t actual;
  };
  // 100: base 120000, k = 1. 5000: k = 0, fast. 3000 is not fast. 7000: 12 MHz / 1714. 16: k = 4.
  std::vector<Case> cases = {{0, 2, 100, 0, 0, {0x32, 0, 1, 0x15, 0x9F, 0xF0, 0, 0}, 100},
                             {2, 3, 5000, 5, 0, {0x32, 2, 4, 0xF6, 0x9F, 0xFF, 1, 1}, 5000},
                             {0, 1, 3000, 0, 0, {0x32, 0, 0, 0xF0, 0x5F, 0xFF, 0, 0}, 3000},
                             {0, 1, 7000, 0, 0, {0x32, 0, 0, 0xF9, 0x4D, 0xFF, 1, 0}, 7001},
                             {0, 8, 16, 0, 0, {0x32, 0, 7, 0x48, 0xE4, 0xF3, 0, 0}, 16}};
  // First channel, channels, scan rate, result.
  const int32_t refused[][4] = {{0, 8, 15, 19},        {0, 1, 127, 19},  {0, 0, 1000, 19},
                                {0, 1, -5, 19},        {8, 1, 1000, 11}, {-1, 1, 1000, 11},
                                {0, 9, 100, 11},       {7, 2, 100, 11},  {0, -1, 100, 11},
                                {0, 8, 2147483647, 20}};
  for (const auto& r : refused) cases.push_back({r[0], r[1], r[2], 0, r[3], {}, -1});
  const std::pair<int32_t, int32_t> limits[] = {{15000, 15000}, {10000, 10000}, {7200, 7202},
                                                {6300, 6302},   {5800, 5802},   {5500, 5502},
                                                {5000, 5000},   {4500, 4501}};
  for (int32_t n = 1; n <= 8; ++n) {
    cases.push_back({0, n, limits[n - 1].first, 0, 0, {}, limits[n - 1].second});
    cases.push_back({0, n, limits[n - 1].first + 1, 0, 20, {}, -1});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.first << "+" << c.count << " @ " << c.rate);
    sim->clearCalls();
    int32_t actual = -1;
    EXPECT_EQ(Vonmod_AIStartStream(&session, c.first, c.count, 99, c.rate, &actual, c.option),
              c.expected);
    EXPECT_EQ(actual, c.actual);
    EXPECT_TRUE(c.expected == 0 || sim->calls().empty()) << "nothing opened, nothing sent";
    if (!c.wire.empty()) {
      EXPECT_EQ(lastRequest(), c.wire);
    }
    ASSERT_EQ(Vonmod_AIStopStream(&session), 0);
  }
  // A refused stream pipe: nothing is sent, and the stop closes the ones that opened.
  sim->clearCalls();
  sim->refuseOpen("\\MCHP_EP4_ASYNC", MPUSB_READ);
  int32_t actual = 0;
  EXPECT_EQ(Vonmod_AIStartStream(&session, 0, 1, 0, 1000, &actual, 0), 5);
  EXPECT_EQ(sim->openPipes().size(), 4u);  // command pipes and EP2, EP3
  EXPECT_TRUE(callsOf(Call::Write).empty());
  ASSERT_EQ(Vonmod_AIStopStream(&session), 0);
  EXPECT_EQ(sim->openPipes().size(), 2u);
}

TEST_F(StreamTest, ThreeChannelsComeInPassesOfFourReadsUntilAShortPacket) {
  sim->module(0).analog[2] = {mpusbsim::Wave::Ramp, 0, 4000, 4000};  // count = scan index
  sim->module(0).analog[3] = {mpusbsim::Wave::Constant, 1234};
  sim->module(0).analog[4] = {mpusbsim::Wave::Constant, 4095};
  start(2, 3);
  sim->clearCalls();
  std::vector<float> volts(301, -1.0f);
  int32_t scansRead = -1;
  ASSERT_EQ(Vonmod_AIGetScans(&session, 100, 250, volts.data(), &scansRead), 0);
  EXPECT_EQ(scansRead, 80);
  const auto reads = streamReads();
  ASSERT_EQ(reads.size(), 8u);
  EXPECT_EQ(reads.back().length, 60);
  EXPECT_EQ(reads.back().timeoutMs, 250);
  for (int scan = 0; scan < 80; ++scan) {
    EXPECT_EQ(volts[static_cast<size_t>(3 * scan)], static_cast<float>(scan * 0.001)) << scan;
    EXPECT_EQ(volts[static_cast<size_t>(3 * scan + 1)], 1.234f);
    EXPECT_EQ(volts[static_cast<size_t>(3 * scan + 2)], 4.095f);
  }
  EXPECT_EQ(volts[240], -1.0f) << "nothing beyond the samples read";
  // A short packet ends the call with the whole scans it brought; fewer than 128 samples are
  // refused. (A stream that runs dry is in the stop's test.)
  sim->inject(Fault::ShortReply);  // the first packet brings 30 of 60 bytes
  sim->clearCalls();
  scansRead = -1;
  EXPECT_EQ(Vonmod_AIGetScans(&session, 100, 10, volts.data(), &scansRead), 18);
  EXPECT_EQ(scansRead, 5);
  EXPECT_EQ(streamReads().size(), 1u);
  scansRead = -1;
  EXPECT_EQ(Vonmod_AIGetScans(&session, 42, 10, volts.data(), &scansRead), 19);
  EXPECT_EQ(scansRead, -1);
}

TEST_F(StreamTest, StopSendsStopAndDrainsEachStreamPipeOrReturnsItsFailure) {
  start(0, 1);
  sim->module(0).streamScanLimit = 32;  // one packet reaches EP2 only
  std::vector<float> volts(128);
  int32_t scansRead = 0;
  ASSERT_EQ(Vonmod_AIGetScans(&session, 128, 10, volts.data(), &scansRead), 18);
  sim->module(0).streamScanLimit = -1;
  sim->clearCalls();
  ASSERT_EQ(Vonmod_AIStopStream(&session), 0);
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0x33}}));
  EXPECT_EQ(sim->openPipes().size(), 2u) << "the command pipes stay";
  const std::vector<int32_t> p = closed();  // EP2..EP5
  ASSERT_EQ(p.size(), 4u);
  // The module had begun packet 1 for EP3..EP5 when it stopped: one leftover packet each, and
  // each pipe is read until it comes up empty.
  std::vector<int32_t> reads;
  for (const Call& read : streamReads()) reads.push_back(read.handle);
  EXPECT_EQ(reads, (std::vector<int32_t>{p[0], p[1], p[1], p[2], p[2], p[3], p[3]}));
  EXPECT_EQ(streamReads().back().timeoutMs, 300);
  EXPECT_EQ(Vonmod_AIStopStream(&session), 0) << "a second stop has nothing to drain";

  // A failed stop only returns its code: the command pipe stays open.
  start(0, 1);
  sim->inject(Fault::FailRead);
  EXPECT_EQ(Vonmod_AIStopStream(&session), 7);
  EXPECT_EQ(session.readPipe, -1);
  EXPECT_NE(session.writePipe, -1);
}

TEST_F(StreamTest, ContinuousStopReportsCounterDeltaAndTrailer) {
  struct Case {
    uint16_t before, after;
    int32_t delta;
  };
  const Case cases[] = {{100, 350, 250}, {65000, 100, 635}, {500, 500, 65535}};
  sim->module(0).trailerWord = 0x1234;
  for (const Case& c : cases) {
    sim->module(0).counter = c.before;
    ASSERT_EQ(Vonmod_AIStartContinuous(&session, 1, 3), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0x35, 1, 3}));
    sim->module(0).counter = c.after;
    int32_t delta = 0, trailer = 0;
    ASSERT_EQ(Vonmod_AIStopContinuous(&session, &delta, &trailer), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0x36}));
    EXPECT_EQ(delta, c.delta);
    EXPECT_EQ(trailer, 0x1234);
    EXPECT_EQ(sim->openPipes().size(), 2u);
  }
}

}  // namespace
}  // namespace vonmod_test
