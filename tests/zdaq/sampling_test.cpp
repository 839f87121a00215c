#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <string>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/driver_abi.h"
#include "zdaq/identifiers.h"

namespace zdaq::testing {
namespace {

using std::chrono::milliseconds;

class SamplingTest : public SimulatedDeviceTest {
 protected:
  // Opens, enables the given points and starts sampling.
  void start(std::initializer_list<int32_t> ids, double interval = 0.01) {
    device->Open();
    for (int32_t id : ids) point(id)->SamplingEnabled(1);
    device->SamplingInterval(interval);
    device->StartSampling();
  }
  void produceAndWait(uint32_t count) {
    const uint64_t before = DeviceInternals::samplesAccepted(*device);
    sim->produce(count);
    ASSERT_TRUE(
        DeviceInternals::waitSamplesAccepted(*device, before + count, milliseconds(kWaitMs)));
  }
};

std::string EventTarget(int fd) {
  char link[64] = {};
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
  return n > 0 ? std::string(link, static_cast<size_t>(n)) : std::string();
}

TEST_F(SamplingTest, SetupRequestForPoints9And10) {
  device->Open();
  point(9)->Configuration(0x40000002);
  point(10)->Configuration(0x40000002);
  point(9)->SamplingEnabled(1);
  point(10)->SamplingEnabled(1);
  device->SamplingInterval(0.01);
  sim->clearRecords();
  device->StartSampling();

  const auto records = sim->records();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0], (ControlRecord{0x222098, Words({9}), 4}));
  EXPECT_EQ(records[1], (ControlRecord{0x222098, Words({10}), 4}));
  EXPECT_EQ(records[3], (ControlRecord{0x222030, {}, 0}));
  const auto& setup = records[2];
  EXPECT_EQ(setup.code, 0x22202Cu);
  ASSERT_EQ(setup.input.size(), 32u);
  // The handle field names our data-ready eventfd; the rest is fixed.
  int fd = 0;
  for (int i = 0; i < 4; ++i) fd |= std::to_integer<int>(setup.input[2 + i]) << (8 * i);
  EXPECT_EQ(EventTarget(fd), "anon_inode:[eventfd]");
  auto expected = Bytes({0x00, 0x00, 0, 0, 0, 0, 0xA0, 0x86, 0x01, 0, 0, 0, 0, 0, 0x02, 0x00});
  std::copy_n(setup.input.begin() + 2, 4, expected.begin() + 2);
  const auto points = Words({9, 0x40000002, 10, 0x40000002});
  expected.insert(expected.end(), points.begin(), points.end());
  EXPECT_EQ(setup.input, expected);
  EXPECT_EQ(device->SamplingEnabled(), 1);
  EXPECT_TRUE(sim->sampling());
}

TEST_F(SamplingTest, SamplesArriveInOrderAsPointsBySamples) {
  start({9, 10, 2});
  produceAndWait(3);
  const SampleArray a = device->GetSamples(100);
  ASSERT_EQ(a.points(), 3);
  ASSERT_EQ(a.samples(), 3);
  EXPECT_EQ(a.lowerBound(1), 1);
  EXPECT_EQ(a.upperBound(2), 3);
  // Points in the order of IoPoints: 2, 9, 10.
  for (int32_t k = 0; k < 3; ++k) {
    EXPECT_EQ(a.at(1, k + 1), (k >> 1) & 1) << k;
    EXPECT_EQ(a.at(2, k + 1), SimulatedDevice::inputValue(9, static_cast<uint64_t>(k))) << k;
    EXPECT_EQ(a.at(3, k + 1), SimulatedDevice::inputValue(10, static_cast<uint64_t>(k))) << k;
  }
}

TEST_F(SamplingTest, GetSamplesReturnsAtMostWhatTheRingHolds) {
  start({9, 10});
  EXPECT_EQ(device->GetSamples(5).samples(), 0);  // empty ring: n x 0
  EXPECT_EQ(device->GetSamples(5).points(), 2);
  produceAndWait(7);
  EXPECT_EQ(device->GetSamples(5).samples(), 5);
  const SampleArray rest = device->GetSamples(INT32_MAX);
  ASSERT_EQ(rest.samples(), 2);
  EXPECT_EQ(rest.at(1, 1), SimulatedDevice::inputValue(9, 5));
  EXPECT_EQ(device->GetSamples(0).samples(), 0);
  EXPECT_ZDAQ_ERROR(device->GetSamples(-1), 0x80070057, "A parameter is invalid.", "IZzDaqDevice");
}

