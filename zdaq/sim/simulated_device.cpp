#include <fcntl.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "zdaq/driver_abi.h"
#include "zdaq/identifiers.h"
#include "zdaq/simulated.h"
#include "zdaq/src/le_bytes.h"
#include "zdaq/src/setup_request.h"

namespace zdaq {
namespace {

using Clock = std::chrono::steady_clock;

bool Allowed(int32_t id, int32_t configuration) {
  if (id >= kFirstDigitalPoint && id < kFirstAnalogInputPoint)
    return configuration == kNormalDigitalInput || configuration == kNormalDigitalOutput;
  if (id >= kFirstAnalogInputPoint && id < kFirstAnalogOutputPoint)
    return configuration == kSingleEndedAnalogInput || configuration == kDifferentialAnalogInput;
  if (id >= kFirstAnalogOutputPoint && id <= kPointCount) return configuration == kAnalogOutput;
  return false;
}

bool ValidPoint(int32_t id) { return id >= 1 && id <= kPointCount; }

}  // namespace

SimulatedDevice::SimulatedDevice(std::string path, std::string name, bool automatic)
    : path_(std::move(path)), name_(std::move(name)), automatic_(automatic) {
  for (int32_t id = 1; id <= kPointCount; ++id)
    configurations_[id] = id < kFirstAnalogInputPoint    ? kNormalDigitalInput
                          : id < kFirstAnalogOutputPoint ? kSingleEndedAnalogInput
                                                         : kAnalogOutput;
  groupConfigurations_ = {{kDigitalIoGroup0, kNormalDigitalInput},
                          {kDigitalIoGroup1, kNormalDigitalInput}};
}

SimulatedDevice::~SimulatedDevice() {
  std::unique_lock lock(mutex_);
  stopLocked(lock);
  if (dataReady_ >= 0) ::close(dataReady_);
}

int32_t SimulatedDevice::inputValue(int32_t pointId, uint64_t sampleIndex) {
  const int64_t phase = static_cast<int64_t>(sampleIndex % 200) - 100;
  return 1000 + 100 * (pointId - kFirstAnalogInputPoint) +
         10 * static_cast<int32_t>(std::abs(phase));
}

std::vector<ControlRecord> SimulatedDevice::records() const {
  std::lock_guard lock(mutex_);
  return records_;
}

void SimulatedDevice::clearRecords() {
  std::lock_guard lock(mutex_);
  records_.clear();
}

uint64_t SimulatedDevice::readsIssued() const {
  std::lock_guard lock(mutex_);
  return readsIssued_;
}

uint32_t SimulatedDevice::lastReadSlots() const {
  std::lock_guard lock(mutex_);
  return lastReadSlots_;
}

uint64_t SimulatedDevice::driverOverruns() const {
  std::lock_guard lock(mutex_);
  return overruns_;
}

uint64_t SimulatedDevice::samplesProduced() const {
  std::lock_guard lock(mutex_);
  return produced_;
}

bool SimulatedDevice::sampling() const {
  std::lock_guard lock(mutex_);
  return sampling_;
}

bool SimulatedDevice::opened() const {
  std::lock_guard lock(mutex_);
  return open_;
}

int32_t SimulatedDevice::pointConfiguration(int32_t id) const {
  std::lock_guard lock(mutex_);
  return ValidPoint(id) ? configurations_[id] : 0;
}

void SimulatedDevice::produce(uint32_t count) {
  std::lock_guard lock(mutex_);
  if (sampling_) produceLocked(count);
}

void SimulatedDevice::failReads(int count, int error) {
  std::lock_guard lock(mutex_);
  failReads_ = count;
  failReadsError_ = error;
}

void SimulatedDevice::pendReads(int count) {
  std::lock_guard lock(mutex_);
  pendReads_ = count;
}

void SimulatedDevice::failControl(uint32_t code, int error) {
  std::lock_guard lock(mutex_);
  if (error == 0)
    failingControls_.erase(code);
  else
    failingControls_[code] = error;
}

int SimulatedDevice::open() {
  std::lock_guard lock(mutex_);
  if (!present_) return ENODEV;
  if (open_) return EBUSY;
  open_ = true;
  return 0;
}

void SimulatedDevice::close() {
  std::unique_lock lock(mutex_);
  stopLocked(lock);
  // The driver lets go of the client's event with the file.
  if (dataReady_ >= 0) ::close(dataReady_);
  dataReady_ = -1;
  entries_.clear();
  open_ = false;
}

void SimulatedDevice::setPresent(bool present) {
  std::unique_lock lock(mutex_);
  present_ = present;
  if (!present) stopLocked(lock);
}

ControlResult SimulatedDevice::control(uint32_t code, std::span<const std::byte> in,
                                       std::span<std::byte> out) {
  std::unique_lock lock(mutex_);
  records_.push_back(
      {code, std::vector<std::byte>(in.begin(), in.end()), static_cast<uint32_t>(out.size())});
  if (!present_) return {ENODEV, 0};
  if (auto it = failingControls_.find(code); it != failingControls_.end()) return {it->second, 0};
  if (code == ZDAQ_CTL_STOP_SAMPLING) {
    stopLocked(lock);
    return {};
  }
  ControlResult result;
  result.error = controlLocked(code, in, out, result.returned);
  if (result.error == 0 && code == ZDAQ_CTL_START_SAMPLING && automatic_) {
    producerStop_ = false;
    producer_ = std::thread(&SimulatedDevice::producerLoop, this);
  }
  return result;
}

int SimulatedDevice::controlLocked(uint32_t code, std::span<const std::byte> in,
                                   std::span<std::byte> out, uint32_t& returned) {
  const auto field = [&](size_t i) { return static_cast<int32_t>(GetLe(in, 4 * i, 4)); };
  const auto answer = [&](int32_t value) {
    if (out.size() < 4) return EINVAL;
    PutLe(out, 0, static_cast<uint32_t>(value), 4);
    returned = 4;
    return 0;
  };
  switch (code) {
    case ZDAQ_CTL_SET_POINT_CONFIGURATION:
      if (in.size() != 8 || !Allowed(field(0), field(1)) || sampling_) return EINVAL;
      configurations_[field(0)] = field(1);
      return 0;
    case ZDAQ_CTL_SET_GROUP_CONFIGURATION: {
      if (in.size() != 8 || !groupConfigurations_.contains(field(0)) ||
          (field(1) != kNormalDigitalInput && field(1) != kNormalDigitalOutput) || sampling_)
        return EINVAL;
      groupConfigurations_[field(0)] = field(1);
      const int32_t first = field(0) == kDigitalIoGroup0 ? 1 : 5;
      for (int32_t id = first; id < first + 4; ++id) configurations_[id] = field(1);
      return 0;
    }
    case ZDAQ_CTL_GET_POINT_VALUE:
      if (in.size() != 4 || !ValidPoint(field(0))) return EINVAL;
      return answer(valueLocked(field(0), configurations_[field(0)], clockIndexLocked()));
    case ZDAQ_CTL_SET_POINT_VALUE: {
      if (in.size() != 8 || !ValidPoint(field(0))) return EINVAL;
      const int32_t configuration = configurations_[field(0)];
      if (!(static_cast<uint32_t>(configuration) & kOutputFlag)) return EINVAL;
      if (configuration == kAnalogOutput && (field(1) < 0 || field(1) > 1023)) return EINVAL;
      written_[field(0)] = field(1);
      return 0;
    }
    case ZDAQ_CTL_GET_POINT_CONFIGURATION:
      if (in.size() != 4 || !ValidPoint(field(0))) return EINVAL;
      return answer(configurations_[field(0)]);
    case ZDAQ_CTL_GET_GROUP_CONFIGURATION: {
      if (in.size() != 4) return EINVAL;
      auto it = groupConfigurations_.find(field(0));
      if (it == groupConfigurations_.end()) return EINVAL;
      return answer(it->second);
    }
    case ZDAQ_CTL_SETUP_SAMPLING:
      return setupLocked(in);
    case ZDAQ_CTL_START_SAMPLING:
      if (entries_.empty() || sampling_) return EINVAL;
      sampling_ = true;
      produced_ = 0;
      fifo_.clear();
      samplingStart_ = Clock::now();
      return 0;
    default:
      return ENOTTY;
  }
}

int SimulatedDevice::setupLocked(std::span<const std::byte> in) {
  if (sampling_) return EBUSY;
  auto request = ParseSetupRequest(in);
  if (!request || request->interval <= 0) return EINVAL;
  for (const auto& e : request->entries)
    if (!Allowed(e.id, e.configuration)) return EINVAL;
  // Like a kernel driver taking its own reference to the client's event.
  const int event =
      request->dataReadyEvent >= 0 ? fcntl(request->dataReadyEvent, F_DUPFD_CLOEXEC, 0) : -1;
  if (event < 0) return EBADF;
  if (dataReady_ >= 0) ::close(dataReady_);
  dataReady_ = event;
  dataReadySet_ = false;
  interval_ = request->interval;
  entries_.clear();
  for (const auto& e : request->entries) entries_.push_back({e.id, e.configuration});
  return 0;
}

void SimulatedDevice::stopLocked(std::unique_lock<std::mutex>& lock) {
  sampling_ = false;
  signalDataReadyLocked(false);
  if (producer_.joinable()) {
    producerStop_ = true;
    wake_.notify_all();
    std::thread producer = std::move(producer_);
    lock.unlock();
    producer.join();
    lock.lock();
  }
}

void SimulatedDevice::produceLocked(uint64_t count) {
  const size_t n = entries_.size();
  for (uint64_t i = 0; i < count; ++i, ++produced_)
    for (const auto& e : entries_) fifo_.push_back(valueLocked(e.id, e.configuration, produced_));
  const size_t limit = kDriverBufferSamples * n;
  if (fifo_.size() > limit) {
    overruns_ += (fifo_.size() - limit) / n;
    fifo_.erase(fifo_.begin(), fifo_.begin() + static_cast<ptrdiff_t>(fifo_.size() - limit));
  }
  signalDataReadyLocked(!fifo_.empty());
}

void SimulatedDevice::signalDataReadyLocked(bool ready) {
  if (dataReady_ < 0 || ready == dataReadySet_) return;
  uint64_t value = 1;
  if (ready) {
    [[maybe_unused]] ssize_t r = write(dataReady_, &value, sizeof value);
  } else {
    [[maybe_unused]] ssize_t r = read(dataReady_, &value, sizeof value);
  }
  dataReadySet_ = ready;
}

int32_t SimulatedDevice::valueLocked(int32_t id, int32_t configuration, uint64_t k) const {
  if (static_cast<uint32_t>(configuration) & kOutputFlag) return written_[id];
  if (static_cast<uint32_t>(configuration) & kAnalogFlag) return inputValue(id, k);
  return static_cast<int32_t>((k >> (id - 1)) & 1);
}

uint64_t SimulatedDevice::clockIndexLocked() const {
  if (!automatic_) return produced_;
  const auto elapsed = Clock::now() - created_;
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10);
}

