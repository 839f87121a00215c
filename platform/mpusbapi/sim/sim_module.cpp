#include "platform/mpusbapi/sim/sim_module.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mpusbsim {

namespace {

void putSample(std::vector<uint8_t>& out, int count) {
  const unsigned word = static_cast<unsigned>(count) << 2;
  out.push_back(static_cast<uint8_t>(word & 0xFF));
  out.push_back(static_cast<uint8_t>(word >> 8));
}

double rateFromRequest(const std::vector<uint8_t>& r) {
  const int reload = 65535 - (r[3] * 256 + r[4]);
  int k = 0;
  if (r[5] >= 0xF0 && r[5] <= 0xF7) k = r[5] - 0xF0 + 1;
  const double divisor = static_cast<double>(reload) * (1 << k);
  return divisor > 0 ? 12000000.0 / divisor : 0;
}

}  // namespace

int SimModule::sampleAt(int channel, int64_t index) const {
  const Wave& w = state.analog[static_cast<size_t>(channel)];
  const int64_t period = std::max(1, w.period);
  const int64_t phase = index % period;
  double value = w.low;
  switch (w.kind) {
    case Wave::Constant:
      value = w.low;
      break;
    case Wave::Ramp:
      value = w.low + static_cast<double>(w.high - w.low) * static_cast<double>(phase) / period;
      break;
    case Wave::Square:
      value = phase < period / 2 ? w.low : w.high;
      break;
    case Wave::Sine:
      value = w.low +
              (w.high - w.low) * (1 + std::sin(2 * M_PI * static_cast<double>(phase) / period)) / 2;
      break;
  }
  return std::clamp(static_cast<int>(std::lround(value)), 0, 4095);
}

void SimModule::resetFirmware() {
  stream_ = Stream{};
  state.pwm = {};
  state.ports = {};
}

void SimModule::startStream(int first, int last, double rate, Clock::time_point now) {
  stream_ = Stream{};
  stream_.running = true;
  stream_.first = std::clamp(first, 0, kChannels - 1);
  stream_.count = std::clamp(last - first + 1, 1, kChannels - stream_.first);
  stream_.rate = rate;
  stream_.scansPerPacket = 32 / stream_.count;
  stream_.start = now;
  stream_.counterAtStart = state.counter;
}

int64_t SimModule::packetsMade(Clock::time_point now, bool realTime) const {
  int64_t made;
  if (!stream_.running) {
    made = stream_.produced;
  } else if (realTime) {
    const double seconds = std::chrono::duration<double>(now - stream_.start).count();
    made = static_cast<int64_t>(seconds * stream_.rate / stream_.scansPerPacket);
  } else {
    made = std::numeric_limits<int64_t>::max();
  }
  if (state.streamScanLimit >= 0)
    made = std::min(made, state.streamScanLimit / stream_.scansPerPacket);
  return made;
}

void SimModule::stopStream(Clock::time_point now, bool realTime) {
  if (!stream_.running) return;
  int64_t made = 0;
  if (realTime) {
    made = packetsMade(now, true);
  } else {
    // Without a clock, the module has made what the host has begun to read.
    for (const int64_t next : stream_.next) made = std::max(made, next);
    made = (made + 3) / 4 * 4;
    if (state.streamScanLimit >= 0)
      made = std::min(made, state.streamScanLimit / stream_.scansPerPacket);
  }
  stream_.running = false;
  stream_.produced = made;
}

std::optional<std::vector<uint8_t>> SimModule::takePacket(
    int slot, Clock::time_point now, bool realTime, std::optional<Clock::time_point>* readyAt) {
  if (stream_.count == 0) return std::nullopt;
  const int64_t j = stream_.next[slot];
  if (j >= packetsMade(now, realTime)) {
    const bool limited =
        state.streamScanLimit >= 0 && j >= state.streamScanLimit / stream_.scansPerPacket;
    if (stream_.running && realTime && !limited && readyAt != nullptr) {
      const double seconds = static_cast<double>(j + 1) * stream_.scansPerPacket / stream_.rate;
      *readyAt = stream_.start + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(seconds));
    }
    return std::nullopt;
  }
  stream_.next[slot] += kStreamEndpoints;
  std::vector<uint8_t> packet;
  const int64_t firstScan = j * stream_.scansPerPacket;
  for (int s = 0; s < stream_.scansPerPacket; ++s)
    for (int c = 0; c < stream_.count; ++c)
      putSample(packet, sampleAt(stream_.first + c, firstScan + s));
  return packet;
}

