// The module's plain commands: bytes on the wire, decoded replies and result codes, and the
// arguments every call refuses before anything is sent.

#include <cstring>
#include <string>

#include "tests/vonmod/sim_fixture.h"

namespace vonmod_test {
namespace {

class CommandTest : public SimModuleTest {};

TEST_F(CommandTest, IdentityReplies) {
  sim->module(0).serialDigits = {1, 2, 3, 4, 5, 6, 7, 8};
  sim->module(0).firmware = 0x0312;
  sim->module(0).deviceId = 0xA7;
  int32_t serial = 0, version = 0;
  uint8_t id = 0;
  char credits[64];
  std::memset(credits, '#', sizeof credits);

  ASSERT_EQ(Vonmod_GetDeviceSerialNo(&session, &serial), 0);
  EXPECT_EQ(static_cast<uint32_t>(serial), 0x87654321u);
  ASSERT_EQ(Vonmod_GetFirmwareVersion(&session, &version), 0);
  EXPECT_EQ(version, 0x0312);
  ASSERT_EQ(Vonmod_ReadVONM_DEVID(&session, &id), 0);
  EXPECT_EQ(id, 0xA7);
  ASSERT_EQ(Vonmod_GetCredits(&session, credits), 0);
  EXPECT_EQ(std::string(credits, 43), "Tidemet simulated data acquisition module..");
  EXPECT_EQ(credits[43], '#') << "no terminator is added";
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0x02}, {0x01}, {0xFE}, {0x68}}));
  for (const Call& call : sim->calls()) EXPECT_EQ(call.timeoutMs, 1000);
}

// Refused arguments, or a session that names no stream instance: nothing reaches the module.
TEST_F(CommandTest, RefusedArgumentsSendNothing) {
  float volts[8] = {};
  uint8_t byte = 0;
  std::vector<uint8_t> data(256);
  int32_t count = 0;
  VonmodSession other{}, wrongType = session, noInstance = session;
  wrongType.moduleType = 1;
  noInstance.instance = -1;
  EXPECT_EQ(Vonmod_ReadSingleAnalogIn(&session, 0, 1, volts, 0), 13) << "single range 1";
  EXPECT_EQ(Vonmod_ReadSingleAnalogIn(&session, 8, 0, volts, 0), 11) << "single channel 8";
  EXPECT_EQ(Vonmod_ReadSingleAnalogIn(&session, -1, 0, volts, 0), 11) << "single channel -1";
  EXPECT_EQ(Vonmod_ReadSingleAnalogIn(&wrongType, 0, 0, volts, 0), 3) << "single wrong type";
  EXPECT_EQ(Vonmod_ReadMultiAnalogIn(&session, 1, 8, 0, volts, 0), 12) << "multi 1 + 8";
  EXPECT_EQ(Vonmod_ReadMultiAnalogIn(&session, -1, 2, 0, volts, 0), 11) << "multi -1 + 2";
  EXPECT_EQ(Vonmod_ReadMultiAnalogIn(&session, 0, 0, 0, volts, 0), 12) << "multi 0 channels";
  EXPECT_EQ(Vonmod_ReadMultiAnalogIn(&wrongType, 0, 8, 0, volts, 0), 3) << "multi wrong type";
  // A missing output gives 1: one call for each form of the guard and each source of calls.
  EXPECT_EQ(Vonmod_GetDeviceSerialNo(&session, nullptr), 1) << "serial number";
  EXPECT_EQ(Vonmod_DIO(&session, 0, 0, nullptr, &byte, 0), 1) << "port 0 value";
  EXPECT_EQ(Vonmod_ReadMemory(&session, 1, 0, nullptr), 1) << "read data";
  EXPECT_EQ(Vonmod_WriteMemory(&session, 1, 0, nullptr), 1) << "write data";
  EXPECT_EQ(Vonmod_ReadMemory(&session, 1, 240, data.data()), 10) << "read 1 at 240";
  EXPECT_EQ(Vonmod_WriteMemory(&session, 200, 50, data.data()), 21) << "write 200 at 50";
  EXPECT_EQ(Vonmod_ReadMemory(&session, 0x100, 0, data.data()), 0) << "count taken as 8 bits";
  EXPECT_EQ(Vonmod_ReadMemory(&session, 0, 240, data.data()), 0) << "read 0 at 240";
  EXPECT_EQ(Vonmod_WriteMemory(&session, 0, 0, nullptr), 0) << "write 0 without data";
  EXPECT_EQ(Vonmod_STOPPWM(&session, 0x101), 11) << "stop PWM 0x101";
  EXPECT_EQ(Vonmod_STOPPWM(&session, 3), 11) << "stop PWM 3";
  EXPECT_EQ(Vonmod_AIStartStream(&session, 0, 1, 0, 1000, nullptr, 0), 1) << "stream rate";
  EXPECT_EQ(Vonmod_AIGetScans(&session, 128, 10, nullptr, nullptr), 1) << "scans";
  EXPECT_EQ(Vonmod_AIStartContinuous(&session, 0, 9), 11) << "continuous 0 + 9";
  EXPECT_EQ(Vonmod_AIStopContinuous(&session, nullptr, nullptr), 1) << "continuous stop";
  EXPECT_EQ(Vonmod_AIStopStream(&noInstance), 5) << "stop, no instance";
  EXPECT_EQ(Vonmod_AIStopContinuous(&noInstance, &count, &count), 5);
  EXPECT_EQ(Vonmod_EnumerateDev(1, &count), 3) << "enumerate type 1";
  EXPECT_EQ(Vonmod_EnumerateDev(0, nullptr), 1) << "enumerate without count";
  EXPECT_EQ(Vonmod_OpenDevice(1, 0, &other), 3) << "open type 1";
  EXPECT_EQ(Vonmod_OpenDevice(0, 1, &other), 2) << "open index equal to the count";
  EXPECT_EQ(Vonmod_OpenDevice(0, -1, &other), 2) << "open negative index";
  EXPECT_EQ(Vonmod_OpenDevice(0, 0, nullptr), 8) << "open without session";
  EXPECT_TRUE(callsOf(Call::Write).empty());
  EXPECT_NE(session.readPipe, -1);
}

