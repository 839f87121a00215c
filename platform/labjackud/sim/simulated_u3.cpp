#include "platform/labjackud/sim/simulated_u3.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <utility>

#include "platform/labjackud/usb/u3_protocol.h"

namespace labjack::sim {
namespace {

constexpr size_t kHeader = 6;

void putFixedPoint(std::vector<uint8_t>& out, double v) {
  const auto bits = static_cast<uint64_t>(std::llround(v * 4294967296.0));
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

// Header and checksums around `data` (which starts at byte 6 of the packet).
std::vector<uint8_t> extendedReply(uint8_t command, std::vector<uint8_t> data) {
  u3::Packet p;
  std::copy(data.begin(), data.end(), p.bytes.begin() + kHeader);
  p.size = kHeader + data.size();
  u3::SealExtended(p, command);
  return {p.bytes.begin(), p.bytes.begin() + static_cast<long>(p.size)};
}

uint16_t clampRaw(double raw) {
  if (!std::isfinite(raw)) return 0;
  return static_cast<uint16_t>(std::clamp(std::lround(raw), 0L, 65535L));
}

size_t wordsOf(uint8_t command, size_t words) {
  switch (command) {
    case u3::kConfigU3:
      return u3::kConfigU3CommandWords;
    case u3::kConfigIo:
      return u3::kConfigIoWords;
    case u3::kReadCal:
      return u3::kReadCalCommandWords;
    case u3::kFeedback:
      return words >= 1 && words <= 29 ? words : 0;
    default:
      return 0;
  }
}

}  // namespace

SimulatedU3::SimulatedU3(U3Setup setup) : setup_(setup), analogLines_(setup.analogLines) {}

void SimulatedU3::setVolts(int line, double volts) {
  std::lock_guard lock(mutex_);
  if (line >= 0 && line < 16) volts_[static_cast<size_t>(line)] = volts;
}

void SimulatedU3::failNext(Fault fault, uint8_t errorCode) {
  std::lock_guard lock(mutex_);
  fault_ = fault;
  faultCode_ = errorCode;
}

std::vector<std::vector<uint8_t>> SimulatedU3::commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

void SimulatedU3::clearCommands() {
  std::lock_guard lock(mutex_);
  commands_.clear();
}

int SimulatedU3::violations() const {
  std::lock_guard lock(mutex_);
  return violations_;
}

uint16_t SimulatedU3::analogLines() const {
  std::lock_guard lock(mutex_);
  return analogLines_;
}

std::vector<std::vector<uint8_t>> SimulatedU3::handle(std::span<const uint8_t> command) {
  std::lock_guard lock(mutex_);
  commands_.emplace_back(command.begin(), command.end());
  std::vector<uint8_t> reply = answer(command);
  const Fault fault = std::exchange(fault_, Fault::None);
  std::vector<std::vector<uint8_t>> out;
  if (!heldBack_.empty()) out.push_back(std::exchange(heldBack_, {}));
  switch (fault) {
    case Fault::None:
      break;
    case Fault::NoReply:
      return out;
    case Fault::LateReply:
      heldBack_ = std::move(reply);
      return out;
    case Fault::ShortReply:
      reply.resize(reply.size() / 2);
      break;
    case Fault::BadChecksum:
      if (reply.size() > 4) ++reply[4];
      break;
    case Fault::DeviceError:
      if (reply.size() > kHeader) {
        reply[kHeader] = faultCode_;
        u3::Packet p;
        std::copy(reply.begin(), reply.end(), p.bytes.begin());
        p.size = reply.size();
        u3::SealExtended(p, reply[3]);
        reply.assign(p.bytes.begin(), p.bytes.begin() + static_cast<long>(p.size));
      }
      break;
  }
  out.push_back(std::move(reply));
  return out;
}

std::vector<uint8_t> SimulatedU3::answer(std::span<const uint8_t> c) {
  const std::vector<uint8_t> rejected{0xB8, 0xB8};
  const bool framed =
      c.size() >= kHeader + 2 && c.size() <= u3::kMaxPacket && c[1] == u3::kExtended &&
      c.size() == kHeader + 2 * size_t{c[2]} && u3::Checksum8(c.subspan(1, 5)) == c[0] &&
      u3::Checksum16(c.subspan(kHeader)) == (c[4] | c[5] << 8) && wordsOf(c[3], c[2]) == c[2];
  if (!framed) {
    ++violations_;
    return rejected;
  }
  switch (c[3]) {
    case u3::kConfigU3: {
      std::vector<uint8_t> d(2 * u3::kConfigU3ReplyWords, 0);
      d[3] = 0x52;  // firmware 1.46: integer part in the low byte
      d[4] = 0x01;
      d[7] = 30;  // hardware 1.30
      d[8] = 1;
      for (int i = 0; i < 4; ++i)
        d[9 + static_cast<size_t>(i)] = static_cast<uint8_t>(setup_.serial >> (8 * i));
      d[13] = static_cast<uint8_t>(u3::kProductId);
      d[15] = setup_.localId;
      d[17] = static_cast<uint8_t>(analogLines_ & 0xFF);
      d[20] = static_cast<uint8_t>(analogLines_ >> 8);
      d[31] = setup_.highVoltage ? 34 : 18;
      return extendedReply(u3::kConfigU3, std::move(d));
    }
    case u3::kConfigIo: {
      const uint8_t mask = c[6];
      if (mask & u3::kWriteFioAnalog)
        analogLines_ = static_cast<uint16_t>((analogLines_ & 0xFF00) | c[10]);
      if (mask & u3::kWriteEioAnalog)
        analogLines_ = static_cast<uint16_t>((analogLines_ & 0x00FF) | c[11] << 8);
      // FIO0-3 of a U3-HV are analog inputs only.
      if (setup_.highVoltage) analogLines_ |= 0x000F;
      return extendedReply(u3::kConfigIo, {0, 0, c[8], 0, static_cast<uint8_t>(analogLines_ & 0xFF),
                                           static_cast<uint8_t>(analogLines_ >> 8)});
    }
    case u3::kReadCal: {
      std::vector<uint8_t> d{0, 0};
      const auto& k = setup_.calibration;
      const uint8_t block = c[7];
      if (setup_.calibrationErased) {
        d.resize(2 + u3::kCalBlockBytes, 0xFF);
      } else if (block == 0) {
        for (double v : {k.seSlope, k.seOffset, k.diffSlope, k.diffOffset}) putFixedPoint(d, v);
      } else if (block == 2) {
        for (double v : {0.013021, k.vref, 0.0, 0.0}) putFixedPoint(d, v);
      } else if (block == 3) {
        for (double v : k.hvSlope) putFixedPoint(d, v);
      } else if (block == 4) {
        for (double v : k.hvOffset) putFixedPoint(d, v);
      }
      d.resize(2 + u3::kCalBlockBytes, 0);
      return extendedReply(u3::kReadCal, std::move(d));
    }
    default:
      return feedback(c);
  }
}

std::vector<uint8_t> SimulatedU3::feedback(std::span<const uint8_t> c) {
  std::vector<uint8_t> d{0, 0, c[6]};
  size_t at = kHeader + 1;
  uint8_t frame = 0;
  while (at < c.size()) {
    if (c[at] == 0 && at + 1 == c.size()) break;  // the pad byte
    ++frame;
    if (c[at] != u3::kAinIoType || at + 3 > c.size()) {
      ++violations_;
      return extendedReply(u3::kFeedback, {40, frame, c[6], 0});  // not an IOType it knows
    }
    const uint16_t raw = rawFor(c[at + 1] & 0x1F, c[at + 2]);
    d.push_back(static_cast<uint8_t>(raw & 0xFF));
    d.push_back(static_cast<uint8_t>(raw >> 8));
    at += 3;
  }
  return extendedReply(u3::kFeedback, std::move(d));
}

uint16_t SimulatedU3::rawFor(uint8_t positive, uint8_t negative) const {
  if (positive >= 16) return 0;
  const auto& k = setup_.calibration;
  const double v = volts_[positive];
  const bool hv = setup_.highVoltage && positive < 4;
  const size_t i = positive % 4;
  if (negative == u3::kNegativeSingleEnded) {
    return clampRaw(hv ? (v - k.hvOffset[i]) / k.hvSlope[i] : (v - k.seOffset) / k.seSlope);
  }
  if (negative == u3::kNegativeVref) {
    const double lowVoltage = hv ? (v - k.hvOffset[i]) * k.seSlope / k.hvSlope[i] : v;
    return clampRaw((lowVoltage - k.vref - k.diffOffset) / k.diffSlope);
  }
  const double against = negative < 16 ? volts_[negative] : 0.0;
  return clampRaw((v - against - k.diffOffset) / k.diffSlope);
}

struct BusState {
  std::mutex mutex;
  bool attached = false;
  bool denied = false;
  uint64_t generation = 0;  // bumped by every pull
};

namespace {

class SimulatedTransport final : public Transport {
 public:
  SimulatedTransport(std::shared_ptr<BusState> bus, std::shared_ptr<SimulatedU3> u3)
      : bus_(std::move(bus)), openedIn_(bus_->generation), u3_(std::move(u3)) {}

