#include "app/acquisition/sources/rv2_source.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/acquisition/sources/serial_port.h"

namespace tidemet {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SerialPortTest, ComPortsMapToTheirDeviceFiles) {
  const std::pair<int, const char*> cases[] = {
      {1, "/dev/ttyS0"},     {4, "/dev/ttyS3"}, {5, "/dev/ttyUSB0"},
      {16, "/dev/ttyUSB11"}, {0, ""},           {17, ""},
  };
  for (const auto& [port, device] : cases) EXPECT_EQ(ComPortDevice(port), device) << port;
}

TEST(Rv2SourceTest, APortThatCannotBeOpenedIsReportedOnceAndRetriedWithABackOff) {
  VirtualClock clock;
  DeviceMessages messages;
  Rv2Source source({"/nonexistent/ttyS9", "Com 3", 92}, clock, messages);
  const auto shown = messages.take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "Tidemet Warning");
  EXPECT_EQ(
      shown[0].text,
      "The serial port Com 3 (/nonexistent/ttyS9) cannot be opened: No such file or directory.\r\n"
      "Monitoring goes on without readings from the transmitter.");
  // Retries after 100 ms, then 200, 400, ... up to 5 s apart.
  std::vector<int64_t> attemptsAtMs;
  for (int ms = 0; ms <= 2000; ms += 10) {
    ReadingSet r;
    const int before = source.reopenAttempts();
    source.takeReadings(r);
    EXPECT_EQ(r.present, 0);
    if (source.reopenAttempts() != before) attemptsAtMs.push_back(ms);
    clock.advance(10'000'000);
  }
  EXPECT_EQ(attemptsAtMs, (std::vector<int64_t>{100, 300, 700, 1500}));
  EXPECT_TRUE(messages.take().empty());
}

// A pseudo-terminal in a folder of its own: the source opens its terminal end through a link, as
// it would a serial port; the test plays the unit on the other end.
class PtyPair {
 public:
  PtyPair() {
    char pattern[] = "/tmp/tidemet-rv2-XXXXXX";
    if (mkdtemp(pattern)) dir_ = pattern;
  }
  ~PtyPair() {
    stop();
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  bool start() {
    unit_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (dir_.empty() || unit_ < 0 || grantpt(unit_) != 0 || unlockpt(unit_) != 0) return false;
    std::error_code failed;
    std::filesystem::create_symlink(ptsname(unit_), port(), failed);
    return !failed;
  }
  // The unit vanishes: its end of the line closes.
  void stop() {
    for (int* fd : {&unit_, &watch_})
      if (*fd >= 0) ::close(std::exchange(*fd, -1));
    if (!dir_.empty()) std::filesystem::remove(port());
  }
  // Returns once the bytes wait at the source's end of the line (a second descriptor of that
  // end sees them without taking them).
  void send(const Bytes& bytes) {
    ASSERT_EQ(::write(unit_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    if (watch_ < 0) watch_ = ::open(port().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    pollfd p{watch_, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, kLimitMs), 1) << "the bytes did not arrive";
  }
  // What the source wrote, once `count` bytes have come.
  Bytes received(size_t count) {
    Bytes out;
    uint8_t buf[256];
    for (int waited = 0; out.size() < count && waited < kLimitMs; ++waited) {
      const ssize_t n = ::read(unit_, buf, sizeof buf);
      if (n > 0)
        out.insert(out.end(), buf, buf + n);
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return out;
  }
  std::string port() const { return (dir_ / "port").string(); }

 private:
  static constexpr int kLimitMs = 10000;  // generous: the suite runs beside busy processes

  std::filesystem::path dir_;
  int unit_ = -1;
  int watch_ = -1;
};

// Which frames count, and what the tick stores of them, are the serial unit's and the sampling
// loop's own tests; here the bytes go over a real line.
TEST(Rv2LineTest, FramesArriveAndAVanishedUnitIsOpenedAgain) {
  const Bytes poll = {0x03, 0x03, 0xDB, 0x01, 0x06};
  const Bytes startAndPoll = {0x38, 0x03, 0xDB, 0x03, 0x03, 0xDB, 0x01, 0x06};
  PtyPair pty;
  ASSERT_TRUE(pty.start());
  VirtualClock clock;
  DeviceMessages messages;
  Rv2Source source({pty.port(), "Com 5", 987}, clock, messages);
  ASSERT_TRUE(source.portOpen());
  source.monitoringStarted();
  ReadingSet none;
  source.takeReadings(none);
  EXPECT_EQ(none.present, 0u);
  EXPECT_EQ(pty.received(startAndPoll.size()), startAndPoll);
  // A reply split across two reads: A = -200 / 2, B = 3 / 2.
  pty.send({0xFF, 0xFF, 0x38});
  ReadingSet half;
  source.takeReadings(half);
  EXPECT_EQ(half.present, 0u);
  EXPECT_EQ(pty.received(poll.size()), poll);
  pty.send({0x00, 0x03, 0x3A});
  ReadingSet whole;
  source.takeReadings(whole);
  EXPECT_EQ(whole.present, 0x3u);
  EXPECT_EQ(whole.value[0], -100.0);
  EXPECT_EQ(whole.value[1], 1.5);

  pty.stop();
  for (int i = 0; i < 100 && source.portOpen(); ++i) {
    ReadingSet r;
    source.takeReadings(r);
  }
  ASSERT_FALSE(source.portOpen());
  ASSERT_TRUE(pty.start());
  clock.advance(100'000'000);  // the first retry
  ReadingSet again;
  source.takeReadings(again);
  ASSERT_TRUE(source.portOpen());
  EXPECT_EQ(pty.received(startAndPoll.size()), startAndPoll);
  pty.send({0xFF, 0x00, 0x02, 0x00, 0x04, 0x06});
  source.takeReadings(again);
  EXPECT_EQ(again.value[0], 1.0);
  EXPECT_EQ(again.value[1], 2.0);
  EXPECT_TRUE(messages.take().empty());
}

}  // namespace
}  // namespace tidemet
