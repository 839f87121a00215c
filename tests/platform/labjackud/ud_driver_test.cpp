// The UD calls through the real U3 layer, against the U3 simulated at the packet level.

#include "platform/labjackud/usb/ud_driver.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/labjackud/sim/simulated_u3.h"

namespace labjack {
namespace {

using sim::Fault;

class UdDriverTest : public ::testing::Test {
 protected:
  DriverOptions testOptions() {
    DriverOptions o;
    o.notice = [this](const std::string& text) { notices.push_back(text); };
    // Generous: the tests' own calls must never look stale on a loaded machine.
    o.freshFor = std::chrono::seconds(5);
    return o;
  }

  // Opens the U3 as the monitor does: pin reset, FIO0-3 analog.
  void openAsMonitor() {
    bus.attach();
    ASSERT_EQ(driver.open(LJ_dtU3, LJ_ctUSB, "1", 1, &handle), LJE_NOERROR);
    ASSERT_EQ(driver.put(handle, LJ_ioPIN_CONFIGURATION_RESET, 0, 0, 0), LJE_NOERROR);
    double lines = 15.0;
    ASSERT_EQ(driver.get(handle, LJ_ioPUT_ANALOG_ENABLE_PORT, 0, &lines, 16), LJE_NOERROR);
  }

  // The model-23 tick: two single-ended and two special-range inputs.
  std::array<LJ_ERROR, 4> tick23(std::array<double, 4>& v) {
    return {driver.get(handle, LJ_ioGET_AIN, 0, &v[0], 0),
            driver.get(handle, LJ_ioGET_AIN, 1, &v[1], 0),
            driver.get(handle, LJ_ioGET_AIN_DIFF, 2, &v[2], 32),
            driver.get(handle, LJ_ioGET_AIN_DIFF, 3, &v[3], 32)};
  }

  LJ_ERROR readAin0(double& v) { return driver.get(handle, LJ_ioGET_AIN, 0, &v, 0); }

  std::vector<uint8_t> commandNumbers() {
    std::vector<uint8_t> numbers;
    for (const auto& c : bus.u3().commands()) numbers.push_back(c.size() > 3 ? c[3] : 0xFF);
    return numbers;
  }

