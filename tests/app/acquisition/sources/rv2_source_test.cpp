#include "app/acquisition/sources/rv2_source.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/acquisition/monitor_controller.h"
#include "app/acquisition/sources/serial_port.h"
#include "support/fakes.h"

extern char** environ;

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

// A pseudo-terminal pair made by socat: the source opens one end, the test plays the unit on the
// other.
class PtyPair {
 public:
  explicit PtyPair(const std::filesystem::path& dir) : unit_(dir / "unit"), port_(dir / "port") {}
  ~PtyPair() { stop(); }

  bool start() {
    std::filesystem::remove(unit_);
    std::filesystem::remove(port_);
    const std::string a = "pty,raw,echo=0,link=" + port_.string();
    const std::string b = "pty,raw,echo=0,link=" + unit_.string();
    std::vector<char*> argv = {const_cast<char*>("socat"), const_cast<char*>(a.c_str()),
                               const_cast<char*>(b.c_str()), nullptr};
    if (posix_spawnp(&pid_, "socat", nullptr, nullptr, argv.data(), environ) != 0) return false;
    for (int i = 0; i < 200; ++i) {
      if (std::filesystem::exists(unit_) && std::filesystem::exists(port_)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fd_ = ::open(unit_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return false;
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd_, TCSANOW, &tio);
    return true;
  }
  void stop() {
    if (fd_ >= 0) ::close(fd_);
    if (watch_ >= 0) ::close(watch_);
    fd_ = watch_ = -1;
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
  }
  // Returns once the bytes wait at the source's end of the line (a second descriptor of that
  // end sees them without taking them).
  void send(const Bytes& bytes) {
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    if (watch_ < 0) watch_ = ::open(port_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    pollfd p{watch_, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, kLimitMs), 1) << "the bytes did not arrive";
  }
  // What the source wrote, once `count` bytes have come.
  Bytes received(size_t count) {
    Bytes out;
    uint8_t buf[256];
    for (int waited = 0; out.size() < count && waited < kLimitMs; ++waited) {
      const ssize_t n = ::read(fd_, buf, sizeof buf);
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

  std::filesystem::path unit_, port_;
  pid_t pid_ = -1;
  int fd_ = -1;
  int watch_ = -1;
};

bool haveSocat() { return std::system("command -v socat >/dev/null 2>&1") == 0; }

class Rv2EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveSocat()) GTEST_SKIP() << "socat is not installed";
    char pattern[] = "/tmp/tidemet-rv2-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    pty_ = std::make_unique<PtyPair>(dir_);
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
  int16_t stored(int row, int c) const { return s_->TrialData[static_cast<size_t>(row * 2 + c)]; }

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

const Bytes kStart987 = {0x38, 0x03, 0xDB};
const Bytes kPoll987 = {0x03, 0x03, 0xDB, 0x01, 0x06};

TEST_F(Rv2EndToEndTest, FramesWrittenByTheUnitReachTrialData) {
  ASSERT_TRUE(source_->portOpen());
  controller_->StartMonitor();
  controller_->tick();  // no frame yet: the values of no frame, 0 and 0
  EXPECT_EQ(stored(0, 0), 1000);
  EXPECT_EQ(stored(0, 1), 1000);
  Bytes expected = kStart987;
  expected.insert(expected.end(), kPoll987.begin(), kPoll987.end());
  EXPECT_EQ(pty_->received(expected.size()), expected);

  // Noise, a frame with a wrong checksum, then a good one: A = 50, B = 100.
  pty_->send({0x12, 0xFF, 0x00, 0x64, 0x00, 0xC8, 0x2D, 0xFF, 0x00, 0x64, 0x00, 0xC8, 0x2C});
  controller_->tick();
  EXPECT_EQ(stored(1, 0), 1050);
  EXPECT_EQ(stored(1, 1), 1100);
  EXPECT_EQ(pty_->received(kPoll987.size()), kPoll987);

  // A tick without a frame repeats the previous values.
  controller_->tick();
  EXPECT_EQ(stored(2, 0), 1050);

  // A reply split across two ticks: A = -200 / 2, B = 3 / 2 (halves round to even).
  pty_->send({0xFF, 0xFF, 0x38});
  controller_->tick();
  EXPECT_EQ(stored(3, 0), 1050);
  pty_->send({0x00, 0x03, 0x3A});
  controller_->tick();
  EXPECT_EQ(stored(4, 0), 900);
  EXPECT_EQ(stored(4, 1), 1002);
  EXPECT_TRUE(messages_.take().empty());
}

TEST_F(Rv2EndToEndTest, AVanishedUnitClosesThePortAndItIsReopenedWithItsStartCommand) {
  controller_->StartMonitor();
  pty_->send({0xFF, 0x00, 0x64, 0x00, 0xC8, 0x2C});
  controller_->tick();
  ASSERT_EQ(stored(0, 0), 1050);
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
  EXPECT_EQ(stored(s_->SampleIndex - 1, 0), 1050);  // the columns keep their values

  ASSERT_TRUE(pty_->start());
  ASSERT_TRUE(tickUntil([&] { return source_->portOpen(); }));  // the retry waits 100 ms first
  Bytes expected = kStart987;
  expected.insert(expected.end(), kPoll987.begin(), kPoll987.end());
  EXPECT_EQ(pty_->received(expected.size()), expected);
  pty_->send({0xFF, 0x00, 0x02, 0x00, 0x04, 0x06});
  controller_->tick();
  EXPECT_EQ(stored(s_->SampleIndex - 1, 0), 1001);
  EXPECT_EQ(stored(s_->SampleIndex - 1, 1), 1002);
}

}  // namespace
}  // namespace tidemet
