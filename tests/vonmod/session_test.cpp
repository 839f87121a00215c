// Enumeration, opening, release and reset against the simulated module.

#include "tests/vonmod/sim_fixture.h"

namespace vonmod_test {
namespace {

class SessionTest : public SimModuleTest {};

TEST_F(SessionTest, OpenSessionHoldsBothCommandPipesOfItsInstance) {
  EXPECT_EQ(session.deviceIndex, 0);
  EXPECT_EQ(session.instance, 0);
  EXPECT_EQ(session.moduleType, 0);
  const auto pipes = sim->openPipes();
  ASSERT_EQ(pipes.size(), 2u);
  EXPECT_EQ(pipes[0].handle, session.writePipe);
  EXPECT_EQ(pipes[0].direction, MPUSB_WRITE);
  EXPECT_EQ(pipes[1].handle, session.readPipe);
  EXPECT_EQ(pipes[1].direction, MPUSB_READ);
  EXPECT_EQ(pipes[1].endpoint, 1);
}

// Each instance is probed on its read pipe until all counted modules are found; none stays open.
TEST_F(SessionTest, EnumerationProbesEachInstanceAndClosesTheProbe) {
  Vonmod_ReleaseDevice(&session);
  for (const int32_t modules : {0, 3}) {
    sim->reset(modules);
    int32_t count = -1;
    ASSERT_EQ(Vonmod_EnumerateDev(0, &count), 0);
    EXPECT_EQ(count, modules);
    const auto opens = callsOf(Call::Open);
    ASSERT_EQ(opens.size(), modules == 0 ? 1u : 3u);
    for (size_t i = 0; i < opens.size(); ++i) {
      EXPECT_EQ(opens[i].instance, static_cast<int32_t>(i));
      EXPECT_EQ(opens[i].pipe, "\\MCHP_EP1");
      EXPECT_EQ(opens[i].direction, MPUSB_READ);
    }
    EXPECT_TRUE(sim->openPipes().empty());
  }
  VonmodSession third{};
  ASSERT_EQ(Vonmod_OpenDevice(0, 2, &third), 0);
  EXPECT_EQ(third.deviceIndex, 2);
  EXPECT_EQ(third.instance, 2);
  EXPECT_EQ(Vonmod_ReleaseDevice(&third), 0);
}

TEST_F(SessionTest, EnumerationReleasesOpenSessions) {
  int32_t count = -1;
  ASSERT_EQ(Vonmod_EnumerateDev(0, &count), 0);
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0x33}}));  // the release stops streaming
  EXPECT_TRUE(sim->openPipes().empty());
  // The caller's copy still names the closed pipes; they fail instead of reaching another pipe.
  int32_t version = 0;
  EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), 6);
  EXPECT_EQ(sim->requests().size(), 1u);
}

TEST_F(SessionTest, ArgumentChecksOfEnumerationAndOpening) {
  int32_t count = 0;
  VonmodSession other{};
  struct Case {
    const char* what;
    int32_t result;
    int32_t expected;
  };
  const Case cases[] = {
      {"enumerate type 1", Vonmod_EnumerateDev(1, &count), 3},
      {"enumerate without count", Vonmod_EnumerateDev(0, nullptr), 1},
      {"open type 1", Vonmod_OpenDevice(1, 0, &other), 3},
      {"open index equal to the count", Vonmod_OpenDevice(0, 1, &other), 2},
      {"open negative index", Vonmod_OpenDevice(0, -1, &other), 2},
      {"open without session", Vonmod_OpenDevice(0, 0, nullptr), 8},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
  EXPECT_TRUE(sim->requests().empty());
}

TEST_F(SessionTest, RefusedPipeGives5AndLeavesNothingOpen) {
  for (const int32_t direction : {MPUSB_WRITE, MPUSB_READ}) {
    VonmodSession other{};
    sim->refuseOpen("\\MCHP_EP1", direction);
    EXPECT_EQ(Vonmod_OpenDevice(0, 0, &other), 5) << direction;
    EXPECT_EQ(other.writePipe, -1);
    EXPECT_EQ(other.readPipe, -1);
    EXPECT_EQ(sim->openPipes().size(), 2u) << "only the fixture's session";
  }
}

TEST_F(SessionTest, ReleaseStopsStreamingClosesBothPipesOnceAndLeavesADeadSession) {
  const int32_t writePipe = session.writePipe, readPipe = session.readPipe;
  EXPECT_EQ(Vonmod_ReleaseDevice(&session), 0);
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0x33}}));
  EXPECT_EQ(closed(), (std::vector<int32_t>{writePipe, readPipe}));
  EXPECT_EQ(session.writePipe, -1);
  EXPECT_EQ(session.readPipe, -1);
  EXPECT_EQ(Vonmod_ReleaseDevice(&session), 8);
  EXPECT_EQ(Vonmod_ReleaseDevice(nullptr), 8);
  // Every command on the released session returns 8 and sends nothing.
  sim->clearCalls();
  int32_t value = 0;
  float volts[8] = {};
  uint8_t byte0 = 0, byte1 = 0, data[4] = {};
  char text[64] = {};
  const int32_t results[] = {
      Vonmod_GetDeviceSerialNo(&session, &value),
      Vonmod_ReadSingleAnalogIn(&session, 0, 0, volts, 0),
      Vonmod_ReadCounter(&session, 0, &value),
      Vonmod_DIO(&session, 0, 0, &byte0, &byte1, 0),
      Vonmod_ReadMultiAnalogIn(&session, 0, 8, 0, volts, 0),
      Vonmod_GetCredits(&session, text),
      Vonmod_GetFirmwareVersion(&session, &value),
      Vonmod_Reset(&session),
      Vonmod_PWMOut(&session, 1, 50, 20),
      Vonmod_STOPPWM(&session, 1),
      Vonmod_ReadMemory(&session, 4, 0, data),
      Vonmod_WriteMemory(&session, 4, 0, data),
      Vonmod_ReadVONM_DEVID(&session, &byte0),
      Vonmod_10bitPWMOut(&session, 1, 500, 20),
      Vonmod_AIStopStream(&session),
  };
  for (size_t i = 0; i < std::size(results); ++i) EXPECT_EQ(results[i], 8) << "call " << i;
  EXPECT_TRUE(callsOf(Call::Write).empty());
}

