#include "app/acquisition/sources/rv2_source.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/acquisition/monitor_controller.h"
#include "app/acquisition/sources/serial_port.h"
#include "support/fakes.h"

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

// A pseudo-terminal: the source opens its terminal end through a link, as it would a serial
// port; the test plays the unit on the other end.
class PtyPair {
 public:
  explicit PtyPair(std::filesystem::path port) : port_(std::move(port)) {}
  ~PtyPair() { stop(); }

  bool start() {
    unit_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (unit_ < 0 || grantpt(unit_) != 0 || unlockpt(unit_) != 0) return false;
    std::error_code failed;
    std::filesystem::create_symlink(ptsname(unit_), port_, failed);
    return !failed;
  }
  // The unit vanishes: its end of the line closes.
  void stop() {
    for (int* fd : {&unit_, &watch_})
      if (*fd >= 0) ::close(std::exchange(*fd, -1));
    std::filesystem::remove(port_);
  }
  // Returns once the bytes wait at the source's end of the line (a second descriptor of that
  // end sees them without taking them).
  void send(const Bytes& bytes) {
    ASSERT_EQ(::write(unit_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    if (watch_ < 0) watch_ = ::open(port_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
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
  std::string port() const { return port_.string(); }

 private:
  static constexpr int kLimitMs = 10000;  // generous: the suite runs beside busy processes

  std::filesystem::path port_;
  int unit_ = -1;
  int watch_ = -1;
};

class Rv2EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tidemet-rv2-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    pty_ = std::make_unique<PtyPair>(dir_ / "port");
    ASSERT_TRUE(pty_->start());
    s_ = std::make_unique<Session>();
    s_->ModelCode = 8;
    s_->UnitNode = 987;
    s_->PairStartChannel = 0;
    s_->PairSecondChannel = 1;
    controller_ = std::make_unique<MonitorController>(
        *s_, alerts_, sink_, clock_, [this]() -> std::unique_ptr<Source> {
          auto source = std::make_unique<Rv2Source>(Rv2Settings{pty_->port(), "Com 5", 987}, clock_,
                                                    messages_);
          source_ = source.get();
          return source;
        });
    controller_->openSynchronously();
  }
  void TearDown() override {
    controller_.reset();
    pty_.reset();
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  // The value stored for channel c by the last tick.
  int16_t last(int c) const {
    return s_->TrialData[static_cast<size_t>(s_->trialIndex(s_->SampleIndex - 1, c))];
  }

  std::filesystem::path dir_;
  std::unique_ptr<PtyPair> pty_;
  std::unique_ptr<Session> s_;
  RecordingAlerts alerts_;
  testing::RecordingSink sink_;
  MonotonicClock clock_;
  DeviceMessages messages_;
  Rv2Source* source_ = nullptr;
  std::unique_ptr<MonitorController> controller_;
};

// Which frames count, and what the tick stores of them, are the serial unit's and the sampling
// loop's own tests; here the bytes go over a real line.
TEST_F(Rv2EndToEndTest, FramesReachTrialDataAndAVanishedUnitIsOpenedAgain) {
  const Bytes poll = {0x03, 0x03, 0xDB, 0x01, 0x06};
  const Bytes startAndPoll = {0x38, 0x03, 0xDB, 0x03, 0x03, 0xDB, 0x01, 0x06};
  ASSERT_TRUE(source_->portOpen());
  controller_->StartMonitor();
  controller_->tick();
  EXPECT_EQ(pty_->received(startAndPoll.size()), startAndPoll);
  // A reply split across two ticks: A = -200 / 2, B = 3 / 2 (halves round to even).
  pty_->send({0xFF, 0xFF, 0x38});
  controller_->tick();
  EXPECT_EQ(pty_->received(poll.size()), poll);
  pty_->send({0x00, 0x03, 0x3A});
  controller_->tick();
  EXPECT_EQ(last(0), 900);
  EXPECT_EQ(last(1), 1002);

  pty_->stop();
  auto tickUntil = [&](auto done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
      controller_->tick();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
  };
  ASSERT_TRUE(tickUntil([&] { return !source_->portOpen(); }));
  for (int i = 0; i < 5; ++i) controller_->tick();  // no tight loop of errors, no crash
  EXPECT_EQ(last(0), 900);                          // the columns keep their values
  ASSERT_TRUE(pty_->start());
  ASSERT_TRUE(tickUntil([&] { return source_->portOpen(); }));  // the retry waits 100 ms first
  EXPECT_EQ(pty_->received(startAndPoll.size()), startAndPoll);
  pty_->send({0xFF, 0x00, 0x02, 0x00, 0x04, 0x06});
  controller_->tick();
  EXPECT_EQ(last(0), 1001);
  EXPECT_EQ(last(1), 1002);
  EXPECT_TRUE(messages_.take().empty());
}

}  // namespace
}  // namespace tidemet
