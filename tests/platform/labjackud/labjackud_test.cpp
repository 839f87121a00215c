#include "platform/labjackud/labjackud.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/labjackud/sim_control.h"

namespace {

class LabJackUdTest : public ::testing::Test {
 protected:
  void SetUp() override { sim.reset(); }
  // Plugs the U3 in and opens it as the monitor does.
  LJ_HANDLE openU3() {
    sim.attach();
    LJ_HANDLE h = 0;
    EXPECT_EQ(OpenLabJack(LJ_dtU3, LJ_ctUSB, "1", 1, &h), LJE_NOERROR);
    return h;
  }
  labjacksim::Control& sim = *LabJackSimControl();
};

std::string textOf(LJ_ERROR code) {
  char text[LJ_ERROR_TEXT_SIZE];
  ErrorToString(code, text);
  return text;
}

TEST_F(LabJackUdTest, OpeningAnswersPerDeviceTypeConnectionAndPresence) {
  struct Case {
    const char* name;
    bool attached;
    int32_t deviceType, connection;
    const char* address;
    int32_t firstFound;
    LJ_ERROR expected;
  } cases[] = {
      {"no U3 attached", false, 3, 1, "1", 1, LJE_LABJACK_NOT_FOUND},
      {"the monitor's call", true, 3, 1, "1", 1, LJE_NOERROR},
      {"another device type", true, 9, 1, "1", 1, LJE_INVALID_DEVICE_TYPE},
      {"ethernet", true, 3, 2, "1", 1, LJE_INVALID_CONNECTION_TYPE},
      {"by local ID 1", true, 3, 1, "1", 0, LJE_NOERROR},
      {"by another local ID", true, 3, 1, "2", 0, LJE_LABJACK_NOT_FOUND},
  };
  for (const auto& c : cases) {
    sim.reset();
    if (c.attached) sim.attach();
    LJ_HANDLE h = -5;
    EXPECT_EQ(OpenLabJack(c.deviceType, c.connection, c.address, c.firstFound, &h), c.expected)
        << c.name;
    EXPECT_EQ(h != 0, c.expected == LJE_NOERROR) << c.name;
  }
}

TEST_F(LabJackUdTest, ErrorTextsNameTheCode) {
  const std::pair<LJ_ERROR, const char*> cases[] = {
      {LJE_NOERROR, "No error"},
      {LJE_LABJACK_NOT_FOUND, "LabJack not found"},
      {LJE_DEVICE_ERROR_BASE, "Unknown error code 2000"},
      {LJE_DEVICE_ERROR_BASE + 1, "The U3 refused the command with its error code 1"},
      {LJE_DEVICE_ERROR_BASE + 255, "The U3 refused the command with its error code 255"},
      {LJE_DEVICE_ERROR_BASE + 256, "Unknown error code 2256"},
      {4242, "Unknown error code 4242"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(textOf(code), text) << code;
}

// Each call sets its own run of lines and leaves the others as they were.
TEST_F(LabJackUdTest, AnalogEnableSetsOnlyItsOwnLines) {
  const LJ_HANDLE h = openU3();
  struct Case {
    int32_t first, count;
    double bits;
    uint32_t mask;
    LJ_ERROR result;
  } cases[] = {
      {0, 4, 15.0, 0x000F, LJE_NOERROR},
      {2, 2, 0.0, 0x0003, LJE_NOERROR},
      {4, 4, 5.0, 0x0053, LJE_NOERROR},  // lines 4 and 6
      {1, 1, 0.0, 0x0051, LJE_NOERROR},
      {12, 4, 255.0, 0xF051, LJE_NOERROR},  // bits above the run are ignored
      {13, 4, 1.0, 0xF051, LJE_INVALID_CHANNEL_NUMBER},
      {0, 0, 1.0, 0xF051, LJE_INVALID_CHANNEL_NUMBER},
  };
  for (const auto& c : cases) {
    double bits = c.bits;
    EXPECT_EQ(eGet(h, LJ_ioPUT_ANALOG_ENABLE_PORT, c.first, &bits, c.count), c.result)
        << c.first << "+" << c.count;
    EXPECT_EQ(sim.state().analogMask, c.mask) << c.first << "+" << c.count;
  }
}

TEST_F(LabJackUdTest, AnalogInputsReadVoltsOnlyOnAnalogLines) {
  const LJ_HANDLE h = openU3();
  sim.setVolts(0, 0.5);
  sim.setVolts(1, 3.1);
  sim.setVolts(2, -1.25);
  double v = 0;
  // The U3's own default has lines 0-3 analog; the pin reset makes them digital.
  ASSERT_EQ(ePut(h, LJ_ioPIN_CONFIGURATION_RESET, 0, 0, 0), LJE_NOERROR);
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 0, &v, 0), LJE_AIN_NOT_ANALOG);
  double lines = 15.0;
  ASSERT_EQ(eGet(h, LJ_ioPUT_ANALOG_ENABLE_PORT, 0, &lines, 16), LJE_NOERROR);
  EXPECT_EQ(sim.state().analogMask, 0x0Fu);

  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 0, &v, 0), LJE_NOERROR);
  EXPECT_DOUBLE_EQ(v, 0.5);
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 1, &v, 0), LJE_NOERROR);
  EXPECT_DOUBLE_EQ(v, 2.44);  // single-ended inputs stop at 2.44 V
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN_DIFF, 2, &v, LJ_chSPECIAL_NEGATIVE), LJE_NOERROR);
  EXPECT_DOUBLE_EQ(v, -1.25);
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN_DIFF, 0, &v, 2), LJE_NOERROR);
  EXPECT_DOUBLE_EQ(v, 1.75);
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 4, &v, 0), LJE_AIN_NOT_ANALOG);
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 16, &v, 0), LJE_INVALID_CHANNEL_NUMBER);
  EXPECT_EQ(eGet(h, 999, 0, &v, 0), LJE_INVALID_IO_TYPE);
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 0, nullptr, 0), LJE_UNKNOWN_ERROR);
}

TEST_F(LabJackUdTest, PulledU3sAndInjectedFaultsFailCallsUntilTheyPass) {
  const LJ_HANDLE h = openU3();
  double v = 0;
  sim.pull();
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 0, &v, 0), LJE_COMM_FAILURE);
  EXPECT_EQ(eGet(h, LJ_ioHALT, 0, &v, 0), LJE_COMM_FAILURE);
  sim.attach();
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 0, &v, 0), LJE_NOERROR);
  EXPECT_EQ(eGet(0, LJ_ioGET_AIN, 0, &v, 0), LJE_INVALID_HANDLE);
  // An injected fault strikes once, and halts are counted.
  sim.failNext(LJE_COMM_FAILURE);
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 0, &v, 0), LJE_COMM_FAILURE);
  EXPECT_EQ(eGet(h, LJ_ioGET_AIN, 0, &v, 0), LJE_NOERROR);
  EXPECT_EQ(eGet(h, LJ_ioHALT, 0, &v, 0), LJE_NOERROR);
  EXPECT_EQ(sim.state().halts, 1);
}

}  // namespace