// A session with a pipe gone, of a foreign module, or none: 8, and neither pipe is touched.
TEST_F(SessionTest, ABrokenOrForeignSessionGives8AndTouchesNoPipe) {
  VonmodSession readGone = session, writeGone = session, foreign = session, unknown = session;
  readGone.readPipe = -1;
  writeGone.writePipe = -1;
  foreign.deviceIndex = 127;
  unknown.deviceIndex = -1;
  int32_t version = 0;
  VonmodSession* const broken[] = {&readGone, &writeGone, &foreign, nullptr};
  for (VonmodSession* b : broken) EXPECT_EQ(Vonmod_GetFirmwareVersion(b, &version), 8);
  EXPECT_EQ(Vonmod_ReleaseDevice(&unknown), 8);
  EXPECT_EQ(readGone.writePipe, session.writePipe);
  EXPECT_EQ(writeGone.readPipe, session.readPipe);
  EXPECT_TRUE(callsOf(Call::Write).empty());
  EXPECT_TRUE(closed().empty());
  // The whole session still works, and its release closes each pipe exactly once.
  const std::vector<int32_t> pipes = {session.writePipe, session.readPipe};
  EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), 0);
  EXPECT_EQ(Vonmod_ReleaseDevice(&session), 0);
  EXPECT_EQ(closed(), pipes);
}

TEST_F(SessionTest, ResetSendsFFWithoutWaitingAndReleases) {
  EXPECT_EQ(Vonmod_Reset(&session), 0);
  const auto writes = callsOf(Call::Write);
  ASSERT_GE(writes.size(), 1u);
  EXPECT_EQ(writes[0].data, Bytes{0xFF});
  const auto reads = callsOf(Call::Read);
  ASSERT_GE(reads.size(), 1u);
  EXPECT_EQ(reads[0].timeoutMs, 0);
  EXPECT_EQ(reads[0].length, 0);
  EXPECT_EQ(session.writePipe, -1);
  EXPECT_EQ(session.readPipe, -1);
  EXPECT_TRUE(sim->openPipes().empty());
}

TEST_F(SessionTest, PulledModuleFailsTheNextCommandAndReleasesEverything) {
  int32_t rate = 0;
  ASSERT_EQ(Vonmod_AIStartStream(&session, 0, 1, 0, 1000, &rate, 0), 0);
  ASSERT_EQ(sim->openPipes().size(), 6u);
  sim->pull(0);
  int32_t version = 0;
  EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), 6);
  EXPECT_EQ(session.writePipe, -1);
  EXPECT_EQ(session.readPipe, -1);
  float volts[128] = {};
  int32_t scans = -1;
  EXPECT_EQ(Vonmod_AIGetScans(&session, 128, 10, volts, &scans), 18);
  EXPECT_EQ(scans, -1);
  EXPECT_EQ(Vonmod_ReleaseDevice(&session), 8);  // its pipes were already closed
  EXPECT_TRUE(sim->openPipes().empty()) << "stream pipes outlived the module";
  int32_t count = -1;
  EXPECT_EQ(Vonmod_EnumerateDev(0, &count), 0);
  EXPECT_EQ(count, 0);
  VonmodSession again{};
  EXPECT_EQ(Vonmod_OpenDevice(0, 0, &again), 2);
}

}  // namespace
}  // namespace vonmod_test
