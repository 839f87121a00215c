#include "tests/zdaq/fake_logind.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace zdaq::testing {
namespace {

int Inhibit(sd_bus_message* m, void* self, sd_bus_error*) {
  const char *what, *who, *why, *mode;
  if (sd_bus_message_read(m, "ssss", &what, &who, &why, &mode) < 0) return -EINVAL;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -errno;
  const int r = sd_bus_reply_method_return(m, "h", fds[1]);  // the reply carries its own copy
  close(fds[1]);
  static_cast<std::vector<int>*>(self)->push_back(fds[0]);
  return r;
}

const sd_bus_vtable kManager[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Inhibit", "ssss", "h", Inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_SIGNAL("PrepareForSleep", "b", 0),
    SD_BUS_VTABLE_END,
};

}  // namespace

FakeLogind::FakeLogind() {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  daemon_ = fork();
  if (daemon_ == 0) {
    dup2(out[1], 1);
    const int quiet = open("/dev/null", O_WRONLY);  // its complaints about fd limits are noise
    if (quiet >= 0) dup2(quiet, 2);
    execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile",
           "--print-address=1", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  char line[512] = {};
  size_t used = 0;
  pollfd p{out[0], POLLIN, 0};
  while (used < sizeof line - 1 && poll(&p, 1, 5000) == 1) {
    const ssize_t n = read(out[0], line + used, 1);
    if (n <= 0 || line[used] == '\n') break;
    used += static_cast<size_t>(n);
  }
  close(out[0]);
  if (used == 0) return;
  std::string address(line, used);

  // The stand-in's own connection, served on its own thread.
  if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address.c_str()) < 0 ||
      sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0 ||
      sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/login1",
                               "org.freedesktop.login1.Manager", kManager, &inhibitors_) < 0 ||
      sd_bus_request_name(bus_, "org.freedesktop.login1", 0) < 0)
    return;
  address_ = address;
  thread_ = std::thread(&FakeLogind::serve, this);
}

FakeLogind::~FakeLogind() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  sd_bus_flush_close_unref(bus_);
  for (int fd : inhibitors_) close(fd);
  if (daemon_ > 0) {
    kill(daemon_, SIGTERM);
    waitpid(daemon_, nullptr, 0);
  }
}

void FakeLogind::serve() {
  while (!stop_) {
    {
      std::lock_guard lock(mutex_);
      const int signal = pendingSignal_.exchange(-1);
      if (signal >= 0)
        sd_bus_emit_signal(bus_, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                           "PrepareForSleep", "b", signal);
      while (sd_bus_process(bus_, nullptr) > 0) {
      }
    }
    sd_bus_wait(bus_, 5000);  // microseconds: commands are looked at between waits
  }
}

void FakeLogind::prepareForSleep(bool sleeping) { pendingSignal_ = sleeping ? 1 : 0; }

int FakeLogind::inhibitorsHeld() {
  std::lock_guard lock(mutex_);
  int held = 0;
  for (int fd : inhibitors_) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) == 0) ++held;  // no hang-up yet: a holder keeps the write end
  }
  return held;
}

bool FakeLogind::waitInhibitorsHeld(int count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    if (inhibitorsHeld() == count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

}  // namespace zdaq::testing
