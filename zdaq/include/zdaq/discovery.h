#pragma once
// The seam through which an enumerator finds devices and hears of arrivals, removals and
// suspend: UdevDiscovery on Linux, SimulatedDiscovery for tests and demos.

#include <string>
#include <vector>

namespace zdaq {

struct DeviceInfo {
  std::string path;  // the device interface (device node)
  std::string name;  // friendly name
};

struct DiscoveryEvent {
  enum class Kind {
    Arrival,        // a device interface arrived: a new device object
    Removal,        // removal complete: the device leaves the collection and is closed
    QueryRemove,    // the handle is about to go: the device's I/O closes, it reads as removed
    HandleArrival,  // the handle may be opened again: a removed device re-opens
    Suspend,        // the system suspends: every open device's I/O closes
  };
  Kind kind;
  std::string path;
  std::string name;
};

class Discovery {
 public:
  virtual ~Discovery() = default;
  // The devices present now. An entry without a path or a name is left out by the caller.
  // Throws zdaq::Error on a system failure.
  virtual std::vector<DeviceInfo> enumerate() = 0;
  // Polls readable while events wait; -1 when the platform offers no notification.
  virtual int descriptor() const = 0;
  // The events that arrived since the last call, oldest first; never blocks.
  virtual std::vector<DiscoveryEvent> takeEvents() = 0;
  // A Suspend has been applied: every device is closed, the system may sleep.
  virtual void suspendHandled() {}
};

}  // namespace zdaq