  std::vector<std::string> notices;
  sim::SimulatedBus bus;
  UdDriver driver{bus, testOptions()};
  LJ_HANDLE handle = 0;
};

TEST_F(UdDriverTest, OpeningFindsTheU3ReadsItsCalibrationAndConfiguresTheLines) {
  LJ_HANDLE h = -1;
  EXPECT_EQ(driver.open(LJ_dtU3, LJ_ctUSB, "1", 1, &h), LJE_LABJACK_NOT_FOUND);
  EXPECT_EQ(h, 0);
  bus.attach();
  bus.denyAccess(true);
  EXPECT_EQ(driver.open(LJ_dtU3, LJ_ctUSB, "1", 1, &h), LJE_NO_DEVICE_ACCESS);
  bus.denyAccess(false);
  EXPECT_EQ(driver.open(LJ_dtU3, LJ_ctUSB, "2", 0, &h), LJE_LABJACK_NOT_FOUND);  // local ID 1

  bus.u3().clearCommands();
  openAsMonitor();
  EXPECT_EQ(handle, UdDriver::kHandle);
  // ConfigU3, calibration blocks 0 and 2, ConfigIO twice (pin reset, analog lines).
  EXPECT_EQ(commandNumbers(), (std::vector<uint8_t>{0x08, 0x2D, 0x2D, 0x0B, 0x0B}));
  const auto commands = bus.u3().commands();
  EXPECT_EQ(commands[1][7], 0);
  EXPECT_EQ(commands[2][7], 2);
  EXPECT_EQ(commands[3][6], 0x0D);  // timers, counters and both analog ports written
  EXPECT_EQ(commands[3][10], 0x00);
  EXPECT_EQ(commands[4][10], 0x0F);
  EXPECT_EQ(bus.u3().analogLines(), 0x000F);
  EXPECT_TRUE(notices.empty());

  LJ_HANDLE again = 0;
  EXPECT_EQ(driver.open(LJ_dtU3, LJ_ctUSB, "1", 1, &again), LJE_NOERROR);
  EXPECT_EQ(again, handle);
  EXPECT_EQ(bus.u3().violations(), 0);
}

TEST_F(UdDriverTest, ATickIsOneFeedbackForAllItsInputsOnceLearned) {
  openAsMonitor();
  const std::array<double, 4> volts{0.5, 2.0, 1.25, 3.3};
  for (int i = 0; i < 4; ++i) bus.u3().setVolts(i, volts[static_cast<size_t>(i)]);
  std::array<double, 4> v{};
  const uint64_t before = driver.transactions();
  EXPECT_EQ(tick23(v), (std::array<LJ_ERROR, 4>{}));
  EXPECT_EQ(driver.transactions() - before, 4u);  // the first tick learns its inputs
  for (int t = 0; t < 3; ++t) {
    bus.u3().clearCommands();
    bus.u3().setVolts(0, 0.1 * t);
    v = {};
    EXPECT_EQ(tick23(v), (std::array<LJ_ERROR, 4>{}));
    const auto commands = bus.u3().commands();
    ASSERT_EQ(commands.size(), 1u) << "tick " << t;
    // Echo, then AIN 0 and 1 against ground (31), AIN 2 and 3 against Vref (30).
    EXPECT_EQ(std::vector<uint8_t>(commands[0].begin() + 7, commands[0].end()),
              (std::vector<uint8_t>{1, 0, 31, 1, 1, 31, 1, 2, 30, 1, 3, 30, 0}));
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(v[i], i == 0 ? 0.1 * t : volts[i], 1e-4) << i;
  }
  // Asked again within a round: read afresh, not served twice.
  double first = 0, second = 0;
  bus.u3().setVolts(0, 0.2);
  EXPECT_EQ(readAin0(first), LJE_NOERROR);
  bus.u3().setVolts(0, 0.3);
  EXPECT_EQ(readAin0(second), LJE_NOERROR);
  EXPECT_NEAR(second, 0.3, 1e-4);
  EXPECT_EQ(bus.u3().violations(), 0);
}

TEST_F(UdDriverTest, ReadingsOutsideTheInputsRangeStopAtItsEnds) {
  openAsMonitor();
  struct Case {
    const char* name;
    int32_t ioType, x1;
    double volts, expected;
  } cases[] = {
      {"single-ended below ground", LJ_ioGET_AIN, 0, -0.1, 0.0},
      {"single-ended above 2.44 V", LJ_ioGET_AIN, 0, 3.0, 2.44},
      {"special range below ground", LJ_ioGET_AIN_DIFF, 32, -0.1, 0.0},
      {"special range up to 3.6 V", LJ_ioGET_AIN_DIFF, 32, 3.6, 3.6},
  };
  for (const auto& c : cases) {
    bus.u3().setVolts(0, c.volts);
    double v = -9;
    EXPECT_EQ(driver.get(handle, c.ioType, 0, &v, c.x1), LJE_NOERROR) << c.name;
    EXPECT_NEAR(v, c.expected, 1e-4) << c.name;
    ASSERT_EQ(driver.get(handle, LJ_ioHALT, 0, &v, 0), LJE_NOERROR);
  }
}

TEST_F(UdDriverTest, EveryFaultBecomesItsUdCodeAndTheNextReadSucceeds) {
  openAsMonitor();
  bus.u3().setVolts(0, 1.0);
  struct Case {
    const char* name;
    Fault fault;
    uint8_t deviceCode;
    LJ_ERROR code;
  } cases[] = {
      {"no reply", Fault::NoReply, 0, LJE_COMM_TIMEOUT},
      {"a late reply", Fault::LateReply, 0, LJE_COMM_TIMEOUT},
      {"a short reply", Fault::ShortReply, 0, LJE_COMM_FAILURE},
      {"a bad checksum", Fault::BadChecksum, 0, LJE_CHECKSUM_ERROR},
      {"the U3's error code", Fault::DeviceError, 40, LJE_DEVICE_ERROR_BASE + 40},
  };
  for (const auto& c : cases) {
    bus.u3().failNext(c.fault, c.deviceCode);
    double v = -9;
    EXPECT_EQ(readAin0(v), c.code) << c.name;
    EXPECT_EQ(v, -9) << c.name;
    // The late reply arrives before the next one and is skipped by its echo.
    EXPECT_EQ(readAin0(v), LJE_NOERROR) << c.name;
    EXPECT_NEAR(v, 1.0, 1e-4) << c.name;
  }
  EXPECT_EQ(bus.u3().violations(), 0);
}

TEST_F(UdDriverTest, AnUnpluggedU3FailsUntilPluggedInAgainThenReadsAsBefore) {
  openAsMonitor();
  bus.u3().setVolts(1, 0.75);
  double v = 0;
  bus.pull();
  EXPECT_EQ(driver.get(handle, LJ_ioGET_AIN, 1, &v, 0), LJE_COMM_FAILURE);
  EXPECT_EQ(driver.get(handle, LJ_ioGET_AIN, 1, &v, 0), LJE_COMM_FAILURE);
  bus.attach();
  bus.u3().clearCommands();
  EXPECT_EQ(driver.get(handle, LJ_ioGET_AIN, 1, &v, 0), LJE_NOERROR);
  EXPECT_NEAR(v, 0.75, 1e-4);
  // Opened afresh and its analog lines set again before the read.
  EXPECT_EQ(commandNumbers(), (std::vector<uint8_t>{0x08, 0x2D, 0x2D, 0x0B, 0x00}));
  EXPECT_EQ(bus.u3().commands()[3][10], 0x0F);
  LJ_HANDLE again = 0;
  EXPECT_EQ(driver.open(LJ_dtU3, LJ_ctUSB, "1", 1, &again), LJE_NOERROR);
  EXPECT_EQ(again, handle);
}

TEST_F(UdDriverTest, CallsThatNeedNoTransactionAreAnsweredAtOnce) {
  double v = 0;
  EXPECT_EQ(readAin0(v), LJE_INVALID_HANDLE);  // not opened
  openAsMonitor();
  bus.u3().clearCommands();
  struct Case {
    const char* name;
    int32_t ioType, channel, x1;
    LJ_ERROR code;
  } cases[] = {
      {"a digital line", LJ_ioGET_AIN, 4, 0, LJE_AIN_NOT_ANALOG},
      {"against a digital line", LJ_ioGET_AIN_DIFF, 0, 5, LJE_AIN_NOT_ANALOG},
      {"channel 16", LJ_ioGET_AIN, 16, 0, LJE_INVALID_CHANNEL_NUMBER},
      {"negative channel 40", LJ_ioGET_AIN_DIFF, 0, 40, LJE_INVALID_CHANNEL_NUMBER},
      {"an IOType it does not serve", 99, 0, 0, LJE_INVALID_IO_TYPE},
      {"halt", LJ_ioHALT, 0, 0, LJE_NOERROR},
  };
  for (const auto& c : cases)
    EXPECT_EQ(driver.get(handle, c.ioType, c.channel, &v, c.x1), c.code) << c.name;
  EXPECT_EQ(driver.put(handle, LJ_ioGET_AIN, 0, 0, 0), LJE_INVALID_IO_TYPE);
  EXPECT_EQ(driver.get(handle, LJ_ioGET_AIN, 0, nullptr, 0), LJE_UNKNOWN_ERROR);
  EXPECT_TRUE(bus.u3().commands().empty());
}

TEST(U3CalibrationUseTest, TheU3sOwnConstantsAreUsedAndErasedOnesAreSaidOnce) {
  for (bool erased : {false, true}) {
    sim::U3Setup s;
    s.calibration.seSlope = 3.9e-05;
    s.calibration.seOffset = 0.012;
    s.calibrationErased = erased;
    sim::SimulatedBus bus(s);
    std::vector<std::string> notices;
    DriverOptions options;
    options.notice = [&notices](const std::string& text) { notices.push_back(text); };
    UdDriver driver(bus, options);
    bus.attach();
    LJ_HANDLE h = 0;
    ASSERT_EQ(driver.open(LJ_dtU3, LJ_ctUSB, "1", 1, &h), LJE_NOERROR);
    bus.u3().setVolts(0, 1.0);  // raw 25333 with the U3's constants
    double v = 0;
    ASSERT_EQ(driver.get(h, LJ_ioGET_AIN, 0, &v, 0), LJE_NOERROR);
    // With the nominal constants the same raw reading is 0.9432 V.
    EXPECT_NEAR(v, erased ? 0.94317 : 1.0, 1e-4) << erased;
    bus.pull();
    bus.attach();
    ASSERT_EQ(driver.get(h, LJ_ioGET_AIN, 0, &v, 0), LJE_NOERROR);
    if (erased) {
      ASSERT_EQ(notices.size(), 1u);  // not again for the same U3 plugged in again
      EXPECT_EQ(notices[0],
                "LabJack U3 320012345: the calibration constants could not be read; the nominal "
                "constants are used");
    } else {
      EXPECT_TRUE(notices.empty());
    }
  }
}

TEST(U3HighVoltageTest, AU3HvReadsItsHighVoltageConstantsAndScalesInputsZeroToThree) {
  sim::U3Setup s;
  s.highVoltage = true;
  s.calibration.hvSlope = {3.2e-04, 3.1e-04, 3.15e-04, 3.14e-04};
  s.calibration.hvOffset = {-10.5, -10.2, -10.3, -10.4};
  sim::SimulatedBus bus(s);
  UdDriver driver(bus, {});
  bus.attach();
  LJ_HANDLE h = 0;
  ASSERT_EQ(driver.open(LJ_dtU3, LJ_ctUSB, "1", 1, &h), LJE_NOERROR);
  std::vector<uint8_t> blocks;
  for (const auto& c : bus.u3().commands())
    if (c[3] == 0x2D) blocks.push_back(c[7]);
  EXPECT_EQ(blocks, (std::vector<uint8_t>{0, 2, 3, 4}));
  bus.u3().setVolts(0, -5.0);
  bus.u3().setVolts(1, 12.5);
  double v0 = 0, v1 = 0;
  EXPECT_EQ(driver.get(h, LJ_ioGET_AIN, 0, &v0, 0), LJE_NOERROR);
  EXPECT_EQ(driver.get(h, LJ_ioGET_AIN_DIFF, 1, &v1, 32), LJE_NOERROR);
  EXPECT_EQ(driver.get(h, LJ_ioGET_AIN_DIFF, 0, &v0, 1), LJE_INVALID_CHANNEL_NUMBER);
  EXPECT_NEAR(v0, -5.0, 1e-3);
  EXPECT_NEAR(v1, 12.5, 1e-2);
  EXPECT_EQ(bus.u3().violations(), 0);
}

}  // namespace
}  // namespace labjack
