// The system's sleep as logind announces it, on a private bus with a logind stand-in: the
// library's own thread closes and reopens the devices, whether or not the client pumps events.
#include "zdaq/src/logind_suspend.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "tests/zdaq/fake_logind.h"
#include "tests/zdaq/sim_fixture.h"

namespace zdaq::testing {
namespace {

std::set<int> OpenDescriptors() {
  std::set<int> fds;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    fds.insert(std::stoi(entry.path().filename()));
  return fds;
}

class LogindSuspendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (logind.address().empty()) GTEST_SKIP() << "no dbus-daemon to stand in for the system bus";
    setenv("DBUS_SYSTEM_BUS_ADDRESS", logind.address().c_str(), 1);
  }
  void TearDown() override { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }

  FakeLogind logind;
};

TEST_F(LogindSuspendTest, SleepIsHeldOnlyWhileADeviceIsOpenAndWakingReopensIt) {
  auto system = SimulatedSystem::create(false);
  auto sim = system->addDevice(kPath, kName);
  Backend backend = system->makeBackend();
  backend.power = [] { return std::make_unique<LogindPowerWatch>(); };
  const std::set<int> before = OpenDescriptors();
  auto e = CreateObjectAs<ZzDaqEnum>("ZDaq.ZzDaqEnum", backend);
  auto device = e->Devices()->Item(int32_t{1});
  EXPECT_EQ(logind.inhibitorsHeld(), 0);  // nothing open, nothing to hold a sleep for
  const auto held = [&](int count) {
    return logind.waitFor([&] { return logind.inhibitorsHeld() == count; });
  };

  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    device->Open();
    ASSERT_TRUE(held(1));
    // Every descriptor the library made is closed on exec, the sleep lock's copy included.
    for (const int fd : OpenDescriptors())
      EXPECT_TRUE(before.contains(fd) || (fcntl(fd, F_GETFD) & FD_CLOEXEC)) << fd;
    logind.prepareForSleep(true);
    EXPECT_TRUE(logind.waitFor([&] { return !sim->opened(); }));
    EXPECT_TRUE(held(0));  // given back once the device is closed

    logind.prepareForSleep(false);
    EXPECT_TRUE(logind.waitFor([&] { return sim->opened(); }));
    EXPECT_TRUE(held(1));  // what the device tells its client then is the suspend test's

    device->Close();
    EXPECT_TRUE(held(0));
  }
}

TEST(LogindPowerWatchTest, WithoutABusItIsSilent) {
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/zdaq-bus", 1);
  LogindPowerWatch watch;
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  EXPECT_FALSE(watch.connected());
  struct Listener : PowerListener {
    void suspending() override {}
    void resumed() override {}
  } listener;
  watch.start(listener);
  watch.holdSleep(true);  // nothing to hold, nothing fails
  watch.holdSleep(false);
}

}  // namespace
}  // namespace zdaq::testing
