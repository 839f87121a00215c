#pragma once
// Devices of the driver's class through libudev: the devices of subsystem "zdaq", the interface
// path being the device node and the friendly name the model (udev property ID_MODEL, else the
// USB parent's "product" attribute). Arrivals and removals follow through a udev monitor, and
// the system's suspend through logind; the descriptor joins both.

#include <memory>

#include "zdaq/discovery.h"
#include "zdaq/src/logind_suspend.h"

struct udev;
struct udev_monitor;

namespace zdaq {

class UdevDiscovery final : public Discovery {
 public:
  // Throws a system error if udev cannot be reached at all. Without a monitor (no netlink in
  // this environment) the list is read once and no event ever arrives.
  UdevDiscovery();
  ~UdevDiscovery() override;
  UdevDiscovery(const UdevDiscovery&) = delete;
  UdevDiscovery& operator=(const UdevDiscovery&) = delete;

  std::vector<DeviceInfo> enumerate() override;
  int descriptor() const override;
  std::vector<DiscoveryEvent> takeEvents() override;
  void suspendHandled() override { suspend_.suspendHandled(); }

 private:
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  LogindSuspendWatch suspend_;
  int epoll_ = -1;  // readable when the monitor or the bus is
};

}  // namespace zdaq
