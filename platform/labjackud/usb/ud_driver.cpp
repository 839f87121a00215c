#include "platform/labjackud/usb/ud_driver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace labjack {
namespace {

constexpr int32_t kLines = 16;

LJ_ERROR openError(OpenStatus status) {
  switch (status) {
    case OpenStatus::Opened:
      return LJE_NOERROR;
    case OpenStatus::NotFound:
      return LJE_LABJACK_NOT_FOUND;
    case OpenStatus::NoAccess:
      return LJE_NO_DEVICE_ACCESS;
    case OpenStatus::Failed:
      break;
  }
  return LJE_COMM_FAILURE;
}

}  // namespace

UdDriver::UdDriver(Bus& bus, DriverOptions options) : bus_(bus), options_(std::move(options)) {
  if (!options_.notice)
    options_.notice = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  round_.reserve(u3::kMaxAinPerFeedback);
  scan_.reserve(u3::kMaxAinPerFeedback);
  cache_.reserve(u3::kMaxAinPerFeedback);
}

LJ_ERROR UdDriver::connect() {
  device_.reset();
  cache_.clear();
  OpenStatus status = OpenStatus::Failed;
  std::unique_ptr<Transport> transport = bus_.openFirstU3(status);
  if (!transport) return openError(status == OpenStatus::Opened ? OpenStatus::Failed : status);
  auto device = std::make_unique<U3Device>(std::move(transport), options_.timeouts);
  LJ_ERROR code = device->start();
  // Said once per U3, not again when it is plugged in again.
  if (code == LJE_NOERROR && device->nominalCalibration() &&
      device->info().serial != noticedSerial_) {
    noticedSerial_ = device->info().serial;
    options_.notice(
        "LabJack U3 " + std::to_string(noticedSerial_) +
        ": the calibration constants could not be read; the nominal constants are used");
  }
  if (code == LJE_NOERROR && linesSet_) code = device->setAnalogLines(wantedLines_);
  if (code != LJE_NOERROR) return code;
  device_ = std::move(device);
  return LJE_NOERROR;
}

template <typename Op>
LJ_ERROR UdDriver::withDevice(Op&& op) {
  if (!device_ || device_->gone()) {
    // While no U3 can be opened again, the call fails as it does on a U3 pulled out.
    if (connect() != LJE_NOERROR) return LJE_COMM_FAILURE;
  }
  LJ_ERROR code = op(*device_);
  if (code != LJE_NOERROR && device_->gone() && connect() == LJE_NOERROR) code = op(*device_);
  return code;
}

LJ_ERROR UdDriver::open(int32_t deviceType, int32_t connectionType, const char* address,
                        int32_t firstFound, LJ_HANDLE* handle) {
  if (!handle) return LJE_UNKNOWN_ERROR;
  *handle = 0;
  if (deviceType != LJ_dtU3) return LJE_INVALID_DEVICE_TYPE;
  if (connectionType != LJ_ctUSB) return LJE_INVALID_CONNECTION_TYPE;
  if (!open_ || !device_ || device_->gone()) {
    const LJ_ERROR code = connect();
    if (code != LJE_NOERROR) return code;
  }
  if (!firstFound) {
    char* end = nullptr;
    const long id = address ? std::strtol(address, &end, 10) : -1;
    if (!address || end == address || *end != '\0' || id != device_->info().localId)
      return LJE_LABJACK_NOT_FOUND;
  }
  open_ = true;
  *handle = kHandle;
  return LJE_NOERROR;
}

LJ_ERROR UdDriver::put(LJ_HANDLE handle, int32_t ioType, int32_t channel, double value,
                       int32_t x1) {
  return request(false, handle, ioType, channel, &value, x1);
}

LJ_ERROR UdDriver::get(LJ_HANDLE handle, int32_t ioType, int32_t channel, double* value,
                       int32_t x1) {
  return request(true, handle, ioType, channel, value, x1);
}

LJ_ERROR UdDriver::request(bool isGet, LJ_HANDLE handle, int32_t ioType, int32_t channel,
                           double* value, int32_t x1) {
  if (!open_ || handle != kHandle) return LJE_INVALID_HANDLE;
  if (!value) return LJE_UNKNOWN_ERROR;
  switch (ioType) {
    case LJ_ioPIN_CONFIGURATION_RESET: {
      cache_.clear();
      const LJ_ERROR code = withDevice([](U3Device& d) { return d.resetPins(); });
      if (code == LJE_NOERROR) {
        wantedLines_ = 0;
        linesSet_ = true;
      }
      return code;
    }
    case LJ_ioPUT_ANALOG_ENABLE_PORT:
      return analogEnable(channel, *value, x1);
    case LJ_ioHALT:
      // Nothing runs on the U3 between calls; what a halt must end is the round's readings.
      cache_.clear();
      return LJE_NOERROR;
    case LJ_ioGET_AIN:
    case LJ_ioGET_AIN_DIFF:
      if (!isGet) return LJE_INVALID_IO_TYPE;
      return readInput(ioType, channel, x1, value);
    default:
      return LJE_INVALID_IO_TYPE;
  }
}

