#pragma once
// The seams through which an enumerator finds devices and hears of arrivals and removals
// (Discovery: UdevDiscovery on Linux, SimulatedDiscovery for tests and demos) and of the
// system's sleep (PowerWatch: logind on Linux, the simulated system's for tests).

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
};

// What the enumerator does when the system sleeps and wakes. Called on the watch's own thread,
// never on the client's: a client that does not pump events still has its devices closed
// before the machine sleeps and opened again when it wakes.
class PowerListener {
 public:
  virtual ~PowerListener() = default;
  // Returns once every open device's I/O is closed; the system may sleep after that.
  virtual void suspending() = 0;
  virtual void resumed() = 0;
};

class PowerWatch {
 public:
  // Stops calling the listener before it returns.
  virtual ~PowerWatch() = default;
  // From now on, suspend and resume reach listener, which outlives the watch.
  virtual void start(PowerListener& listener) = 0;
  // Whether a device is open: only then is the system's sleep held off until the devices are
  // closed. Called from any thread.
  virtual void holdSleep(bool hold) = 0;
};

}  // namespace zdaq
