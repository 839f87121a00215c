// The system's suspend as logind announces it, on a private bus with a logind stand-in.
#include "zdaq/src/logind_suspend.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/zdaq/fake_logind.h"
#include "tests/zdaq/sim_fixture.h"
#include "zdaq/src/udev_discovery.h"

namespace zdaq::testing {
namespace {

class LogindSuspendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (logind.address().empty()) GTEST_SKIP() << "no dbus-daemon to stand in for the system bus";
    setenv("DBUS_SYSTEM_BUS_ADDRESS", logind.address().c_str(), 1);
  }
  void TearDown() override { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }

  FakeLogind logind;
};

TEST_F(LogindSuspendTest, HoldsSleepUntilTheSuspendIsHandled) {
  UdevDiscovery discovery;
  ASSERT_GE(discovery.descriptor(), 0);
  EXPECT_TRUE(logind.waitInhibitorsHeld(1));  // taken at once

  logind.prepareForSleep(true);
  ASSERT_TRUE(WaitReadable(discovery.descriptor()));
  std::vector<DiscoveryEvent> events;
  for (int tries = 0; tries < 100 && events.empty(); ++tries) {
    events = discovery.takeEvents();
    if (events.empty()) WaitReadable(discovery.descriptor(), 50);
  }
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, DiscoveryEvent::Kind::Suspend);
  EXPECT_EQ(logind.inhibitorsHeld(), 1);  // the devices are not closed yet
  discovery.suspendHandled();
  EXPECT_TRUE(logind.waitInhibitorsHeld(0));

  // Awake again: the next sleep is held too.
  logind.prepareForSleep(false);
  ASSERT_TRUE(WaitReadable(discovery.descriptor()));
  for (int tries = 0; tries < 100 && logind.inhibitorsHeld() == 0; ++tries) {
    EXPECT_TRUE(discovery.takeEvents().empty());
    WaitReadable(discovery.descriptor(), 50);
  }
  EXPECT_EQ(logind.inhibitorsHeld(), 1);
}

TEST(LogindSuspendWatchTest, WithoutABusItIsSilent) {
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/zdaq-bus", 1);
  LogindSuspendWatch watch;
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  EXPECT_EQ(watch.descriptor(), -1);
  EXPECT_FALSE(watch.takeSuspend());
  watch.suspendHandled();  // nothing to give back
}

}  // namespace
}  // namespace zdaq::testing
