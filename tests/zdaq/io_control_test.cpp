#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/driver_abi.h"
#include "zdaq/identifiers.h"

namespace zdaq::testing {
namespace {

using IoControlTest = SimulatedDeviceTest;

// The last control a call sent to the device.
template <class Call>
ControlRecord LastControl(SimulatedDevice& sim, Call call) {
  sim.clearRecords();
  call();
  const auto records = sim.records();
  return records.empty() ? ControlRecord{} : records.back();
}

TEST_F(IoControlTest, BytesOfEachControl) {
  device->Open();
  EXPECT_EQ(LastControl(*sim, [&] { point(9)->Configuration(0x40000002); }),
            (ControlRecord{0x222080, Words({9, 0x40000002}), 0}));
  auto groups = device->IoPointGroups();
  EXPECT_EQ(
      LastControl(*sim, [&] { groups->Item(int32_t{2})->Configuration(kNormalDigitalOutput); }),
      (ControlRecord{0x222084, Words({0x20000002, 0x80000004}), 0}));
  EXPECT_EQ(LastControl(*sim, [&] { groups->Item(int32_t{1})->Configuration(); }),
            (ControlRecord{0x22209C, Words({0x20000001}), 4}));
  EXPECT_EQ(LastControl(*sim, [&] { point(17)->Value(512); }),
            (ControlRecord{0x22208C, Words({17, 512}), 0}));
  EXPECT_EQ(LastControl(*sim, [&] { device->IoControl(0x222088, 11); }),
            (ControlRecord{0x222088, Words({11}), 4}));
}

TEST_F(IoControlTest, OutputValuesAreAnsweredByThePointObject) {
  device->Open();
  auto digital = point(3);
  digital->Configuration(kNormalDigitalOutput);
  digital->Value(5);
  sim->clearRecords();
  EXPECT_EQ(digital->Value(), 1);  // a digital output reads back as 0 or 1
  // Only the configuration is read from the device, not the value.
  EXPECT_EQ(sim->records(), (std::vector<ControlRecord>{{0x222098, Words({3}), 4}}));
  digital->Value(0);
  EXPECT_EQ(digital->Value(), 0);

  auto analog = point(18);
  EXPECT_EQ(analog->Value(), 0);
  analog->Value(700);
  // A refused write leaves the last accepted value.
  EXPECT_ZDAQ_ERROR(analog->Value(5000), 0x80070016, "Invalid argument", "IZzIoPoint");
  EXPECT_EQ(analog->Value(), 700);
}

TEST_F(IoControlTest, Errors) {
  // Closed: every call is refused as "not open", except a control code the device never passes.
  const char* notOpen = "The device is not open.";
  EXPECT_ZDAQ_ERROR(device->IoConfigurationGroups(), 0x8004B00D, notOpen, "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->GetSamples(1), 0x8004B00D, notOpen, "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->IoControl(0x22208C, 17, 1), 0x8004B00D, notOpen, "IZzDaqDevicePrivate");
  const char* invalid = "A parameter is invalid.";
  EXPECT_ZDAQ_ERROR(device->IoControl(0x222080, 9), 0x8004B000, invalid, "IZzDaqDevicePrivate");
  EXPECT_ZDAQ_ERROR(device->IoControl(0x222039, 9, 1), 0x8004B000, invalid, "IZzDaqDevicePrivate");
  EXPECT_TRUE(sim->records().empty());

  device->Open();
  EXPECT_ZDAQ_ERROR(device->Open(), 0x8004B00E, "The device is open already.", "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->GetSamples(1), 0x8004B011, "Sampling has not started.", "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->StartSampling(), 0x8004B010, "No I/O points specified.",
                    "IZzDaqDevice");
  // What the driver refuses.
  const char* einval = "Invalid argument";
  EXPECT_ZDAQ_ERROR(point(9)->Configuration(kAnalogOutput), 0x80070016, einval, "IZzIoPoint");
  EXPECT_ZDAQ_ERROR(point(9)->Value(1), 0x80070016, einval, "IZzIoPoint");
  EXPECT_ZDAQ_ERROR(device->IoControl(0x222088, 21), 0x80070016, einval, "IZzDaqDevicePrivate");
}

TEST_F(IoControlTest, SamplingInterval) {
  struct Case {
    double put;
    int64_t units;
    double get;
  };
  const Case cases[] = {
      {1.0, 10000000, 1.0},      {0.0003, 3000, 0.0003},         {0.00000015, 1, 0.0000001},
      {0.0000001, 1, 0.0000001}, {0.00299999, 29999, 0.0029999},
  };
  EXPECT_EQ(DeviceInternals::intervalUnits(*device), 10000000);  // one second by default
  EXPECT_EQ(device->SamplingInterval(), 1.0);
  for (const auto& c : cases) {
    device->SamplingInterval(c.put);
    EXPECT_EQ(DeviceInternals::intervalUnits(*device), c.units) << c.put;
    EXPECT_EQ(device->SamplingInterval(), c.get) << c.put;
  }
  // Shorter than one unit: refused at once, the interval stays.
  for (const double bad : {0.0, 0.00000005, -0.001, std::nan("")}) {
    EXPECT_ZDAQ_ERROR(device->SamplingInterval(bad), 0x80070057, "A parameter is invalid.",
                      "IZzDaqDevice");
    EXPECT_EQ(DeviceInternals::intervalUnits(*device), 29999) << bad;
  }
}

}  // namespace
}  // namespace zdaq::testing
