#pragma once
// A bus of modules that tests plug, unplug, stall and refuse on demand.

#include <libusb.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>

#include "platform/mpusbapi/usb/usb_bus.h"

namespace mpusb {

struct FakeModule {
  AttachedDevice device;
  bool attached = true;
  int openError = 0;
  // Endpoints of the active setting: EP1 bulk both ways on interface 0, EP2 bulk IN.
  std::map<uint8_t, EndpointInfo> endpoints = {{0x01, {0, LIBUSB_TRANSFER_TYPE_BULK, 64}},
                                               {0x81, {0, LIBUSB_TRANSFER_TYPE_BULK, 64}},
                                               {0x82, {0, LIBUSB_TRANSFER_TYPE_BULK, 64}}};
  std::map<uint8_t, std::deque<std::vector<uint8_t>>> replies;  // per IN endpoint
  std::vector<std::vector<uint8_t>> written;
  std::function<std::vector<uint8_t>(const std::vector<uint8_t>&)> respond;  // answers on 0x81
  std::map<uint8_t, int> stalls;  // the next n transfers on an endpoint stall
  std::set<uint8_t> halted;
  std::set<int> claimed;
  int clears = 0;
  std::vector<unsigned int> timeouts;
};

class FakeUsbBus final : public UsbBus {
 public:
  // Plugs a new module in (a new attachment, as a replug is) and returns it.
  FakeModule& plug(DeviceLocation location, VidPid ids = {0x04D8, 0xFFE9}) {
    auto& module = modules_[next_];
    module.device = {next_++, ids, std::move(location)};
    return module;
  }
  FakeModule& module(DeviceId id) { return modules_.at(id); }

  std::vector<AttachedDevice> attached() override {
    std::vector<AttachedDevice> result;
    for (const auto& [id, m] : modules_)
      if (m.attached) result.push_back(m.device);
    std::reverse(result.begin(), result.end());  // the stack lists in no particular order
    return result;
  }
  std::optional<EndpointInfo> findEndpoint(DeviceId id, uint8_t address) override {
    const auto& eps = modules_.at(id).endpoints;
    const auto it = eps.find(address);
    return it == eps.end() ? std::nullopt : std::optional(it->second);
  }
  std::unique_ptr<UsbLink> open(DeviceId id, int* error) override;

 private:
  std::map<DeviceId, FakeModule> modules_;
  DeviceId next_ = 1;
};

class FakeLink final : public UsbLink {
 public:
  explicit FakeLink(FakeModule& m) : m_(m) {}
  int claimInterface(int iface) override {
    if (!m_.attached) return LIBUSB_ERROR_NO_DEVICE;
    return m_.claimed.insert(iface).second ? 0 : LIBUSB_ERROR_BUSY;
  }
  void releaseInterface(int iface) override { m_.claimed.erase(iface); }
  int clearHalt(uint8_t endpoint) override {
    ++m_.clears;
    m_.halted.erase(endpoint);
    return m_.attached ? 0 : LIBUSB_ERROR_NO_DEVICE;
  }
  int transfer(uint8_t ep, uint8_t, unsigned char* data, int length, int* transferred,
               unsigned int timeoutMs) override {
    m_.timeouts.push_back(timeoutMs);
    *transferred = 0;
    if (!m_.attached) return LIBUSB_ERROR_NO_DEVICE;
    if (m_.stalls[ep] > 0) {
      --m_.stalls[ep];
      m_.halted.insert(ep);
    }
    if (m_.halted.contains(ep)) return LIBUSB_ERROR_PIPE;
    if ((ep & 0x80) == 0) {
      m_.written.emplace_back(data, data + length);
      if (m_.respond) m_.replies[0x81].push_back(m_.respond(m_.written.back()));
      *transferred = length;
      return 0;
    }
    auto& queue = m_.replies[ep];
    if (queue.empty()) return LIBUSB_ERROR_TIMEOUT;
    const std::vector<uint8_t> reply = queue.front();
    queue.pop_front();
    *transferred = std::min(length, static_cast<int>(reply.size()));
    std::copy_n(reply.begin(), *transferred, data);
    return static_cast<int>(reply.size()) > length ? LIBUSB_ERROR_OVERFLOW : 0;
  }

 private:
  FakeModule& m_;
};

inline std::unique_ptr<UsbLink> FakeUsbBus::open(DeviceId id, int* error) {
  FakeModule& m = modules_.at(id);
  *error = m.attached ? m.openError : LIBUSB_ERROR_NO_DEVICE;
  return *error == 0 ? std::make_unique<FakeLink>(m) : nullptr;
}

}  // namespace mpusb