TEST_F(SamplingTest, FullRingKeepsTheNewestWithTheMarker) {
  // Eight points: 10 000 samples fit.
  start({9, 10, 11, 12, 13, 14, 15, 16});
  produceAndWait(10005);
  const SampleArray a = device->GetSamples(20000);
  ASSERT_EQ(a.samples(), 9999);
  for (int32_t p = 1; p <= 8; ++p) EXPECT_EQ(a.at(p, 1), kSamplesDroppedMarker);
  // Samples 0..6 are gone (6 dropped, the 7th overwritten by the marker); 7..10004 remain.
  for (int32_t p = 1; p <= 8; ++p) {
    EXPECT_EQ(a.at(p, 2), SimulatedDevice::inputValue(8 + p, 7));
    EXPECT_EQ(a.at(p, 9999), SimulatedDevice::inputValue(8 + p, 10004));
  }
  for (int32_t s = 2; s <= 9999; ++s) ASSERT_NE(a.at(1, s), kSamplesDroppedMarker) << s;
  EXPECT_EQ(device->GetSamples(1).samples(), 0);
}

TEST_F(SamplingTest, OneNotificationUntilSamplesAreFetched) {
  auto sink = std::make_shared<CountingDeviceSink>();
  device->Advise(sink);
  start({9});
  produceAndWait(5);
  ASSERT_TRUE(WaitReadable(device->EventDescriptor()));
  device->ProcessEvents();
  EXPECT_EQ(sink->log, "D");
  produceAndWait(5);
  produceAndWait(5);
  device->ProcessEvents();
  EXPECT_EQ(sink->log, "D");  // still pending: no second notice
  EXPECT_FALSE(WaitReadable(device->EventDescriptor(), 0));
  EXPECT_EQ(device->GetSamples(100).samples(), 15);
  produceAndWait(1);
  ASSERT_TRUE(WaitReadable(device->EventDescriptor()));
  device->ProcessEvents();
  EXPECT_EQ(sink->log, "DD");
}

TEST_F(SamplingTest, FailedReadShowsAsOneMarkedSample) {
  start({9, 10});
  sim->failReads(1, EIO);
  produceAndWait(3);  // the failed read adds the marker; the next read takes the 3 samples
  ASSERT_TRUE(DeviceInternals::waitSamplesAccepted(*device, 4, milliseconds(kWaitMs)));
  const SampleArray a = device->GetSamples(10);
  ASSERT_EQ(a.samples(), 4);
  EXPECT_EQ(a.at(1, 1), kFailedReadMarker);
  EXPECT_EQ(a.at(2, 1), kFailedReadMarker);
  EXPECT_EQ(a.at(1, 2), SimulatedDevice::inputValue(9, 0));
  EXPECT_EQ(device->SamplingEnabled(), 1);  // sampling goes on
}

TEST_F(SamplingTest, ReadsThatKeepFailingDoNotSpin) {
  start({9}, /*interval=*/0.5);
  sim->failReads(1000000, EIO);
  sim->produce(1);  // data-ready stays set: every read fails and takes nothing
  ASSERT_TRUE(DeviceInternals::waitSamplesAccepted(*device, 1, milliseconds(kWaitMs)));
  // The next attempt waits one interval; a spinning thread would have made thousands.
  EXPECT_FALSE(DeviceInternals::waitSamplesAccepted(*device, 3, milliseconds(100)));
  EXPECT_LE(sim->readsIssued(), 2u);
  // The retry wait ends on stop, and the next start samples normally.
  device->StopSampling();
  sim->failReads(0, 0);
  device->StartSampling();
  produceAndWait(2);
  const SampleArray a = device->GetSamples(10);
  ASSERT_EQ(a.samples(), 2);
  EXPECT_EQ(a.at(1, 1), SimulatedDevice::inputValue(9, 0));
}

TEST_F(SamplingTest, ReadsOnlyWhenTheDriverSignalsAndPendingReadsCompleteThroughTheirEvent) {
  start({9, 10});
  for (int batch = 0; batch < 3; ++batch) produceAndWait(10);
  // One read per batch: the thread waits on the data-ready event and never polls.
  EXPECT_EQ(sim->readsIssued(), 3u);
  EXPECT_EQ(sim->lastReadSlots(), 40000u - 20u);
  sim->pendReads(2);
  produceAndWait(4);
  const SampleArray a = device->GetSamples(100);
  ASSERT_EQ(a.samples(), 34);
  EXPECT_EQ(a.at(1, 34), SimulatedDevice::inputValue(9, 33));
}