std::vector<uint8_t> SimModule::answer(const std::vector<uint8_t>& r, Clock::time_point now,
                                       bool realTime) {
  if (r.empty()) return {};
  auto at = [&](size_t i) -> uint8_t { return i < r.size() ? r[i] : 0; };
  switch (r[0]) {
    case 0x01:
      return {0x01, static_cast<uint8_t>(state.firmware & 0xFF),
              static_cast<uint8_t>(state.firmware >> 8)};
    case 0x02: {
      std::vector<uint8_t> out{0x02};
      out.insert(out.end(), state.serialDigits.begin(), state.serialDigits.end());
      return out;
    }
    case 0x32:
      if (r.size() < 8) return {};
      startStream(r[1], r[2], rateFromRequest(r), now);
      return {r.begin(), r.begin() + 7};
    case 0x33:
      stopStream(now, realTime);
      return {0x33, 0, 0, 0};
    case 0x35:
      startStream(at(1), at(2), 1000.0, now);  // the request names no rate; any steady one will do
      return {0x35, at(1), at(2)};
    case 0x36: {
      stopStream(now, realTime);
      const uint16_t b = stream_.counterAtStart, a = state.counter, w = state.trailerWord;
      return {0x36,
              static_cast<uint8_t>(b & 0xFF),
              static_cast<uint8_t>(b >> 8),
              static_cast<uint8_t>(a & 0xFF),
              static_cast<uint8_t>(a >> 8),
              static_cast<uint8_t>(w >> 8),
              static_cast<uint8_t>(w & 0xFF)};
    }
    case 0x37: {
      const int channel = at(1) & 7;
      std::vector<uint8_t> out{0x37, at(1)};
      putSample(out, sampleAt(channel, conversions_[channel]++));
      return out;
    }
    case 0x38: {
      std::vector<uint8_t> out{0x38, at(1)};
      for (int c = at(1); c <= at(2) && c < kChannels; ++c)
        putSample(out, sampleAt(c, conversions_[c]++));
      return out;
    }
    case 0x42:
      return {0x42, state.ports[0], state.ports[1]};
    case 0x43:
      for (size_t p = 0; p < 2; ++p)
        state.ports[p] =
            static_cast<uint8_t>((state.ports[p] & ~at(1 + p)) | (at(3 + p) & at(1 + p)));
      return {0x43, state.ports[0], state.ports[1], 0, 0};
    case 0x52: {
      const uint16_t count = state.counter;
      if (at(1) == 1) state.counter = 0;
      return {0x52, at(1), static_cast<uint8_t>(count & 0xFF), static_cast<uint8_t>(count >> 8)};
    }
    case 0x53:
      if (at(1) == 1 || at(1) == 2)
        state.pwm[at(1) - 1u] = Pwm{true, at(2), (at(3) << 8) | at(4), at(5)};
      return {0x53, at(1), at(2), at(3), at(4)};
    case 0x54:
      if (at(1) == 1 || at(1) == 2) state.pwm[at(1) - 1u].running = false;
      return {0x54, at(1)};
    case 0x61: {
      const size_t n = at(1), address = at(2);
      for (size_t i = 0; i < n && address + i < state.eeprom.size() && 5 + i < r.size(); ++i)
        state.eeprom[address + i] = r[5 + i];
      return {0x61};
    }
    case 0x62: {
      const size_t n = at(1), address = at(2);
      std::vector<uint8_t> out{0x62, at(1), at(2), 0, 0};
      for (size_t i = 0; i < n; ++i)
        out.push_back(address + i < state.eeprom.size() ? state.eeprom[address + i] : 0xFF);
      return out;
    }
    case 0x68: {
      std::vector<uint8_t> out{0x68, 43};
      for (size_t i = 0; i < 43; ++i)
        out.push_back(i < state.credits.size() ? static_cast<uint8_t>(state.credits[i]) : 0);
      return out;
    }
    case 0xFE:
      return {0xFE, state.deviceId};
    case 0xFF:
      resetFirmware();
      return {};
    default:
      return {};
  }
}

}  // namespace mpusbsim
