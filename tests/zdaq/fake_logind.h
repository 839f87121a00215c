#pragma once
// A private message bus (dbus-daemon) with a stand-in for logind on it: it hands out sleep
// inhibitors as pipe ends and emits PrepareForSleep on command. The stand-in answers only while
// the test waits in waitFor().

#include <sys/types.h>

#include <functional>
#include <string>
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
  int inhibitorsHeld() const;
  // Serves the bus until the condition holds; false if it still does not after a few seconds.
  bool waitFor(const std::function<bool()>& condition);

 private:
  pid_t daemon_ = -1;
  std::string address_;
  sd_bus* bus_ = nullptr;
  std::vector<int> inhibitors_;  // read ends
};

}  // namespace zdaq::testing
