// The module's plain commands: bytes on the wire, decoded replies and result codes.

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
  for (const Call& read : callsOf(Call::Read)) EXPECT_EQ(read.timeoutMs, 1000);
  for (const Call& write : callsOf(Call::Write)) EXPECT_EQ(write.timeoutMs, 1000);
  // Digits above 9 still give a defined number: 0xFF * 16^7 wraps at 32 bits, + 0xFF.
  sim->module(0).serialDigits = {0xFF, 0, 0, 0, 0, 0, 0, 0xFF};
  ASSERT_EQ(Vonmod_GetDeviceSerialNo(&session, &serial), 0);
  EXPECT_EQ(static_cast<uint32_t>(serial), 0xF00000FFu);
}

TEST_F(CommandTest, AnalogArgumentChecksSendNothing) {
  float volts[8] = {};
  VonmodSession wrongType = session;
  wrongType.moduleType = 1;
  struct Case {
    const char* what;
    int32_t result;
    int32_t expected;
  };
  const Case cases[] = {
      {"single range 1", Vonmod_ReadSingleAnalogIn(&session, 0, 1, volts, 0), 13},
      {"single channel 8", Vonmod_ReadSingleAnalogIn(&session, 8, 0, volts, 0), 11},
      {"single channel -1", Vonmod_ReadSingleAnalogIn(&session, -1, 0, volts, 0), 11},
      {"single wrong type", Vonmod_ReadSingleAnalogIn(&wrongType, 0, 0, volts, 0), 3},
      {"single without volts", Vonmod_ReadSingleAnalogIn(&session, 0, 0, nullptr, 0), 1},
      {"multi 1 + 8", Vonmod_ReadMultiAnalogIn(&session, 1, 8, 0, volts, 0), 12},
      {"multi -1 + 2", Vonmod_ReadMultiAnalogIn(&session, -1, 2, 0, volts, 0), 11},
      {"multi 0 channels", Vonmod_ReadMultiAnalogIn(&session, 0, 0, 0, volts, 0), 12},
      {"multi wrong type", Vonmod_ReadMultiAnalogIn(&wrongType, 0, 8, 0, volts, 0), 3},
      {"multi without volts", Vonmod_ReadMultiAnalogIn(&session, 0, 8, 0, nullptr, 0), 1},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
  EXPECT_TRUE(callsOf(Call::Write).empty());
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
  EXPECT_EQ(callsOf(Call::Read).back().length, 18);

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
  EXPECT_NE(session.writePipe, -1) << "a wrong echo leaves the session open";
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
  int32_t count = -1;
  ASSERT_EQ(Vonmod_ReadCounter(&session, 0, &count), 0);
  EXPECT_EQ(count, 0) << "option 1 cleared the simulated counter";
}

TEST_F(CommandTest, DigitalPortsReadAndWrite) {
  sim->module(0).ports = {0xF0, 0x0F};
  uint8_t value0 = 0x3C, value1 = 0xFF;
  ASSERT_EQ(Vonmod_DIO(&session, 0x10F, 0x80, &value0, &value1, 1), 0);
  EXPECT_EQ(lastRequest(), (Bytes{0x43, 0x0F, 0x80, 0x3C, 0xFF}));
  EXPECT_EQ(value0, 0xFC);
  EXPECT_EQ(value1, 0x8F);
  value0 = value1 = 0;
  ASSERT_EQ(Vonmod_DIO(&session, 0xFF, 0xFF, &value0, &value1, 0), 0);
  EXPECT_EQ(lastRequest(), (Bytes{0x42}));
  EXPECT_EQ(value0, 0xFC);
  EXPECT_EQ(value1, 0x8F);
  EXPECT_EQ(Vonmod_DIO(&session, 0, 0, nullptr, &value1, 0), 1);
  // Either digital opcode in the reply is taken; another one is not.
  sim->inject(Fault::WrongEcho);
  EXPECT_EQ(Vonmod_DIO(&session, 0, 0, &value0, &value1, 0), 9);
  ASSERT_EQ(Vonmod_DIO(&session, 0, 0, &value0, &value1, 1), 0);  // 0x43 reply
}

// Each transfer failure closes the failing pipe first, then the other one.
TEST_F(CommandTest, TransferFailuresCloseTheSession) {
  struct Case {
    Fault fault;
    int32_t expected;
    bool commandPipeFirst;
    bool closes;
  };
  const Case cases[] = {
      {Fault::FailWrite, 6, true, true},  {Fault::FailRead, 7, false, true},
      {Fault::ShortReply, 9, true, true}, {Fault::LongReply, 8, true, true},
      {Fault::WrongEcho, 9, true, false},
  };
  for (const Case& c : cases) {
    SetUp();
    const int32_t writePipe = session.writePipe, readPipe = session.readPipe;
    sim->inject(c.fault);
    int32_t version = 0;
    EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), c.expected)
        << static_cast<int>(c.fault);
    if (c.closes) {
      const std::vector<int32_t> order = c.commandPipeFirst
                                             ? std::vector<int32_t>{writePipe, readPipe}
                                             : std::vector<int32_t>{readPipe, writePipe};
      EXPECT_EQ(closed(), order) << static_cast<int>(c.fault);
      EXPECT_EQ(session.writePipe, -1);
      EXPECT_EQ(session.readPipe, -1);
      EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), 8);
      EXPECT_EQ(Vonmod_ReleaseDevice(&session), 8);
    } else {
      EXPECT_TRUE(closed().empty());
      EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), 0);
      EXPECT_EQ(version, 0x0107);
    }
  }
}

TEST_F(CommandTest, NullOutValuesGive1AndSendNothing) {
  const int32_t results[] = {
      Vonmod_GetDeviceSerialNo(&session, nullptr),
      Vonmod_GetFirmwareVersion(&session, nullptr),
      Vonmod_GetCredits(&session, nullptr),
      Vonmod_ReadVONM_DEVID(&session, nullptr),
      Vonmod_ReadCounter(&session, 0, nullptr),
      Vonmod_ReadMemory(&session, 1, 0, nullptr),
      Vonmod_WriteMemory(&session, 1, 0, nullptr),
      Vonmod_AIStartStream(&session, 0, 1, 0, 1000, nullptr, 0),
      Vonmod_AIGetScans(&session, 128, 10, nullptr, nullptr),
      Vonmod_AIStopContinuous(&session, nullptr, nullptr),
  };
  for (size_t i = 0; i < std::size(results); ++i) EXPECT_EQ(results[i], 1) << "call " << i;
  EXPECT_TRUE(callsOf(Call::Write).empty());
  EXPECT_NE(session.readPipe, -1);
}

}  // namespace
}  // namespace vonmod_test
