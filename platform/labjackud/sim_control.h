#pragma once
// Control of the simulated U3 behind the driver, for tests and running without hardware.

#include <array>
#include <cstdint>
#include <vector>

namespace labjacksim {

inline constexpr int kAnalogLines = 16;

struct Call {
  enum Kind { Version, Open, Put, Get } kind = Version;
  int32_t handle = 0;
  int32_t ioType = 0;
  int32_t channel = 0;
  double value = 0.0;  // value passed in
  int32_t x1 = 0;
  int32_t result = 0;
  bool operator==(const Call&) const = default;
};

struct U3State {
  bool attached = false;
  std::array<double, kAnalogLines> volts{};  // what each input reads
  uint32_t analogMask = 0x0F;                // lines configured analog (the U3's own default)
  int halts = 0;                             // LJ_ioHALT requests received
};

class Control {
 public:
  // No U3 attached, default state, log cleared; handles handed out before become invalid.
  virtual void reset() = 0;
  // A U3 with local ID 1 on USB.
  virtual void attach() = 0;
  // Pulls the U3 out: calls on its handle fail with LJE_COMM_FAILURE until it is attached again.
  virtual void pull() = 0;
  // The next call that reaches the device (ePut or eGet) fails with `code`.
  virtual void failNext(int32_t code) = 0;
  virtual void setVolts(int line, double volts) = 0;
  virtual U3State state() const = 0;
  virtual std::vector<Call> calls() const = 0;
  virtual void clearCalls() = 0;
  virtual void setRecording(bool on) = 0;

 protected:
  ~Control() = default;
};

}  // namespace labjacksim

extern "C" __attribute__((visibility("default"))) labjacksim::Control* LabJackSimControl(void);
