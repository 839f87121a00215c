// The path the acquisition back-end takes every 10 ms: enumerator by ProgID, device 1, points 9
// and 10 single-ended, Value per tick; and what it meets when the cable is pulled.
#include <gtest/gtest.h>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/identifiers.h"

namespace zdaq::testing {
namespace {

TEST(MonitorPathTest, ConfigureAndReadPerTick) {
  auto system = SimulatedSystem::create(/*automatic=*/false);
  auto sim = system->addDevice(kPath, kName);
  auto e = CreateObjectAs<ZzDaqEnum>("ZDaq.ZzDaqEnum", system->makeBackend());
  ASSERT_EQ(e->Devices()->Count(), 1);
  auto device = e->Devices()->Item(int32_t{1});
  device->Open();
  auto points = device->IoPoints();
  auto left = points->Item(int32_t{9});
  auto right = points->Item(int32_t{10});
  left->Configuration(kSingleEndedAnalogInput);
  right->Configuration(kSingleEndedAnalogInput);
  EXPECT_EQ(sim->records(), (std::vector<ControlRecord>{{0x222080, Words({9, 0x40000002}), 0},
                                                        {0x222080, Words({10, 0x40000002}), 0}}));
  sim->clearRecords();
  for (int tick = 0; tick < 3; ++tick) {
    EXPECT_EQ(left->Value(), 2000);
    EXPECT_EQ(right->Value(), 2100);
  }
  // Each Value: the configuration, then the value.
  const auto records = sim->records();
  ASSERT_EQ(records.size(), 12u);
  EXPECT_EQ(records[0], (ControlRecord{0x222098, Words({9}), 4}));
  EXPECT_EQ(records[1], (ControlRecord{0x222088, Words({9}), 4}));
  EXPECT_EQ(records[3], (ControlRecord{0x222088, Words({10}), 4}));
}

TEST(MonitorPathTest, NoDeviceMeansNothingToSetUp) {
  auto system = SimulatedSystem::create(false);
  auto e = CreateObjectAs<ZzDaqEnum>("ZDaq.ZzDaqEnum", system->makeBackend());
  EXPECT_EQ(e->Devices()->Count(), 0);
  EXPECT_ZDAQ_ERROR(e->Devices()->Item(int32_t{1}), 0x80004005, "The index is invalid.",
                    "IZzDaqDeviceCollection");
  EXPECT_ZDAQ_ERROR(CreateObjectAs<ZzDaqDevice>("ZDaq.ZzDaqEnum", system->makeBackend()),
                    0x80070057, "A parameter is invalid.", "ZDaq");
}

TEST(MonitorPathTest, PulledCableFailsEachReadWithoutHarm) {
  auto system = SimulatedSystem::create(false);
  system->addDevice(kPath, kName);
  auto e = CreateObjectAs<ZzDaqEnum>("ZDaq.ZzDaqEnum", system->makeBackend());
  auto device = e->Devices()->Item(int32_t{1});
  device->Open();
  auto left = device->IoPoints()->Item(int32_t{9});
  system->removeDevice(kPath);
  // Before the enumerator hears of it, the driver refuses; afterwards the device is closed.
  EXPECT_ZDAQ_ERROR(left->Value(), 0x80070013, "No such device", "IZzIoPoint");
  ASSERT_TRUE(WaitReadable(e->EventDescriptor()));
  e->ProcessEvents();
  EXPECT_ZDAQ_ERROR(left->Value(), 0x8004B00D, "The device is not open.", "IZzIoPoint");
  // Releasing everything in any order is safe.
  device.reset();
  e.reset();
  EXPECT_ZDAQ_ERROR(left->Value(), 0x8004B00D, "The device is not open.", "IZzIoPoint");
}

}  // namespace
}  // namespace zdaq::testing
