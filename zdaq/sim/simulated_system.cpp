#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "zdaq/simulated.h"
#include "zdaq/src/events.h"

namespace zdaq {

// Notifications waiting for one simulated discovery.
class SimulatedDiscoveryQueue {
 public:
  SimulatedDiscoveryQueue() : ready_(kIZzDaqEnum) {}
  void push(const DiscoveryEvent& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    ready_.set();
  }
  std::vector<DiscoveryEvent> take() {
    std::lock_guard lock(mutex_);
    std::vector<DiscoveryEvent> out(std::move(events_));
    events_.clear();
    ready_.reset();
    return out;
  }
  int descriptor() const { return ready_.descriptor(); }

 private:
  std::mutex mutex_;
  std::vector<DiscoveryEvent> events_;
  ManualEvent ready_;
};

// The power side of one enumerator: its listener and whether it holds off sleep.
class SimulatedPower {
 public:
  void setListener(PowerListener* listener) {
    std::lock_guard lock(mutex_);
    listener_ = listener;
  }
  // Under the lock, so that a watch going away waits for a call in progress.
  void deliver(bool suspending) {
    std::lock_guard lock(mutex_);
    if (listener_ == nullptr) return;
    if (suspending)
      listener_->suspending();
    else
      listener_->resumed();
  }
  // Touched with device locks held: never takes mutex_, which deliver holds while it waits
  // for them.
  std::atomic<bool> hold{false};

 private:
  std::mutex mutex_;
  PowerListener* listener_ = nullptr;
};

namespace {

class SimulatedPowerWatch final : public PowerWatch {
 public:
  explicit SimulatedPowerWatch(std::shared_ptr<SimulatedPower> power) : power_(std::move(power)) {}
  ~SimulatedPowerWatch() override {
    power_->setListener(nullptr);
    power_->hold.store(false);
  }
  void start(PowerListener& listener) override { power_->setListener(&listener); }
  void holdSleep(bool hold) override { power_->hold.store(hold); }

 private:
  std::shared_ptr<SimulatedPower> power_;
};

class SimulatedHandle final : public DriverHandle {
 public:
  explicit SimulatedHandle(std::shared_ptr<SimulatedDevice> device)
      : device_(std::move(device)), completion_(kIZzDaqDevice) {}
  ~SimulatedHandle() override { device_->close(); }

  ControlResult control(uint32_t code, std::span<const std::byte> in,
                        std::span<std::byte> out) override {
    return device_->control(code, in, out);
  }

  ReadResult beginRead(uint32_t freeSlots, std::span<std::byte> region) override {
    bool pend = false;
    ReadResult result = device_->beginRead(freeSlots, region, pend);
    if (pend) {
      slots_ = freeSlots;
      region_ = region;
      completion_.set();  // completes as soon as the thread looks
    }
    return result;
  }

  int readDescriptor() const override { return completion_.descriptor(); }

  ReadResult completeRead() override {
    completion_.reset();
    ReadResult result = device_->completeRead(slots_, region_);
    region_ = {};
    return result;
  }

  void cancelRead() override {
    completion_.reset();
    region_ = {};
  }

 private:
  std::shared_ptr<SimulatedDevice> device_;
  ManualEvent completion_;
  uint32_t slots_ = 0;
  std::span<std::byte> region_;
};

class SimulatedDriver final : public Driver {
 public:
  explicit SimulatedDriver(std::shared_ptr<SimulatedSystem> system) : system_(std::move(system)) {}

  std::unique_ptr<DriverHandle> open(const std::string& interfacePath, int& error) override {
    auto device = system_->findDevice(interfacePath);
    if (!device) {
      error = ENOENT;
      return nullptr;
    }
    error = device->open();
    if (error != 0) return nullptr;
    return std::make_unique<SimulatedHandle>(std::move(device));
  }

 private:
  std::shared_ptr<SimulatedSystem> system_;
};

class SimulatedDiscovery final : public Discovery {
 public:
  explicit SimulatedDiscovery(std::shared_ptr<SimulatedSystem> system)
      : system_(std::move(system)), queue_(std::make_shared<SimulatedDiscoveryQueue>()) {
    system_->subscribe(queue_);
  }
  std::vector<DeviceInfo> enumerate() override { return system_->list(); }
  int descriptor() const override { return queue_->descriptor(); }
  std::vector<DiscoveryEvent> takeEvents() override { return queue_->take(); }

