#pragma once
// Hears the system going to sleep: logind's PrepareForSleep signal on the system bus. While
// awake it holds a delay inhibitor, so the devices are closed before the machine sleeps; the
// lock is given back once the suspend has been handled and taken again on resume.
// Without a system bus (or without libsystemd at build time) it stays silent.

#include <memory>

namespace zdaq {

class LogindSuspendWatch {
 public:
  LogindSuspendWatch();
  ~LogindSuspendWatch();
  LogindSuspendWatch(const LogindSuspendWatch&) = delete;
  LogindSuspendWatch& operator=(const LogindSuspendWatch&) = delete;

  // Polls readable when bus messages wait; -1 when not connected.
  int descriptor() const;
  // Processes waiting messages; true when the system is about to sleep.
  bool takeSuspend();
  // The devices are closed: let the machine sleep.
  void suspendHandled();

 private:
  struct Bus;
  std::unique_ptr<Bus> bus_;
};

}  // namespace zdaq
