// The simulated libmpusbapi.so: the seven pipe entry points over a bus of simulated modules,
// with call recording and fault injection for tests.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "platform/mpusbapi/mpusbapi.h"
#include "platform/mpusbapi/sim/sim_control.h"
#include "platform/mpusbapi/sim/sim_module.h"

namespace mpusbsim {

namespace {

constexpr char kModuleIds[] = "vid_04d8&pid_ffe9";

bool sameIds(const char* text) {
  if (text == nullptr || std::strlen(text) != sizeof kModuleIds - 1) return false;
  for (size_t i = 0; kModuleIds[i] != 0; ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != kModuleIds[i]) return false;
  return true;
}

// "\MCHP_EP1" (either direction) or "\MCHP_EP2_ASYNC".."\MCHP_EP5_ASYNC" (read); 0 otherwise.
int endpointOf(const std::string& pipe, int32_t direction) {
  if (pipe == "\\MCHP_EP1") return direction == 0 || direction == 1 ? 1 : 0;
  for (int ep = 2; ep <= 5; ++ep)
    if (pipe == "\\MCHP_EP" + std::to_string(ep) + "_ASYNC") return direction == 1 ? ep : 0;
  return 0;
}

class Bus final : public Control {
 public:
  Bus() { reset(1); }

  void reset(int modules) override {
    modules_.clear();
    for (int i = 0; i < modules; ++i) modules_.push_back(std::make_unique<Entry>());
    for (int i = 0; i < modules; ++i)
      modules_[static_cast<size_t>(i)]->firmware.state.serialDigits = {
          static_cast<uint8_t>(i), 0, 0, 0, 0, 0, 0, 0};
    pipes_.clear();
    faults_.clear();
    refusals_.clear();
    calls_.clear();
    realTime_ = false;
    recording_ = true;
  }
  ModuleState& module(int index) override {
    return modules_.at(static_cast<size_t>(index))->firmware.state;
  }
  void pull(int index) override { modules_.at(static_cast<size_t>(index))->attached = false; }
  void inject(Fault fault) override { faults_.push_back(fault); }
  void refuseOpen(const std::string& pipe, int32_t direction) override {
    refusals_.emplace_back(pipe, direction);
  }
  void setRealTime(bool realTime) override { realTime_ = realTime; }
  const std::vector<Call>& calls() const override { return calls_; }
  void clearCalls() override { calls_.clear(); }
  std::vector<std::vector<uint8_t>> requests() const override {
    std::vector<std::vector<uint8_t>> out;
    for (const Call& c : calls_)
      if (c.kind == Call::Write && c.result != 0) out.push_back(c.data);
    return out;
  }
  std::vector<PipeInfo> openPipes() const override {
    std::vector<PipeInfo> out;
    for (const auto& [handle, pipe] : pipes_)
      out.push_back({handle, pipe.module, pipe.endpoint, pipe.direction});
    return out;
  }
  bool streaming(int index) const override {
    return modules_.at(static_cast<size_t>(index))->firmware.streaming();
  }
  double streamRate(int index) const override {
    return modules_.at(static_cast<size_t>(index))->firmware.streamRate();
  }
  void setRecording(bool on) override { recording_ = on; }

  int32_t deviceCount(const char* vidPid) {
    const int32_t count = sameIds(vidPid) ? attachedCount() : 0;
    record({Call::Count, -1, -1, "", -1, 0, 0, {}, count});
    return count;
  }

  int32_t open(int32_t instance, const char* vidPid, const char* pipeName, int32_t direction) {
    const std::string name = pipeName != nullptr ? pipeName : "";
    const int32_t handle = openPipe(instance, vidPid, name, direction);
    record({Call::Open, handle, instance, name, direction, 0, 0, {}, handle});
    return handle;
  }

  int32_t close(int32_t handle) {
    const int32_t result = pipes_.erase(handle) > 0 ? 1 : 0;
    record({Call::Close, handle, -1, "", -1, 0, 0, {}, result});
    return result;
  }

  int32_t write(int32_t handle, const void* data, int32_t length, int32_t* sent,
                int32_t timeoutMs) {
    std::vector<uint8_t> bytes;
    if (data != nullptr && length > 0)
      bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + length);
    Entry* entry = live(handle, 1, 0);
    int32_t result = 0;
    if (entry != nullptr && !take(Fault::FailWrite)) {
      entry->reply = entry->firmware.answer(bytes, Clock::now(), realTime_);
      if (sent != nullptr) *sent = length;
      result = 1;
    }
    record({Call::Write, handle, -1, "", 0, length, timeoutMs, bytes, result});
    return result;
  }

  int32_t read(int32_t handle, void* data, int32_t length, int32_t* received, int32_t timeoutMs) {
    Entry* entry = live(handle, 1, 1);
    std::vector<uint8_t> reply;
    int32_t result = 0;
    if (entry != nullptr && entry->reply.has_value() && !take(Fault::FailRead)) {
      reply = std::move(*entry->reply);
      int32_t reported = static_cast<int32_t>(reply.size());
      if (take(Fault::ShortReply) && !reply.empty())
        reported = static_cast<int32_t>(reply.size()) - 1;
      if (take(Fault::LongReply)) reported = static_cast<int32_t>(reply.size()) + 1;
      if (!reply.empty() && take(Fault::WrongEcho)) reply[0] ^= 0x80;
      if (reply.size() > 1 && take(Fault::WrongChannel)) reply[1] ^= 0x01;
      const int32_t copied = std::clamp(std::min(reported, static_cast<int32_t>(reply.size())), 0,
                                        std::max(length, 0));
      if (data != nullptr && copied > 0)
        std::memcpy(data, reply.data(), static_cast<size_t>(copied));
      reply.resize(static_cast<size_t>(copied));
      if (received != nullptr) *received = reported;
      result = 1;
    }
    if (entry != nullptr) entry->reply.reset();
    if (result == 0 && received != nullptr) *received = 0;
    record({Call::Read, handle, -1, "", 1, length, timeoutMs, reply, result});
    return result;
  }