 private:
  std::shared_ptr<SimulatedSystem> system_;
  std::shared_ptr<SimulatedDiscoveryQueue> queue_;
};

}  // namespace

std::shared_ptr<SimulatedSystem> SimulatedSystem::create(bool automatic) {
  return std::shared_ptr<SimulatedSystem>(new SimulatedSystem(automatic));
}

std::shared_ptr<SimulatedDevice> SimulatedSystem::addDevice(std::string path, std::string name) {
  auto device = std::make_shared<SimulatedDevice>(path, name, automatic_);
  {
    std::lock_guard lock(mutex_);
    devices_.push_back(device);
  }
  raise({DiscoveryEvent::Kind::Arrival, std::move(path), std::move(name)});
  return device;
}

void SimulatedSystem::removeDevice(const std::string& path) {
  std::shared_ptr<SimulatedDevice> device;
  {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(devices_.begin(), devices_.end(),
                           [&](const auto& d) { return d->path() == path; });
    if (it == devices_.end()) return;
    device = *it;
    devices_.erase(it);
  }
  device->setPresent(false);
  raise({DiscoveryEvent::Kind::Removal, path, {}});
}

void SimulatedSystem::queryRemove(const std::string& path) {
  if (auto device = findDevice(path)) {
    device->setPresent(false);
    raise({DiscoveryEvent::Kind::QueryRemove, path, {}});
  }
}

void SimulatedSystem::returnHandle(const std::string& path) {
  if (auto device = findDevice(path)) {
    device->setPresent(true);
    raise({DiscoveryEvent::Kind::HandleArrival, path, {}});
  }
}

void SimulatedSystem::suspend() {
  for (const auto& power : powers()) power->deliver(true);
}

void SimulatedSystem::resume() {
  for (const auto& power : powers()) power->deliver(false);
}

int SimulatedSystem::sleepHolds() const {
  int holds = 0;
  for (const auto& power : powers()) holds += power->hold.load() ? 1 : 0;
  return holds;
}

std::vector<std::shared_ptr<SimulatedPower>> SimulatedSystem::powers() const {
  std::lock_guard lock(mutex_);
  std::vector<std::shared_ptr<SimulatedPower>> out;
  for (const auto& p : powers_)
    if (auto locked = p.lock()) out.push_back(std::move(locked));
  return out;
}

void SimulatedSystem::subscribe(const std::shared_ptr<SimulatedPower>& power) {
  std::lock_guard lock(mutex_);
  std::erase_if(powers_, [](const auto& p) { return p.expired(); });
  powers_.push_back(power);
}

std::shared_ptr<SimulatedDevice> SimulatedSystem::findDevice(const std::string& path) const {
  std::lock_guard lock(mutex_);
  for (const auto& d : devices_)
    if (d->path() == path) return d;
  return nullptr;
}

Backend SimulatedSystem::makeBackend() {
  auto self = shared_from_this();
  return {std::make_shared<SimulatedDriver>(self),
          [self] { return std::make_unique<SimulatedDiscovery>(self); },
          [self]() -> std::unique_ptr<PowerWatch> {
            auto power = std::make_shared<SimulatedPower>();
            self->subscribe(power);
            return std::make_unique<SimulatedPowerWatch>(std::move(power));
          }};
}

std::vector<DeviceInfo> SimulatedSystem::list() const {
  std::lock_guard lock(mutex_);
  std::vector<DeviceInfo> out;
  for (const auto& d : devices_) out.push_back({d->path(), d->name()});
  return out;
}

void SimulatedSystem::subscribe(const std::shared_ptr<SimulatedDiscoveryQueue>& queue) {
  std::lock_guard lock(mutex_);
  queues_.push_back(queue);
}

void SimulatedSystem::raise(const DiscoveryEvent& event) {
  std::vector<std::shared_ptr<SimulatedDiscoveryQueue>> queues;
  {
    std::lock_guard lock(mutex_);
    std::erase_if(queues_, [](const auto& q) { return q.expired(); });
    for (const auto& q : queues_)
      if (auto locked = q.lock()) queues.push_back(locked);
  }
  for (const auto& q : queues) q->push(event);
}

}  // namespace zdaq
