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
  // The daemon prints its address, or exits and closes the pipe.
  char line[512] = {};
  FILE* printed = fdopen(out[0], "r");
  const bool heard = printed != nullptr && std::fgets(line, sizeof line, printed) != nullptr;
  if (printed != nullptr) std::fclose(printed);
  std::string address(line);
  if (!heard || address.empty() || address.back() != '\n') return;
  address.pop_back();

  if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address.c_str()) < 0 ||
      sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0 ||
      sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/login1",
                               "org.freedesktop.login1.Manager", kManager, &inhibitors_) < 0 ||
      sd_bus_request_name(bus_, "org.freedesktop.login1", 0) < 0)
    return;
  address_ = address;
}

FakeLogind::~FakeLogind() {
  sd_bus_flush_close_unref(bus_);
  for (int fd : inhibitors_) close(fd);
  if (daemon_ > 0) {
    kill(daemon_, SIGTERM);
    waitpid(daemon_, nullptr, 0);
  }
}

void FakeLogind::prepareForSleep(bool sleeping) {
  sd_bus_emit_signal(bus_, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                     "PrepareForSleep", "b", sleeping);
  sd_bus_flush(bus_);
}

int FakeLogind::inhibitorsHeld() const {
  int held = 0;
  for (int fd : inhibitors_) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) == 0) ++held;  // no hang-up yet: a holder keeps the write end
  }
  return held;
}

bool FakeLogind::waitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    while (sd_bus_process(bus_, nullptr) > 0) {
    }
    sd_bus_wait(bus_, 2000);  // microseconds: the condition is looked at between waits
  }
  return true;
}

}  // namespace zdaq::testing