TEST_F(SamplingTest, StopStartAndInterval) {
  device->Open();
  sim->clearRecords();
  // No enabled point: refused before anything reaches the driver.
  EXPECT_ZDAQ_ERROR(device->StartSampling(), 0x8004B010, "No I/O points specified.",
                    "IZzDaqDevice");
  EXPECT_TRUE(sim->records().empty());
  EXPECT_EQ(device->SamplingEnabled(), 0);
  point(9)->SamplingEnabled(1);
  device->StopSampling();  // allowed while not sampling, and does not end the next start
  device->StartSampling();
  EXPECT_ZDAQ_ERROR(device->StartSampling(), 0x8004B00F, "Sampling has already been started.",
                    "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->SamplingInterval(0.5), 0x8004B00F, "Sampling has already been started.",
                    "IZzDaqDevice");
  produceAndWait(2);
  sim->clearRecords();
  device->SamplingEnabled(0);
  EXPECT_EQ(sim->records(), (std::vector<ControlRecord>{{0x222034, {}, 0}}));
  EXPECT_EQ(device->SamplingEnabled(), 0);
  EXPECT_FALSE(sim->sampling());
  EXPECT_ZDAQ_ERROR(device->GetSamples(1), 0x8004B011, "Sampling has not started.", "IZzDaqDevice");
  device->SamplingInterval(0.5);
  // Restarting begins with an empty ring.
  device->SamplingEnabled(1);
  EXPECT_EQ(device->GetSamples(10).samples(), 0);
  produceAndWait(1);
  EXPECT_EQ(device->GetSamples(10).at(1, 1), SimulatedDevice::inputValue(9, 0));
}

TEST_F(SamplingTest, FailedStartReportsAndLeavesSamplingOff) {
  device->Open();
  point(9)->SamplingEnabled(1);
  sim->failControl(ZDAQ_CTL_START_SAMPLING, EIO);
  // Put through SamplingEnabled: the failure is reported, not swallowed.
  EXPECT_ZDAQ_ERROR(device->SamplingEnabled(1), 0x80070005, "Input/output error", "IZzDaqDevice");
  EXPECT_EQ(device->SamplingEnabled(), 0);
  sim->failControl(ZDAQ_CTL_START_SAMPLING, 0);
  sim->failControl(ZDAQ_CTL_SETUP_SAMPLING, EINVAL);  // a set-up the driver refuses
  EXPECT_ZDAQ_ERROR(device->StartSampling(), 0x80070016, "Invalid argument", "IZzDaqDevice");
  EXPECT_EQ(device->SamplingEnabled(), 0);
  sim->failControl(ZDAQ_CTL_SETUP_SAMPLING, 0);
  device->StartSampling();
  EXPECT_EQ(device->SamplingEnabled(), 1);
  // A failed stop keeps sampling on.
  sim->failControl(ZDAQ_CTL_STOP_SAMPLING, EIO);
  EXPECT_ZDAQ_ERROR(device->StopSampling(), 0x80070005, "Input/output error", "IZzDaqDevice");
  EXPECT_EQ(device->SamplingEnabled(), 1);
  // Close goes through whatever the driver answers.
  device->Close();
  EXPECT_FALSE(sim->opened());
}

TEST_F(SamplingTest, RestartsWithOtherPointsWhileTheDriverDelivers) {
  auto live = SimulatedSystem::create(/*automatic=*/true);
  live->addDevice(kPath, kName);
  auto e =
      std::dynamic_pointer_cast<ZzDaqEnum>(CreateObject("ZDaq.ZzDaqEnum", live->makeBackend()));
  auto d = e->Devices()->Item(int32_t{1});
  d->Open();
  d->SamplingInterval(0.0001);
  for (int round = 0; round < 12; ++round) {
    // Alternate between one analog point and all eight, reshaping the ring each time.
    const int32_t last = round % 2 == 0 ? 9 : 16;
    for (int32_t id = 9; id <= 16; ++id) d->IoPoints()->Item(id)->SamplingEnabled(id <= last);
    d->StartSampling();
    ASSERT_TRUE(DeviceInternals::waitSamplesAccepted(*d, 20, milliseconds(kWaitMs)));
    const SampleArray a = d->GetSamples(100000);
    ASSERT_EQ(a.points(), last - 8);
    ASSERT_GE(a.samples(), 20);
    // Every value of a sample belongs to the same instant of the waveform.
    for (int32_t s = 1; s <= a.samples(); ++s)
      for (int32_t p = 2; p <= a.points(); ++p)
        ASSERT_EQ(a.at(p, s) - 100 * (p - 1), a.at(1, s)) << "round " << round << " sample " << s;
    d->StopSampling();
  }
  d->Close();
}

}  // namespace
}  // namespace zdaq::testing
