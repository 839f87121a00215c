#include "zdaq/src/logind_suspend.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <ctime>
#include <functional>
#include <system_error>

#ifdef ZDAQ_HAVE_SD_BUS
#include <systemd/sd-bus.h>
#endif

namespace zdaq {

#ifdef ZDAQ_HAVE_SD_BUS

struct LogindPowerWatch::Bus {
  sd_bus* bus = nullptr;
  sd_bus_slot* slot = nullptr;
  int inhibitor = -1;
  bool suspending = false;
  bool resumed = false;

  ~Bus() {
    releaseInhibitor();
    sd_bus_slot_unref(slot);
    sd_bus_flush_close_unref(bus);
  }

  static int onPrepareForSleep(sd_bus_message* message, void* self, sd_bus_error*) {
    int sleeping = 0;
    if (sd_bus_message_read(message, "b", &sleeping) < 0) return 0;
    auto* b = static_cast<Bus*>(self);
    (sleeping ? b->suspending : b->resumed) = true;
    return 0;
  }

  void takeInhibitor() {
    if (inhibitor >= 0) return;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                           "org.freedesktop.login1.Manager", "Inhibit", nullptr, &reply, "ssss",
                           "sleep", "libzdaq", "Closing ZDaq devices", "delay") >= 0) {
      int fd = -1;
      // The reply owns its descriptor; our copy must not leak into programs the client starts.
      if (sd_bus_message_read(reply, "h", &fd) >= 0 && fd >= 0)
        inhibitor = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    }
    sd_bus_message_unref(reply);
  }

  void releaseInhibitor() {
    if (inhibitor >= 0) close(inhibitor);
    inhibitor = -1;
  }
};

LogindPowerWatch::LogindPowerWatch() {
  auto b = std::make_unique<Bus>();
  if (sd_bus_open_system(&b->bus) < 0) return;
  if (sd_bus_match_signal(b->bus, &b->slot, "org.freedesktop.login1", "/org/freedesktop/login1",
                          "org.freedesktop.login1.Manager", "PrepareForSleep",
                          &Bus::onPrepareForSleep, b.get()) < 0)
    return;
  wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0) return;
  bus_ = std::move(b);
}

void LogindPowerWatch::start(PowerListener& listener) {
  if (!bus_ || thread_.joinable()) return;
  try {
    thread_ = std::thread(&LogindPowerWatch::run, this, std::ref(listener));
  } catch (const std::system_error&) {
    bus_.reset();  // no thread: nothing is heard, and no lock is ever taken
  }
}

void LogindPowerWatch::run(PowerListener& listener) {
  pthread_setname_np(pthread_self(), "zdaq-power");
  bool asleep = false;
  while (!quit_.load()) {
    while (sd_bus_process(bus_->bus, nullptr) > 0) {
    }
    if (bus_->suspending) {
      bus_->suspending = false;
      asleep = true;
      listener.suspending();
      bus_->releaseInhibitor();  // the devices are closed: let the machine sleep
    }
    if (bus_->resumed) {
      bus_->resumed = false;
      asleep = false;
      listener.resumed();
    }
    // Hold the next sleep only while a device is open and the machine is awake.
    if (hold_.load() && !asleep)
      bus_->takeInhibitor();
    else
      bus_->releaseInhibitor();

    const int events = sd_bus_get_events(bus_->bus);
    uint64_t usec = UINT64_MAX;
    sd_bus_get_timeout(bus_->bus, &usec);
    int timeoutMs = -1;
    if (usec != UINT64_MAX) {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      const uint64_t nowUs =
          static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
      timeoutMs = usec <= nowUs
                      ? 0
                      : static_cast<int>(std::min<uint64_t>((usec - nowUs) / 1000 + 1, INT_MAX));
    }
    pollfd fds[2] = {
        {sd_bus_get_fd(bus_->bus), static_cast<short>(events < 0 ? POLLIN : events), 0},
        {wake_, POLLIN, 0}};
    if (poll(fds, 2, timeoutMs) < 0 && errno != EINTR) break;
    uint64_t drained = 0;
    [[maybe_unused]] const ssize_t n = read(wake_, &drained, sizeof drained);
  }
}

LogindPowerWatch::~LogindPowerWatch() {
  quit_.store(true);
  if (thread_.joinable()) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wake_, &one, sizeof one);
    thread_.join();
  }
  bus_.reset();
  if (wake_ >= 0) close(wake_);
}

void LogindPowerWatch::holdSleep(bool hold) {
  if (hold_.exchange(hold) == hold || wake_ < 0) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = write(wake_, &one, sizeof one);
}

bool LogindPowerWatch::connected() const { return bus_ != nullptr; }

#else  // no libsystemd at build time

struct LogindPowerWatch::Bus {};
LogindPowerWatch::LogindPowerWatch() = default;
LogindPowerWatch::~LogindPowerWatch() = default;
void LogindPowerWatch::start(PowerListener&) {}
void LogindPowerWatch::holdSleep(bool hold) { hold_.store(hold); }
bool LogindPowerWatch::connected() const { return false; }
void LogindPowerWatch::run(PowerListener&) {}

#endif

}  // namespace zdaq
