#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/driver_abi.h"
#include "zdaq/identifiers.h"
#include "zdaq/src/setup_request.h"

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
};

// The set-up names each enabled point with its configuration, then sampling starts. (The
// request's byte layout is the set-up request's own test; the data-ready event it names is the
// one every sampling test waits on.)
TEST_F(SamplingTest, StartSetsUpTheEnabledPointsUpToTheLast) {
  device->Open();
  point(10)->Configuration(kDifferentialAnalogInput);
  point(10)->SamplingEnabled(1);
  point(20)->SamplingEnabled(1);
  device->SamplingInterval(0.01);
  sim->clearRecords();
  device->StartSampling();
  auto records = sim->records();
  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(records.back(), (ControlRecord{0x222030, {}, 0}));  // the start, after the set-up
  records.pop_back();
  EXPECT_EQ(records.back().code, 0x22202Cu);
  const auto setup = ParseSetupRequest(records.back().input);
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->interval, 100000);
  EXPECT_EQ(setup->entries, (std::vector<SetupEntry>{{10, 0x40000003}, {20, Id(0xC0000005)}}));
}

// Points in the order of IoPoints, by samples; at most what the ring holds.
TEST_F(SamplingTest, SamplesArriveInOrderAsPointsBySamples) {
  start({9, 10, 2});
  EXPECT_EQ(device->GetSamples(5).samples(), 0);  // empty ring: n x 0
  EXPECT_EQ(device->GetSamples(5).points(), 3);
  produceAndWait(7);
  const SampleArray a = device->GetSamples(5);
  ASSERT_EQ(a.points(), 3);
  ASSERT_EQ(a.samples(), 5);
  EXPECT_EQ(a.lowerBound(1), 1);
  EXPECT_EQ(a.upperBound(2), 5);
  for (int32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(a.at(1, k + 1), (k >> 1) & 1) << k;
    EXPECT_EQ(a.at(2, k + 1), SimulatedDevice::inputValue(9, static_cast<uint64_t>(k))) << k;
    EXPECT_EQ(a.at(3, k + 1), SimulatedDevice::inputValue(10, static_cast<uint64_t>(k))) << k;
  }
  const SampleArray rest = device->GetSamples(INT32_MAX);
  ASSERT_EQ(rest.samples(), 2);
  EXPECT_EQ(rest.at(2, 1), SimulatedDevice::inputValue(9, 5));
  EXPECT_EQ(device->GetSamples(0).samples(), 0);
  EXPECT_ZDAQ_ERROR(device->GetSamples(-1), 0x80070057, "A parameter is invalid.", "IZzDaqDevice");
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
  point(9)->SamplingEnabled(1);
  // A failed start, put through SamplingEnabled too, is reported and leaves sampling off.
  sim->failControl(ZDAQ_CTL_START_SAMPLING, EIO);
  EXPECT_ZDAQ_ERROR(device->SamplingEnabled(1), 0x80070005, "Input/output error", "IZzDaqDevice");
  EXPECT_EQ(device->SamplingEnabled(), 0);
  sim->failControl(ZDAQ_CTL_START_SAMPLING, 0);
  device->StopSampling();  // allowed while not sampling, and does not end the next start
  device->StartSampling();
  EXPECT_ZDAQ_ERROR(device->StartSampling(), 0x8004B00F, "Sampling has already been started.",
                    "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->SamplingInterval(0.5), 0x8004B00F, "Sampling has already been started.",
                    "IZzDaqDevice");
  produceAndWait(2);
  // A failed stop keeps sampling on.
  sim->failControl(ZDAQ_CTL_STOP_SAMPLING, EIO);
  EXPECT_ZDAQ_ERROR(device->StopSampling(), 0x80070005, "Input/output error", "IZzDaqDevice");
  EXPECT_EQ(device->SamplingEnabled(), 1);
  sim->failControl(ZDAQ_CTL_STOP_SAMPLING, 0);
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
  // Close goes through whatever the driver answers.
  sim->failControl(ZDAQ_CTL_STOP_SAMPLING, EIO);
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
