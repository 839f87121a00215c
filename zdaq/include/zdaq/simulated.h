#pragma once
// An in-process stand-in for the driver and the device registry, for tests and demos: devices
// with the twenty points and their documented configurations, analog inputs that produce steady
// waveforms, samples at the set interval (or on command), a record of every I/O control, and
// faults on demand (failing reads or controls, removal and return, suspend).

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "zdaq/discovery.h"
#include "zdaq/driver.h"
#include "zdaq/enumerator.h"

namespace zdaq {

struct ControlRecord {
  uint32_t code = 0;
  std::vector<std::byte> input;
  uint32_t outputSize = 0;
  bool operator==(const ControlRecord&) const = default;
};

class SimulatedDevice {
 public:
  // The driver's own buffer; older samples are lost (and counted) beyond it.
  static constexpr size_t kDriverBufferSamples = 65536;

  // Automatic: samples appear at the set interval; otherwise only when Produce is called.
  SimulatedDevice(std::string path, std::string name, bool automatic);
  ~SimulatedDevice();
  SimulatedDevice(const SimulatedDevice&) = delete;
  SimulatedDevice& operator=(const SimulatedDevice&) = delete;

  const std::string& path() const { return path_; }
  const std::string& name() const { return name_; }

  // Analog input waveform: point 9 + i gives 1000 + 100 i + 10 |k mod 200 - 100| at sample k.
  static int32_t inputValue(int32_t pointId, uint64_t sampleIndex);

  // Every I/O control received, in order (the sampling read is only counted).
  std::vector<ControlRecord> records() const;
  void clearRecords();
  uint64_t readsIssued() const;
  uint32_t lastReadSlots() const;
  uint64_t driverOverruns() const;
  uint64_t samplesProduced() const;
  bool sampling() const;
  bool opened() const;
  int32_t pointConfiguration(int32_t id) const;

  // Manual production: count samples become ready now (while sampling).
  void produce(uint32_t count);
  // Faults: the next count reads fail with error; the next count reads complete later (pending);
  // every control with code fails with error until error 0 clears it.
  void failReads(int count, int error);
  void pendReads(int count);
  void failControl(uint32_t code, int error);

  // Driver side, called by the simulated driver's handle.
  int open();
  void close();
  void setPresent(bool present);
  ControlResult control(uint32_t code, std::span<const std::byte> in, std::span<std::byte> out);
  // Pending: the handle completes it later through completeRead.
  ReadResult beginRead(uint32_t freeSlots, std::span<std::byte> region, bool& pend);
  ReadResult completeRead(uint32_t freeSlots, std::span<std::byte> region);

 private:
  struct Entry {
    int32_t id;
    int32_t configuration;
  };

  int controlLocked(uint32_t code, std::span<const std::byte> in, std::span<std::byte> out,
                    uint32_t& returned);
  int setupLocked(std::span<const std::byte> in);
  void stopLocked(std::unique_lock<std::mutex>& lock);
  void produceLocked(uint64_t count);
  ReadResult readLocked(uint32_t freeSlots, std::span<std::byte> region);
  int32_t valueLocked(int32_t id, int32_t configuration, uint64_t k) const;
  uint64_t clockIndexLocked() const;
  void signalDataReadyLocked(bool ready);
  void producerLoop();

  const std::string path_;
  const std::string name_;
  const bool automatic_;
  const std::chrono::steady_clock::time_point created_ = std::chrono::steady_clock::now();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool present_ = true;
  bool open_ = false;
  int32_t configurations_[21] = {};
  int32_t written_[21] = {};
  std::map<int32_t, int32_t> groupConfigurations_;
  std::vector<ControlRecord> records_;
  std::map<uint32_t, int> failingControls_;
  int failReads_ = 0;
  int failReadsError_ = 0;
  int pendReads_ = 0;
  uint64_t readsIssued_ = 0;
  uint32_t lastReadSlots_ = 0;

  // Sampling.
  std::vector<Entry> entries_;
  int64_t interval_ = 0;
  int dataReady_ = -1;  // our own duplicate of the client's eventfd
  bool dataReadySet_ = false;
  bool sampling_ = false;
  uint64_t produced_ = 0;
  uint64_t overruns_ = 0;
  std::deque<int32_t> fifo_;  // whole samples, entries_.size() values each
  std::chrono::steady_clock::time_point samplingStart_;
  bool producerStop_ = false;
  std::thread producer_;
};

class SimulatedDiscoveryQueue;
class SimulatedPower;

// The simulated machine: its devices and the notifications their comings and goings raise.
class SimulatedSystem : public std::enable_shared_from_this<SimulatedSystem> {
 public:
  static std::shared_ptr<SimulatedSystem> create(bool automatic = true);

  // Plugging in and out. Each raises the notification an enumerator of this system hears.
  std::shared_ptr<SimulatedDevice> addDevice(std::string path, std::string name);
  void removeDevice(const std::string& path);
  void queryRemove(const std::string& path);  // the handle goes; the device reads as removed
  void returnHandle(const std::string& path);
  // The system sleeps and wakes: every enumerator's power listener is called on the caller's
  // thread (standing for the library's power thread) before these return.
  void suspend();
  void resume();
  // Enumerators holding off the system's sleep now (each does while one of its devices is open).
  int sleepHolds() const;

  std::shared_ptr<SimulatedDevice> findDevice(const std::string& path) const;
  // A driver and a discovery bound to this system.
  Backend makeBackend();

  // For the simulated discovery.
  std::vector<DeviceInfo> list() const;
  void subscribe(const std::shared_ptr<SimulatedDiscoveryQueue>& queue);
  void subscribe(const std::shared_ptr<SimulatedPower>& power);

 private:
  explicit SimulatedSystem(bool automatic) : automatic_(automatic) {}
  void raise(const DiscoveryEvent& event);
  std::vector<std::shared_ptr<SimulatedPower>> powers() const;

  const bool automatic_;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<SimulatedDevice>> devices_;
  std::vector<std::weak_ptr<SimulatedDiscoveryQueue>> queues_;
  std::vector<std::weak_ptr<SimulatedPower>> powers_;
};

}  // namespace zdaq