LJ_ERROR UdDriver::analogEnable(int32_t channel, double value, int32_t x1) {
  if (x1 < 1 || channel < 0 || x1 > kLines || channel > kLines - x1)
    return LJE_INVALID_CHANNEL_NUMBER;
  if (!std::isfinite(value) || value < 0 || value > 65535) return LJE_UNKNOWN_ERROR;
  cache_.clear();
  const uint32_t field = ((1u << x1) - 1u) << channel;
  const uint32_t bits = (static_cast<uint32_t>(value) << channel) & field;
  const LJ_ERROR code = withDevice([&](U3Device& d) {
    return d.setAnalogLines(static_cast<uint16_t>((d.analogLines() & ~field) | bits));
  });
  if (code == LJE_NOERROR) {
    wantedLines_ = device_->analogLines();
    linesSet_ = true;
  }
  return code;
}

LJ_ERROR UdDriver::inputFor(int32_t ioType, int32_t channel, int32_t x1, Input& in) const {
  if (channel < 0 || channel >= kLines) return LJE_INVALID_CHANNEL_NUMBER;
  in.request.positive = static_cast<uint8_t>(channel);
  in.request.negative = u3::kNegativeSingleEnded;
  in.kind = u3::InputKind::SingleEnded;
  if (ioType == LJ_ioGET_AIN_DIFF) {
    if (x1 == LJ_chSPECIAL_NEGATIVE) {
      in.request.negative = u3::kNegativeVref;
      in.kind = u3::InputKind::Special;
    } else if (x1 == u3::kNegativeVref || (x1 >= 0 && x1 < kLines)) {
      in.request.negative = static_cast<uint8_t>(x1);
      in.kind = u3::InputKind::Differential;
    } else if (x1 != u3::kNegativeSingleEnded) {
      return LJE_INVALID_CHANNEL_NUMBER;
    }
  }
  // A U3-HV's AIN0-3 measure against ground or in the special range, never against an input.
  if (in.kind == u3::InputKind::Differential && device_ && device_->info().highVoltage() &&
      channel < 4)
    return LJE_INVALID_CHANNEL_NUMBER;
  const uint16_t lines = device_ ? device_->analogLines() : wantedLines_;
  const auto analog = [lines](int line) { return line >= kLines || ((lines >> line) & 1u) != 0; };
  if (!analog(in.request.positive) || !analog(in.request.negative)) return LJE_AIN_NOT_ANALOG;
  return LJE_NOERROR;
}

bool UdDriver::inRound(const Input& in) const {
  return std::find(round_.begin(), round_.end(), in) != round_.end();
}

LJ_ERROR UdDriver::readInput(int32_t ioType, int32_t channel, int32_t x1, double* value) {
  Input in;
  if (const LJ_ERROR code = inputFor(ioType, channel, x1, in); code != LJE_NOERROR) return code;
  const bool fresh = std::chrono::steady_clock::now() - readAt_ <= options_.freshFor;
  for (Cached& c : cache_) {
    if (c.input == in && !c.taken && fresh) {
      c.taken = true;
      if (!inRound(in) && round_.size() < u3::kMaxAinPerFeedback) round_.push_back(in);
      *value = c.volts;
      return LJE_NOERROR;
    }
  }
  scan_.clear();
  if (inRound(in)) {
    // Asked again: the tick before has ended, and its inputs are this tick's.
    scan_.swap(round_);
    round_.push_back(in);
  } else {
    if (round_.size() < u3::kMaxAinPerFeedback) round_.push_back(in);
    scan_.push_back(in);
  }
  if (const LJ_ERROR code = transaction(); code != LJE_NOERROR) return code;
  for (Cached& c : cache_) {
    if (c.input == in) {
      c.taken = true;
      *value = c.volts;
      break;
    }
  }
  return LJE_NOERROR;
}

LJ_ERROR UdDriver::transaction() {
  std::array<u3::AinRequest, u3::kMaxAinPerFeedback> requests{};
  std::array<uint16_t, u3::kMaxAinPerFeedback> raw{};
  const size_t n = std::min(scan_.size(), requests.size());
  for (size_t i = 0; i < n; ++i) requests[i] = scan_[i].request;
  cache_.clear();
  ++transactions_;
  const LJ_ERROR code = withDevice([&](U3Device& d) {
    return d.readAnalog(std::span(requests).first(n), std::span(raw).first(n));
  });
  if (code != LJE_NOERROR) return code;
  readAt_ = std::chrono::steady_clock::now();
  const bool hv = device_->info().highVoltage();
  for (size_t i = 0; i < n; ++i) {
    const Input& in = scan_[i];
    cache_.push_back(
        {in, u3::RawToVolts(device_->calibration(), hv, in.request.positive, in.kind, raw[i])});
  }
  return LJE_NOERROR;
}

}  // namespace labjack
