#include "zdaq/src/logind_suspend.h"

#include <unistd.h>

#ifdef ZDAQ_HAVE_SD_BUS
#include <systemd/sd-bus.h>
#endif

namespace zdaq {

#ifdef ZDAQ_HAVE_SD_BUS

struct LogindSuspendWatch::Bus {
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
      if (sd_bus_message_read(reply, "h", &fd) >= 0 && fd >= 0) inhibitor = dup(fd);
    }
    sd_bus_message_unref(reply);
  }

  void releaseInhibitor() {
    if (inhibitor >= 0) close(inhibitor);
    inhibitor = -1;
  }
};

LogindSuspendWatch::LogindSuspendWatch() {
  auto b = std::make_unique<Bus>();
  if (sd_bus_open_system(&b->bus) < 0) return;
  if (sd_bus_match_signal(b->bus, &b->slot, "org.freedesktop.login1", "/org/freedesktop/login1",
                          "org.freedesktop.login1.Manager", "PrepareForSleep",
                          &Bus::onPrepareForSleep, b.get()) < 0)
    return;
  b->takeInhibitor();
  bus_ = std::move(b);
}

LogindSuspendWatch::~LogindSuspendWatch() = default;

int LogindSuspendWatch::descriptor() const { return bus_ ? sd_bus_get_fd(bus_->bus) : -1; }

bool LogindSuspendWatch::takeSuspend() {
  if (!bus_) return false;
  while (sd_bus_process(bus_->bus, nullptr) > 0) {
  }
  if (bus_->resumed) {
    bus_->resumed = false;
    bus_->takeInhibitor();  // awake again: hold the next sleep until the devices are closed
  }
  const bool suspending = bus_->suspending;
  bus_->suspending = false;
  return suspending;
}

void LogindSuspendWatch::suspendHandled() {
  if (bus_) bus_->releaseInhibitor();
}

#else  // no libsystemd at build time

struct LogindSuspendWatch::Bus {};
LogindSuspendWatch::LogindSuspendWatch() = default;
LogindSuspendWatch::~LogindSuspendWatch() = default;
int LogindSuspendWatch::descriptor() const { return -1; }
bool LogindSuspendWatch::takeSuspend() { return false; }
void LogindSuspendWatch::suspendHandled() {}

#endif

}  // namespace zdaq