TEST_F(CommandTest, AnalogReadsDecodeEveryChannelAndCheckTheSingleReadsEcho) {
  const int counts[8] = {0, 1, 63, 64, 1000, 2048, 4000, 4095};
  for (int c = 0; c < 8; ++c)
    sim->module(0).analog[static_cast<size_t>(c)] = {mpusbsim::Wave::Constant, counts[c]};
  float volts[9];
  std::fill(std::begin(volts), std::end(volts), -7.0f);
  ASSERT_EQ(Vonmod_ReadMultiAnalogIn(&session, 0, 8, 0, volts, 0), 0);
  EXPECT_EQ(lastRequest(), (Bytes{0x38, 0, 7}));
  const float expected[9] = {0.0f, 0.001f, 0.063f, 0.064f, 1.0f, 2.048f, 4.0f, 4.095f, -7.0f};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(volts[i], expected[i]) << i;

  ASSERT_EQ(Vonmod_ReadMultiAnalogIn(&session, 6, 2, 0, volts, 0), 0);
  EXPECT_EQ(lastRequest(), (Bytes{0x38, 6, 7}));
  EXPECT_EQ(volts[0], 4.0f);
  EXPECT_EQ(volts[1], 4.095f);

  float single = 0;
  ASSERT_EQ(Vonmod_ReadSingleAnalogIn(&session, 5, 0, &single, 77), 0);
  EXPECT_EQ(lastRequest(), (Bytes{0x37, 5}));
  EXPECT_EQ(single, 2.048f);
  sim->inject(Fault::WrongChannel);
  EXPECT_EQ(Vonmod_ReadSingleAnalogIn(&session, 5, 0, &single, 0), 9);
}

// Only option 1 asks the module to clear its counter.
TEST_F(CommandTest, CounterOptionByte) {
  const std::pair<int32_t, uint8_t> cases[] = {{0, 0}, {2, 0}, {-1, 0}, {1, 1}};
  for (const auto& [option, wire] : cases) {
    sim->module(0).counter = 0xBEEF;
    int32_t count = 0;
    ASSERT_EQ(Vonmod_ReadCounter(&session, option, &count), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0x52, wire})) << option;
    EXPECT_EQ(count, 0xBEEF);
  }
}

TEST_F(CommandTest, DigitalPortsReadAndWrite) {
  sim->module(0).ports = {0xF0, 0x0F};
  uint8_t value0 = 0x3C, value1 = 0xFF;
  ASSERT_EQ(Vonmod_DIO(&session, 0x10F, 0x80, &value0, &value1, 1), 0);
  EXPECT_EQ(lastRequest(), (Bytes{0x43, 0x0F, 0x80, 0x3C, 0xFF}));
  EXPECT_EQ(value0, 0xFC);
  EXPECT_EQ(value1, 0x8F);
  ASSERT_EQ(Vonmod_DIO(&session, 0xFF, 0xFF, &value0, &value1, 0), 0);
  EXPECT_EQ(lastRequest(), (Bytes{0x42}));
  // Either digital opcode in the reply is taken (0x43 above); another one is not.
  sim->inject(Fault::WrongEcho);
  EXPECT_EQ(Vonmod_DIO(&session, 0, 0, &value0, &value1, 0), 9);
}

// A transfer failure closes the failing pipe first, then the other one; a wrong echo closes none.
TEST_F(CommandTest, TransferFailuresCloseTheSession) {
  struct Case {
    Fault fault;
    int32_t expected;
    std::vector<int> closeOrder;  // 0: command pipe, 1: reply pipe
  };
  const Case cases[] = {
      {Fault::FailWrite, 6, {0, 1}}, {Fault::FailRead, 7, {1, 0}}, {Fault::ShortReply, 9, {0, 1}},
      {Fault::LongReply, 8, {0, 1}}, {Fault::WrongEcho, 9, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault));
    SetUp();
    const int32_t pipes[] = {session.writePipe, session.readPipe};
    sim->inject(c.fault);
    int32_t version = 0;
    EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), c.expected);
    std::vector<int32_t> order;
    for (const int which : c.closeOrder) order.push_back(pipes[which]);
    EXPECT_EQ(closed(), order);
    EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), c.closeOrder.empty() ? 0 : 8);
  }
}

}  // namespace
}  // namespace vonmod_test
