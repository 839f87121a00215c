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

TEST(EnumerationTest, NoDeviceGivesAnEmptyCollection) {
  auto system = SimulatedSystem::create(false);
  auto e =
      std::dynamic_pointer_cast<ZzDaqEnum>(CreateObject("ZDaq.ZzDaqEnum", system->makeBackend()));
  EXPECT_EQ(e->Devices()->Count(), 0);
  EXPECT_FALSE(WaitReadable(e->EventDescriptor(), 0));
}

TEST(EnumerationTest, DevicesWithoutNameOrPathAreSkipped) {
  auto system = SimulatedSystem::create(false);
  system->addDevice("/dev/zdaq0", "");
  system->addDevice("", "Nameless path");
  system->addDevice("/dev/zdaq2", "ZDaq DAQ-20");
  auto e =
      std::dynamic_pointer_cast<ZzDaqEnum>(CreateObject("ZDaq.ZzDaqEnum", system->makeBackend()));
  ASSERT_EQ(e->Devices()->Count(), 1);
  EXPECT_EQ(e->Devices()->Item(int32_t{1})->Interface(), "/dev/zdaq2");
  EXPECT_EQ(e->Devices()->Item(int32_t{1})->Name(), "ZDaq DAQ-20");
}

TEST_F(HotPlugTest, ArrivalAddsANewDeviceAtTheEnd) {
  system->addDevice("/dev/zdaq7", "Second unit");
  pump();
  auto devices = enumerator->Devices();
  ASSERT_EQ(devices->Count(), 2);
  EXPECT_EQ(devices->Item(int32_t{2})->Interface(), "/dev/zdaq7");
  EXPECT_EQ(devices->Item(int32_t{2})->Name(), "Second unit");
  EXPECT_EQ(enumSink->changes, 1);
  EXPECT_EQ(deviceSink->log, "C");  // the set of device nodes changed
}

TEST_F(HotPlugTest, ArrivalOfAListedPathAddsNothing) {
  system->addDevice(kPath, kName);  // heard once by the listing, once by the monitor
  pump();
  EXPECT_EQ(enumerator->Devices()->Count(), 1);
  EXPECT_EQ(enumerator->Devices()->Item(int32_t{1}), device);
  EXPECT_EQ(enumSink->changes, 1);
}

TEST_F(HotPlugTest, RemovalOfAnOpenDevice) {
  device->Open();
  point(9)->SamplingEnabled(1);
  device->StartSampling();
  auto p9 = point(9);

  // The handle goes first: the device reads as removed but stays listed.
  system->queryRemove(kPath);
  pump();
  EXPECT_EQ(enumerator->Devices()->Count(), 1);
  EXPECT_EQ(enumSink->changes, 0);
  EXPECT_TRUE(device->isOpen());
  const char* removed = "The device has been removed from the system.";
  EXPECT_ZDAQ_ERROR(device->IoPoints(), 0x8004B00C, removed, "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->GetSamples(1), 0x8004B00C, removed, "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->StartSampling(), 0x8004B00C, removed, "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(p9->Value(), 0x8004B00C, removed, "IZzIoPoint");
  EXPECT_EQ(device->SamplingEnabled(), 0);
  EXPECT_FALSE(sim->opened());

  // Removal complete: out of the collection and closed.
  system->removeDevice(kPath);
  pump();
  EXPECT_EQ(enumerator->Devices()->Count(), 0);
  EXPECT_EQ(enumSink->changes, 1);
  EXPECT_FALSE(device->isOpen());
  EXPECT_ZDAQ_ERROR(device->IoPoints(), 0x8004B00D, "The device is not open.", "IZzDaqDevice");

  // Plugged in again: a new object at the end; the old one stays closed.
  system->addDevice(kPath, kName);
  pump();
  ASSERT_EQ(enumerator->Devices()->Count(), 1);
  auto returned = enumerator->Devices()->Item(int32_t{1});
  EXPECT_NE(returned, device);
  returned->Open();
  EXPECT_EQ(returned->IoPoints()->Count(), 20);
  EXPECT_EQ(enumSink->changes, 2);
}

TEST_F(HotPlugTest, UnplugWithoutWarningClosesTheDevice) {
  device->Open();
  system->removeDevice(kPath);
  pump();
  EXPECT_EQ(enumerator->Devices()->Count(), 0);
  EXPECT_FALSE(device->isOpen());
  EXPECT_EQ(deviceSink->log, "C");
}

TEST_F(HotPlugTest, ReturnOfTheHandleReopens) {
  device->Open();
  point(10)->Configuration(kDifferentialAnalogInput);
  system->queryRemove(kPath);
  pump();
  EXPECT_FALSE(device->holdsHandle());
  system->returnHandle(kPath);
  pump();
  EXPECT_TRUE(device->holdsHandle());
  EXPECT_EQ(point(10)->Configuration(), kDifferentialAnalogInput);  // the device kept it
  point(9)->SamplingEnabled(1);
  device->StartSampling();
  sim->produce(2);
  ASSERT_TRUE(device->waitSamplesAccepted(2, std::chrono::milliseconds(kWaitMs)));
  EXPECT_EQ(device->GetSamples(5).samples(), 2);
  // A handle arrival for a device that is closed, or open with a handle, changes nothing.
  system->returnHandle(kPath);
  pump();
  EXPECT_TRUE(device->holdsHandle());
  EXPECT_EQ(device->SamplingEnabled(), 1);
}

TEST_F(HotPlugTest, SuspendClosesEveryOpenHandle) {
  auto second = system->addDevice("/dev/zdaq1", "Second unit");
  pump();
  auto other = enumerator->Devices()->Item(int32_t{2});
  device->Open();
  other->Open();
  point(9)->SamplingEnabled(1);
  device->StartSampling();
  system->suspend();
  pump();
  for (const auto& d : {device, other}) {
    EXPECT_TRUE(d->isOpen());
    EXPECT_FALSE(d->holdsHandle());
    EXPECT_ZDAQ_ERROR(d->IoPoints(), 0x8004B00C, "The device has been removed from the system.",
                      "IZzDaqDevice");
  }
  EXPECT_FALSE(sim->opened());
  EXPECT_FALSE(second->opened());
  // The client may open again after resume.
  device->Open();
  EXPECT_TRUE(device->holdsHandle());
}

TEST_F(HotPlugTest, UnadviseStopsNotices) {
  auto leaving = std::make_shared<CountingEnumSink>();
  const uint32_t cookie = enumerator->Advise(leaving);
  enumerator->Unadvise(cookie);
  system->addDevice("/dev/zdaq1", "Second unit");
  pump();
  EXPECT_EQ(leaving->changes, 0);
  EXPECT_EQ(enumSink->changes, 1);
  EXPECT_ZDAQ_ERROR(enumerator->Unadvise(cookie), 0x80070057, "A parameter is invalid.",
                    "IZzDaqEnum");
  EXPECT_ZDAQ_ERROR(device->Advise(nullptr), 0x80070057, "A parameter is invalid.", "IZzDaqDevice");
}

}  // namespace
}  // namespace zdaq::testing