  int32_t readInt(int32_t handle, void* data, int32_t length, int32_t* received,
                  int32_t timeoutMs) {
    const auto pipe = pipes_.find(handle);
    Entry* entry = pipe == pipes_.end() || pipe->second.endpoint < 2
                       ? nullptr
                       : live(handle, pipe->second.endpoint, 1);
    std::vector<uint8_t> packet;
    int32_t result = 0;
    if (entry != nullptr) {
      const int slot = pipe->second.endpoint - 2;
      std::optional<Clock::time_point> readyAt;
      const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
      auto got = entry->firmware.takePacket(slot, Clock::now(), realTime_, &readyAt);
      if (!got && readyAt) {
        std::this_thread::sleep_until(std::min(*readyAt, deadline));
        got = entry->firmware.takePacket(slot, Clock::now(), realTime_, nullptr);
      }
      if (got) {
        packet = std::move(*got);
        result = 1;
        if (take(Fault::ShortReply)) {
          packet.resize(packet.size() / 2);  // the rest did not come in time
          result = 0;
        }
      }
    }
    const auto copied = std::min(packet.size(), static_cast<size_t>(std::max(length, 0)));
    if (data != nullptr && copied > 0) std::memcpy(data, packet.data(), copied);
    packet.resize(copied);
    if (received != nullptr) *received = static_cast<int32_t>(copied);
    record({Call::ReadInt, handle, -1, "", 1, length, timeoutMs, packet, result});
    return result;
  }

 private:
  struct Entry {
    SimModule firmware;
    bool attached = true;
    std::optional<std::vector<uint8_t>> reply;
  };
  struct Pipe {
    int module;
    int endpoint;
    int32_t direction;
  };

  int32_t attachedCount() const {
    return static_cast<int32_t>(
        std::count_if(modules_.begin(), modules_.end(), [](const auto& m) { return m->attached; }));
  }

  int32_t openPipe(int32_t instance, const char* vidPid, const std::string& name,
                   int32_t direction) {
    if (!sameIds(vidPid) || instance < 0) return MPUSB_INVALID_HANDLE;
    const int endpoint = endpointOf(name, direction);
    if (endpoint == 0) return MPUSB_INVALID_HANDLE;
    const auto refusal =
        std::find(refusals_.begin(), refusals_.end(), std::make_pair(name, direction));
    if (refusal != refusals_.end()) {
      refusals_.erase(refusal);
      return MPUSB_INVALID_HANDLE;
    }
    int32_t seen = 0;
    for (size_t i = 0; i < modules_.size(); ++i) {
      if (!modules_[i]->attached) continue;
      if (seen++ == instance) {
        // Handles are never reused, so a stale handle can never reach another pipe.
        const int32_t handle = nextHandle_++;
        pipes_[handle] = Pipe{static_cast<int>(i), endpoint, direction};
        return handle;
      }
    }
    return MPUSB_INVALID_HANDLE;
  }

  // The module behind an open pipe of this endpoint and direction, if it is still attached.
  Entry* live(int32_t handle, int endpoint, int32_t direction) {
    const auto pipe = pipes_.find(handle);
    if (pipe == pipes_.end() || pipe->second.endpoint != endpoint ||
        pipe->second.direction != direction)
      return nullptr;
    Entry* entry = modules_[static_cast<size_t>(pipe->second.module)].get();
    return entry->attached ? entry : nullptr;
  }

  bool take(Fault fault) {
    const auto it = std::find(faults_.begin(), faults_.end(), fault);
    if (it == faults_.end()) return false;
    faults_.erase(it);
    return true;
  }

  void record(Call call) {
    if (recording_) calls_.push_back(std::move(call));
  }

  std::vector<std::unique_ptr<Entry>> modules_;
  std::map<int32_t, Pipe> pipes_;
  int32_t nextHandle_ = 1;
  std::vector<Fault> faults_;
  std::vector<std::pair<std::string, int32_t>> refusals_;
  std::vector<Call> calls_;
  bool realTime_ = false;
  bool recording_ = true;
};

Bus& bus() {
  static Bus instance;
  return instance;
}

}  // namespace

}  // namespace mpusbsim

using mpusbsim::bus;

extern "C" {

mpusbsim::Control* MPUSBSimControl(void) { return &bus(); }

int32_t MPUSBGetDLLVersion(void) { return 0x01000000; }

int32_t MPUSBGetDeviceCount(const char* vidPid) { return bus().deviceCount(vidPid); }

int32_t MPUSBOpen(int32_t instance, const char* vidPid, const char* pipeName, int32_t direction,
                  int32_t /*reserved*/) {
  return bus().open(instance, vidPid, pipeName, direction);
}

int32_t MPUSBWrite(int32_t handle, const void* data, int32_t length, int32_t* sent,
                   int32_t timeoutMs) {
  return bus().write(handle, data, length, sent, timeoutMs);
}

int32_t MPUSBRead(int32_t handle, void* data, int32_t length, int32_t* received,
                  int32_t timeoutMs) {
  return bus().read(handle, data, length, received, timeoutMs);
}

int32_t MPUSBReadInt(int32_t handle, void* data, int32_t length, int32_t* received,
                     int32_t timeoutMs) {
  return bus().readInt(handle, data, length, received, timeoutMs);
}

int32_t MPUSBClose(int32_t handle) { return bus().close(handle); }

}  // extern "C"