ReadResult SimulatedDevice::beginRead(uint32_t freeSlots, std::span<std::byte> region, bool& pend) {
  std::lock_guard lock(mutex_);
  ++readsIssued_;
  lastReadSlots_ = freeSlots;
  pend = pendReads_ > 0;
  if (pend) {
    --pendReads_;
    return {ReadResult::Status::Pending, 0, 0};
  }
  return readLocked(freeSlots, region);
}

ReadResult SimulatedDevice::completeRead(uint32_t freeSlots, std::span<std::byte> region) {
  std::lock_guard lock(mutex_);
  return readLocked(freeSlots, region);
}

ReadResult SimulatedDevice::readLocked(uint32_t freeSlots, std::span<std::byte> region) {
  if (!present_) return {ReadResult::Status::Failed, 0, ENODEV};
  if (failReads_ > 0) {
    --failReads_;
    return {ReadResult::Status::Failed, 0, failReadsError_};
  }
  const size_t n = entries_.size();
  if (n == 0) return {ReadResult::Status::Failed, 0, EINVAL};
  const size_t samples =
      std::min({static_cast<size_t>(freeSlots), fifo_.size() / n, region.size() / (4 * n)});
  const size_t values = samples * n;
  for (size_t i = 0; i < values; ++i) PutLe(region, 4 * i, static_cast<uint32_t>(fifo_[i]), 4);
  fifo_.erase(fifo_.begin(), fifo_.begin() + static_cast<ptrdiff_t>(values));
  signalDataReadyLocked(!fifo_.empty());
  return {ReadResult::Status::Done, static_cast<uint32_t>(values * 4), 0};
}

void SimulatedDevice::producerLoop() {
  pthread_setname_np(pthread_self(), "zdaq-sim-driver");
  std::unique_lock lock(mutex_);
  // Samples are due by the clock; waking at most once a millisecond hands them over in batches.
  const auto interval = std::chrono::nanoseconds(interval_ * 100);
  const auto period = std::max<std::chrono::nanoseconds>(interval, std::chrono::milliseconds(1));
  auto next = samplingStart_ + period;
  while (!producerStop_) {
    wake_.wait_until(lock, next, [&] { return producerStop_; });
    if (producerStop_ || !sampling_) break;
    const auto elapsed = Clock::now() - samplingStart_;
    const auto due = static_cast<uint64_t>(elapsed / interval);
    if (due > produced_) {
      const uint64_t missing = due - produced_;
      const uint64_t now = std::min<uint64_t>(missing, kDriverBufferSamples);
      overruns_ += missing - now;
      produced_ += missing - now;
      produceLocked(now);
    }
    next += period;
  }
}

}  // namespace zdaq
