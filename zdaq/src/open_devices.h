#pragma once
// The open devices of one enumerator, shared with the devices themselves: the power thread
// closes and reopens them around a system sleep, and the sleep is held off (so that they close
// first) only while at least one of them is open.

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "zdaq/discovery.h"

namespace zdaq {

class ZzDaqDevice;

class OpenDevices {
 public:
  explicit OpenDevices(PowerWatch* watch) : watch_(watch) {}

  // A device's open flag was set or cleared. Called with the device's own lock held, so these
  // never call back into a device.
  void opened(const ZzDaqDevice* device, std::weak_ptr<ZzDaqDevice> handle);
  void closed(const ZzDaqDevice* device);
  // The open devices now; the caller works on them without this set's lock.
  std::vector<std::shared_ptr<ZzDaqDevice>> snapshot() const;
  // The watch is going away: devices that outlive their enumerator hold nothing.
  void detach();

 private:
  mutable std::mutex mutex_;
  PowerWatch* watch_;
  std::vector<std::pair<const ZzDaqDevice*, std::weak_ptr<ZzDaqDevice>>> devices_;
};

}  // namespace zdaq
