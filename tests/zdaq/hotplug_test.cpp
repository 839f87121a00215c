#include <gtest/gtest.h>

#include <chrono>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/identifiers.h"

namespace zdaq::testing {
namespace {

class HotPlugTest : public SimulatedDeviceTest {
 protected:
  void SetUp() override {
    SimulatedDeviceTest::SetUp();
    enumSink = std::make_shared<CountingEnumSink>();
    enumerator->Advise(enumSink);
    deviceSink = std::make_shared<CountingDeviceSink>();
    device->Advise(deviceSink);
  }
  // Waits for the notification and lets the enumerator apply it.
  void pump() {
    ASSERT_TRUE(WaitReadable(enumerator->EventDescriptor()));
    enumerator->ProcessEvents();
    device->ProcessEvents();
  }

  std::shared_ptr<CountingEnumSink> enumSink;
  std::shared_ptr<CountingDeviceSink> deviceSink;
};

TEST(EnumerationTest, DevicesWithoutNameOrPathAreSkipped) {
  auto system = SimulatedSystem::create(false);
  system->addDevice("/dev/zdaq0", "");
  system->addDevice("", "Nameless path");
  system->addDevice("/dev/zdaq2", "ZDaq DAQ-20");
  auto e = CreateObjectAs<ZzDaqEnum>("ZDaq.ZzDaqEnum", system->makeBackend());
  ASSERT_EQ(e->Devices()->Count(), 1);
  EXPECT_EQ(e->Devices()->Item(int32_t{1})->Interface(), "/dev/zdaq2");
  EXPECT_EQ(e->Devices()->Item(int32_t{1})->Name(), "ZDaq DAQ-20");
}

TEST_F(HotPlugTest, ArrivalAddsANewDeviceAtTheEndButNotAListedPathAgain) {
  auto leaving = std::make_shared<CountingEnumSink>();  // taken back: hears nothing
  const uint32_t cookie = enumerator->Advise(leaving);
  enumerator->Unadvise(cookie);
  system->addDevice(kPath, kName);  // heard once by the listing, once by the monitor
  pump();
  EXPECT_EQ(enumerator->Devices()->Count(), 1);
  EXPECT_EQ(enumerator->Devices()->Item(int32_t{1}), device);
  EXPECT_EQ(enumSink->changes, 1);
  device->Open();
  system->addDevice("/dev/zdaq7", "Second unit");
  pump();
  auto devices = enumerator->Devices();
  ASSERT_EQ(devices->Count(), 2);
  EXPECT_EQ(devices->Item(int32_t{2})->Interface(), "/dev/zdaq7");
  EXPECT_EQ(enumSink->changes, 2);
  EXPECT_EQ(deviceSink->log, "C");  // the set of device nodes changed
  // A closed device hears nothing.
  device->Close();
  system->addDevice("/dev/zdaq8", "Third unit");
  pump();
  EXPECT_EQ(deviceSink->log, "C");
  EXPECT_EQ(enumSink->changes, 3);
  EXPECT_EQ(leaving->changes, 0);
  EXPECT_ZDAQ_ERROR(enumerator->Unadvise(cookie), 0x80070057, "A parameter is invalid.",
                    "IZzDaqEnum");
  EXPECT_ZDAQ_ERROR(device->Advise(nullptr), 0x80070057, "A parameter is invalid.", "IZzDaqDevice");
}

// A handler that drops the last reference to the enumerator while more events wait.
struct ReleasingEnumSink : ZzDaqEnumEvents {
  void OnChange() override {
    ++changes;
    owner.reset();
  }
  std::shared_ptr<ZzDaqEnum> owner;
  int changes = 0;
};

TEST_F(HotPlugTest, AHandlerMayReleaseTheEnumerator) {
  auto sink = std::make_shared<ReleasingEnumSink>();
  enumerator->Advise(sink);
  system->removeDevice(kPath);  // a replug: removal and arrival wait together
  system->addDevice(kPath, kName);
  ASSERT_TRUE(WaitReadable(enumerator->EventDescriptor()));
  ZzDaqEnum* raw = enumerator.get();
  std::weak_ptr<ZzDaqEnum> weak = enumerator;
  sink->owner = std::move(enumerator);
  raw->ProcessEvents();
  EXPECT_EQ(sink->changes, 2);  // both applied, on a live enumerator
  EXPECT_TRUE(weak.expired());
}

TEST_F(HotPlugTest, RemovalAnnouncedThenCancelledThenUnannounced) {
  device->Open();
  point(10)->Configuration(kDifferentialAnalogInput);
  point(9)->SamplingEnabled(1);
  device->StartSampling();
  auto p9 = point(9);

  // The handle goes first: the device reads as removed but stays listed.
  system->queryRemove(kPath);
  pump();
  EXPECT_EQ(enumerator->Devices()->Count(), 1);
  EXPECT_EQ(enumSink->changes, 0);
  EXPECT_TRUE(DeviceInternals::isOpen(*device));
  const char* removed = "The device has been removed from the system.";
  EXPECT_ZDAQ_ERROR(device->IoPoints(), 0x8004B00C, removed, "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(p9->Value(), 0x8004B00C, removed, "IZzIoPoint");
  EXPECT_EQ(device->SamplingEnabled(), 0);
  EXPECT_FALSE(sim->opened());

  // The handle returns: the device reopens with its configuration; the client starts again.
  system->returnHandle(kPath);
  pump();
  EXPECT_EQ(point(10)->Configuration(), kDifferentialAnalogInput);
  point(9)->SamplingEnabled(1);
  device->StartSampling();
  produceAndWait(2);
  EXPECT_EQ(device->GetSamples(5).samples(), 2);
  // A handle arrival for a device that holds one changes nothing.
  system->returnHandle(kPath);
  pump();
  EXPECT_EQ(device->SamplingEnabled(), 1);

  // Unplugged: before the enumerator hears of it the driver refuses; then the device is closed
  // before the change is told, and leaves the collection.
  p9 = point(9);
  system->removeDevice(kPath);
  EXPECT_ZDAQ_ERROR(p9->Value(), 0x80070013, "No such device", "IZzIoPoint");
  deviceSink->log.clear();
  pump();
  EXPECT_EQ(enumerator->Devices()->Count(), 0);
  EXPECT_EQ(enumSink->changes, 1);
  EXPECT_FALSE(DeviceInternals::isOpen(*device));
  EXPECT_EQ(deviceSink->log, "");
  EXPECT_ZDAQ_ERROR(p9->Value(), 0x8004B00D, "The device is not open.", "IZzIoPoint");

  // Plugged in again: a new object at the end; the old one stays closed.
  system->addDevice(kPath, kName);
  pump();
  ASSERT_EQ(enumerator->Devices()->Count(), 1);
  auto returned = enumerator->Devices()->Item(int32_t{1});
  EXPECT_NE(returned, device);
  returned->Open();
  EXPECT_EQ(returned->IoPoints()->Count(), 20);
  EXPECT_EQ(enumSink->changes, 2);
  // Releasing everything in any order is safe.
  device.reset();
  enumerator.reset();
  EXPECT_ZDAQ_ERROR(p9->Value(), 0x8004B00D, "The device is not open.", "IZzIoPoint");
}

// The natural client: every data notice is answered with GetSamples.
struct FetchingSink : CountingDeviceSink {
  void OnDataAvailable() override {
    CountingDeviceSink::OnDataAvailable();
    fetched += device.lock()->GetSamples(100).samples();
  }
  std::weak_ptr<ZzDaqDevice> device;  // the device holds its sinks
  int fetched = 0;
};

// A data notice and a change wait together; a stop drops the data notice, a close drops both.
TEST_F(HotPlugTest, NoticesPostedBeforeStopOrCloseAreDropped) {
  auto sink = std::make_shared<FetchingSink>();
  sink->device = device;
  device->Advise(sink);
  for (const bool close : {false, true}) {
    SCOPED_TRACE(close ? "Close" : "StopSampling");
    device->Open();
    point(9)->SamplingEnabled(1);
    device->StartSampling();
    produceAndWait(3);
    system->addDevice(close ? "/dev/zdaq11" : "/dev/zdaq12", "Another unit");
    pump();
    EXPECT_EQ(sink->log, "DC");  // delivered while true: the data notice, then the change
    produceAndWait(2);
    system->addDevice(close ? "/dev/zdaq13" : "/dev/zdaq14", "Another unit");
    ASSERT_TRUE(WaitReadable(enumerator->EventDescriptor()));
    enumerator->ProcessEvents();
    sink->log.clear();
    if (close)
      device->Close();
    else
      device->StopSampling();
    device->ProcessEvents();
    EXPECT_EQ(sink->log, close ? "" : "C");
    sink->log.clear();
    if (!close) device->Close();
  }
  EXPECT_EQ(sink->fetched, 6);
}

// Every open device, sampling or not, closes for a sleep; a closed one stays closed. (A second
// sleep is the logind test's.)
TEST_F(HotPlugTest, SuspendClosesEveryOpenDeviceAndResumeOpensThemAgain) {
  auto second = system->addDevice("/dev/zdaq1", "Second unit");
  pump();
  deviceSink->log.clear();
  auto other = enumerator->Devices()->Item(int32_t{2});
  EXPECT_EQ(system->sleepHolds(), 0);  // nothing open: nothing to close before a sleep
  device->Open();
  other->Open();
  EXPECT_EQ(system->sleepHolds(), 1);
  point(9)->SamplingEnabled(1);
  device->StartSampling();
  // Nobody pumps the enumerator: the library closes the devices itself.
  system->suspend();
  EXPECT_TRUE(DeviceInternals::isOpen(*device)) << "open to its client, without a handle";
  EXPECT_FALSE(sim->opened());
  EXPECT_FALSE(second->opened());
  system->resume();
  EXPECT_TRUE(sim->opened());
  EXPECT_TRUE(second->opened());
  EXPECT_EQ(device->IoPoints()->Count(), 20);
  EXPECT_EQ(device->SamplingEnabled(), 0);  // the client starts again when told
  device->ProcessEvents();
  EXPECT_EQ(deviceSink->log, "C");
  deviceSink->log.clear();
  device->Close();
  EXPECT_EQ(system->sleepHolds(), 1);
  other->Close();
  EXPECT_EQ(system->sleepHolds(), 0);
  system->suspend();
  system->resume();
  EXPECT_FALSE(sim->opened());
  device->ProcessEvents();
  EXPECT_EQ(deviceSink->log, "");
}

}  // namespace
}  // namespace zdaq::testing