  TransferStatus send(std::span<const uint8_t> packet, int) override {
    if (!alive()) return TransferStatus::Gone;
    for (auto& reply : u3_->handle(packet)) pending_.push_back(std::move(reply));
    return TransferStatus::Ok;
  }

  TransferStatus receive(std::span<uint8_t> buffer, size_t& received, int) override {
    received = 0;
    if (!alive()) return TransferStatus::Gone;
    if (pending_.empty()) return TransferStatus::Timeout;
    std::vector<uint8_t> reply = std::move(pending_.front());
    pending_.pop_front();
    if (reply.size() > buffer.size()) return TransferStatus::Failed;
    std::copy(reply.begin(), reply.end(), buffer.begin());
    received = reply.size();
    return TransferStatus::Ok;
  }

 private:
  bool alive() {
    std::lock_guard lock(bus_->mutex);
    return bus_->attached && bus_->generation == openedIn_;
  }

  std::shared_ptr<BusState> bus_;
  const uint64_t openedIn_;  // read under the bus's lock by openFirstU3
  std::shared_ptr<SimulatedU3> u3_;
  std::deque<std::vector<uint8_t>> pending_;
};

}  // namespace

SimulatedBus::SimulatedBus(U3Setup setup)
    : state_(std::make_shared<BusState>()), u3_(std::make_shared<SimulatedU3>(setup)) {}

void SimulatedBus::attach() {
  std::lock_guard lock(state_->mutex);
  state_->attached = true;
}

void SimulatedBus::pull() {
  std::lock_guard lock(state_->mutex);
  state_->attached = false;
  ++state_->generation;
}

void SimulatedBus::denyAccess(bool deny) {
  std::lock_guard lock(state_->mutex);
  state_->denied = deny;
}

std::unique_ptr<Transport> SimulatedBus::openFirstU3(OpenStatus& status) {
  std::lock_guard lock(state_->mutex);
  if (!state_->attached) {
    status = OpenStatus::NotFound;
    return nullptr;
  }
  if (state_->denied) {
    status = OpenStatus::NoAccess;
    return nullptr;
  }
  status = OpenStatus::Opened;
  return std::make_unique<SimulatedTransport>(state_, u3_);
}

}  // namespace labjack::sim
