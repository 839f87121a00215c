#pragma once
// Hears the system going to sleep and waking through logind (PrepareForSleep on the system bus)
// on a thread of its own. While a device is open it holds a sleep delay lock, so the devices
// are closed before the machine sleeps; the lock goes back as soon as they are closed (or no
// device is open) and is taken again on waking. Without a system bus (or without libsystemd at
// build time) it stays silent.

#include <atomic>
#include <memory>
#include <thread>

#include "zdaq/discovery.h"

namespace zdaq {

class LogindPowerWatch final : public PowerWatch {
 public:
  LogindPowerWatch();
  ~LogindPowerWatch() override;
  LogindPowerWatch(const LogindPowerWatch&) = delete;
  LogindPowerWatch& operator=(const LogindPowerWatch&) = delete;

  void start(PowerListener& listener) override;
  void holdSleep(bool hold) override;
  // Whether the bus was reached.
  bool connected() const;

 private:
  struct Bus;
  void run(PowerListener& listener);

  std::unique_ptr<Bus> bus_;
  std::atomic<bool> hold_{false};
  std::atomic<bool> quit_{false};
  int wake_ = -1;  // an eventfd: hold or quit changed
  std::thread thread_;
};

}  // namespace zdaq
