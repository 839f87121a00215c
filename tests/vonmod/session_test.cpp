// Enumeration, opening, release and reset against the simulated module.

#include "tests/vonmod/sim_fixture.h"

namespace vonmod_test {
namespace {

class SessionTest : public SimModuleTest {};

// Each instance is probed on its read pipe until all counted modules are found; none stays open.
// Opening a module takes both its command pipes, or none when one of them is refused.
TEST_F(SessionTest, EnumerationProbesEachInstanceAndOpeningTakesBothPipesOrNone) {
  int32_t count = -1;
  ASSERT_EQ(Vonmod_EnumerateDev(0, &count), 0);  // releases the open session
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0x33}}));
  EXPECT_TRUE(sim->openPipes().empty());
  for (const int32_t modules : {0, 3}) {
    sim->reset(modules);
    ASSERT_EQ(Vonmod_EnumerateDev(0, &count), 0);
    EXPECT_EQ(count, modules);
    std::vector<int32_t> probed;
    for (const Call& open : callsOf(Call::Open)) {
      probed.push_back(open.instance);
      EXPECT_EQ(open.direction, MPUSB_READ);
    }
    EXPECT_EQ(probed, (modules == 0 ? std::vector<int32_t>{0} : std::vector<int32_t>{0, 1, 2}));
    EXPECT_TRUE(sim->openPipes().empty());
  }
  VonmodSession third{};
  ASSERT_EQ(Vonmod_OpenDevice(0, 2, &third), 0);
  EXPECT_EQ(third.deviceIndex, 2);
  EXPECT_EQ(third.instance, 2);
  EXPECT_EQ(Vonmod_ReleaseDevice(&third), 0);
  // A refused pipe gives 5 and leaves nothing open.
  for (const int32_t direction : {MPUSB_WRITE, MPUSB_READ}) {
    sim->refuseOpen("\\MCHP_EP1", direction);
    EXPECT_EQ(Vonmod_OpenDevice(0, 2, &third), 5) << direction;
    EXPECT_EQ(third.writePipe, -1);
    EXPECT_EQ(third.readPipe, -1);
    EXPECT_TRUE(sim->openPipes().empty());
  }
}

// A copy with a pipe gone, or of a foreign module, is refused and touches no pipe; a released
// session is dead.
TEST_F(SessionTest, ReleaseStopsStreamingClosesBothPipesOnceAndLeavesADeadSession) {
  VonmodSession readGone = session, foreign = session, unknown = session;
  readGone.readPipe = -1;
  foreign.deviceIndex = 127;
  unknown.deviceIndex = -1;
  int32_t version = 0;
  EXPECT_EQ(Vonmod_GetFirmwareVersion(&readGone, &version), 8);
  EXPECT_EQ(Vonmod_GetFirmwareVersion(&foreign, &version), 8);
  EXPECT_EQ(Vonmod_ReleaseDevice(&unknown), 8);
  EXPECT_EQ(Vonmod_ReleaseDevice(nullptr), 8);
  EXPECT_TRUE(sim->calls().empty());
  EXPECT_EQ(readGone.writePipe, session.writePipe);
  const int32_t writePipe = session.writePipe, readPipe = session.readPipe;
  EXPECT_EQ(Vonmod_ReleaseDevice(&session), 0);
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0x33}}));
  EXPECT_EQ(closed(), (std::vector<int32_t>{writePipe, readPipe}));
  EXPECT_EQ(Vonmod_ReleaseDevice(&session), 8);
  // Commands, and the calls that reach the pipes without one, refuse it and send nothing.
  sim->clearCalls();
  uint8_t data[4] = {};
  EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), 8);
  EXPECT_EQ(Vonmod_Reset(&session), 8);
  EXPECT_EQ(Vonmod_AIStopStream(&session), 8);
  EXPECT_EQ(Vonmod_WriteMemory(&session, 4, 0, data), 8);
  EXPECT_EQ(Vonmod_AIStartStream(&session, 0, 9, 0, 1000, &version, 0), 5) << "before channels";
  EXPECT_EQ(Vonmod_AIStartContinuous(&session, 0, 1), 5);
  EXPECT_TRUE(callsOf(Call::Write).empty());
}

TEST_F(SessionTest, ResetSendsFFWithoutWaitingAndReleases) {
  EXPECT_EQ(Vonmod_Reset(&session), 0);
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0xFF}, {0x33}}));  // then the release's stop
  const auto reads = callsOf(Call::Read);
  ASSERT_GE(reads.size(), 1u);
  EXPECT_EQ(reads[0].timeoutMs, 0);
  EXPECT_EQ(reads[0].length, 0);
  EXPECT_TRUE(sim->openPipes().empty());
}

TEST_F(SessionTest, PulledModuleFailsTheNextCommandAndReleasesEverything) {
  int32_t rate = 0;
  ASSERT_EQ(Vonmod_AIStartStream(&session, 0, 1, 0, 1000, &rate, 0), 0);
  ASSERT_EQ(sim->openPipes().size(), 6u);
  sim->pull(0);
  int32_t version = 0;
  EXPECT_EQ(Vonmod_GetFirmwareVersion(&session, &version), 6);
  EXPECT_EQ(Vonmod_ReleaseDevice(&session), 8);  // its pipes were already closed
  EXPECT_TRUE(sim->openPipes().empty()) << "stream pipes outlived the module";
}

}  // namespace
}  // namespace vonmod_test
