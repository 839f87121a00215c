#pragma once
// A private message bus (dbus-daemon) with a stand-in for logind on it: it hands out sleep
// inhibitors as pipe ends and emits PrepareForSleep on command.

#include <sys/types.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct sd_bus;

namespace zdaq::testing {

class FakeLogind {
 public:
  FakeLogind();  // address() is empty when no dbus-daemon can be started
  ~FakeLogind();

  const std::string& address() const { return address_; }
  void prepareForSleep(bool sleeping);
  // Inhibitors handed out and not yet closed by their holder.
  int inhibitorsHeld();
  // Bounded wait for inhibitorsHeld() == count.
  bool waitInhibitorsHeld(int count);

 private:
  void serve();

  pid_t daemon_ = -1;
  std::string address_;
  sd_bus* bus_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> pendingSignal_{-1};  // -1 none, else the boolean to emit
  std::mutex mutex_;
  std::vector<int> inhibitors_;  // read ends
};

}  // namespace zdaq::testing
