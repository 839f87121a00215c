// A U3 simulated at the level of the UD calls, for the monitor's tests: they check the calls the
// monitor makes and inject UD error codes directly (sim_control.h). Whoever asks for its control
// gets the UD calls served by it. One mutex, since the monitor calls from its acquisition thread
// while tests steer the device from theirs.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/labjackud/backend.h"
#include "platform/labjackud/labjackud.h"
#include "platform/labjackud/sim_control.h"

namespace labjacksim {
namespace {

constexpr double kDriverVersion = 1.0;
constexpr double kSingleEndedTop = 2.44;  // the U3's low-voltage inputs
constexpr double kSpecialRange = 2.44;
constexpr LJ_HANDLE kHandle = 1;

class SimDriver final : public Control, public labjack::Backend {
 public:
  void reset() override {
    std::lock_guard lock(mutex_);
    state_ = U3State{};
    open_ = false;
    pulled_ = false;
    failNext_ = 0;
    calls_.clear();
  }
  void attach() override {
    std::lock_guard lock(mutex_);
    state_.attached = true;
    pulled_ = false;
  }
  void pull() override {
    std::lock_guard lock(mutex_);
    state_.attached = false;
    pulled_ = true;
  }
  void failNext(int32_t code) override {
    std::lock_guard lock(mutex_);
    failNext_ = code;
  }
  void setVolts(int line, double volts) override {
    std::lock_guard lock(mutex_);
    if (line >= 0 && line < kAnalogLines) state_.volts[static_cast<size_t>(line)] = volts;
  }
  U3State state() const override {
    std::lock_guard lock(mutex_);
    return state_;
  }
  std::vector<Call> calls() const override {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  void clearCalls() override {
    std::lock_guard lock(mutex_);
    calls_.clear();
  }
  void setRecording(bool on) override {
    std::lock_guard lock(mutex_);
    recording_ = on;
  }

  double version() override {
    std::lock_guard lock(mutex_);
    log({Call::Version});
    return kDriverVersion;
  }

  LJ_ERROR open(int32_t deviceType, int32_t connectionType, const char* address, int32_t firstFound,
                LJ_HANDLE* handle) override {
    std::lock_guard lock(mutex_);
    LJ_ERROR r = openLocked(deviceType, connectionType, address, firstFound, handle);
    log({Call::Open, handle ? *handle : 0, 0, 0, 0.0, 0, r});
    return r;
  }

  LJ_ERROR put(LJ_HANDLE handle, int32_t ioType, int32_t channel, double value,
               int32_t x1) override {
    return request(Call::Put, handle, ioType, channel, &value, x1);
  }
  LJ_ERROR get(LJ_HANDLE handle, int32_t ioType, int32_t channel, double* value,
               int32_t x1) override {
    return request(Call::Get, handle, ioType, channel, value, x1);
  }

 private:
  LJ_ERROR request(Call::Kind kind, LJ_HANDLE handle, int32_t ioType, int32_t channel,
                   double* value, int32_t x1) {
    std::lock_guard lock(mutex_);
    const double in = value ? *value : 0.0;
    LJ_ERROR r = requestLocked(kind, handle, ioType, channel, value, x1);
    log({kind, handle, ioType, channel, in, x1, r});
    return r;
  }

  void log(const Call& c) {
    if (recording_) calls_.push_back(c);
  }

  LJ_ERROR openLocked(int32_t deviceType, int32_t connectionType, const char* address,
                      int32_t firstFound, LJ_HANDLE* handle) {
    if (!handle) return LJE_UNKNOWN_ERROR;
    *handle = 0;
    if (deviceType != LJ_dtU3) return LJE_INVALID_DEVICE_TYPE;
    if (connectionType != LJ_ctUSB) return LJE_INVALID_CONNECTION_TYPE;
    if (!state_.attached) return LJE_LABJACK_NOT_FOUND;
    if (!firstFound && (!address || std::strcmp(address, "1") != 0)) return LJE_LABJACK_NOT_FOUND;
    open_ = true;
    *handle = kHandle;
    return LJE_NOERROR;
  }

  LJ_ERROR requestLocked(Call::Kind kind, LJ_HANDLE handle, int32_t ioType, int32_t channel,
                         double* value, int32_t x1) {
    if (!open_ || handle != kHandle) return LJE_INVALID_HANDLE;
    if (pulled_) return LJE_COMM_FAILURE;
    if (!value) return LJE_UNKNOWN_ERROR;
    if (failNext_ != 0) {
      const LJ_ERROR code = failNext_;
      failNext_ = 0;
      return code;
    }
    switch (ioType) {
      case LJ_ioPIN_CONFIGURATION_RESET:
        state_.analogMask = 0;
        return LJE_NOERROR;
      case LJ_ioPUT_ANALOG_ENABLE_PORT: {
        if (x1 < 1 || channel < 0 || channel + x1 > kAnalogLines) return LJE_INVALID_CHANNEL_NUMBER;
        if (!std::isfinite(*value) || *value < 0 || *value > 65535) return LJE_UNKNOWN_ERROR;
        const uint32_t bits = static_cast<uint32_t>(*value) & ((1u << x1) - 1u);
        const uint32_t field = ((1u << x1) - 1u) << channel;
        state_.analogMask = (state_.analogMask & ~field) | (bits << channel);
        return LJE_NOERROR;
      }
      case LJ_ioHALT:
        ++state_.halts;
        return LJE_NOERROR;
      case LJ_ioGET_AIN:
      case LJ_ioGET_AIN_DIFF:
        if (kind != Call::Get) return LJE_INVALID_IO_TYPE;
        return readAnalog(ioType, channel, value, x1);
      default:
        return LJE_INVALID_IO_TYPE;
    }
  }

  bool analog(int line) const {
    return line >= 0 && line < kAnalogLines && ((state_.analogMask >> line) & 1u);
  }

  LJ_ERROR readAnalog(int32_t ioType, int32_t channel, double* value, int32_t x1) {
    if (channel < 0 || channel >= kAnalogLines) return LJE_INVALID_CHANNEL_NUMBER;
    if (!analog(channel)) return LJE_AIN_NOT_ANALOG;
    const double v = state_.volts[static_cast<size_t>(channel)];
    if (ioType == LJ_ioGET_AIN) {
      *value = std::clamp(v, 0.0, kSingleEndedTop);
      return LJE_NOERROR;
    }
    if (x1 == LJ_chSPECIAL_NEGATIVE) {
      *value = std::clamp(v, -kSpecialRange, kSpecialRange);
      return LJE_NOERROR;
    }
    if (x1 < 0 || x1 >= kAnalogLines) return LJE_INVALID_CHANNEL_NUMBER;
    if (!analog(x1)) return LJE_AIN_NOT_ANALOG;
    *value = std::clamp(v - state_.volts[static_cast<size_t>(x1)], -kSpecialRange, kSpecialRange);
    return LJE_NOERROR;
  }

  mutable std::mutex mutex_;
  U3State state_;
  bool open_ = false;
  bool pulled_ = false;
  int32_t failNext_ = 0;
  bool recording_ = true;
  std::vector<Call> calls_;
};

SimDriver& driver() {
  static SimDriver d;
  return d;
}

}  // namespace
}  // namespace labjacksim

extern "C" labjacksim::Control* LabJackSimControl(void) {
  labjack::SelectBackend(&labjacksim::driver());
  return &labjacksim::driver();
}
