#pragma once
// Control of the simulated module bus, for tests and benchmarks. The simulated libmpusbapi.so
// exports MPUSBSimControl(); a test reaches it with dlopen(MPUSBAPI_LIBRARY_NAME, RTLD_NOLOAD)
// once the module library has loaded the pipe library through the normal library search.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mpusbsim {

inline constexpr int kChannels = 8;
inline constexpr int kEepromSize = 240;

// What an analog input reads; evaluated at the input's conversion count (single reads) or at
// the scan index (streaming). Counts are clamped to 0..4095.
struct Wave {
  enum Kind { Constant, Ramp, Square, Sine } kind = Constant;
  int low = 0;
  int high = 0;
  int period = 1;  // in conversions or scans
};

struct Pwm {
  bool running = false;
  uint8_t period = 0;
  int duty = 0;
  uint8_t prescaler = 0;
};

// The firmware's visible state; tests read and change it directly.
struct ModuleState {
  std::array<Wave, kChannels> analog{};
  std::array<uint8_t, 2> ports{};
  uint16_t counter = 0;
  std::array<Pwm, 2> pwm{};
  std::array<uint8_t, kEepromSize> eeprom{};
  std::array<uint8_t, 8> serialDigits{};  // least significant first
  uint16_t firmware = 0x0107;
  std::string credits = "Tidemet simulated data acquisition module..";  // 43 characters
  uint8_t deviceId = 0x5A;
  uint16_t trailerWord = 0;
  int64_t streamScanLimit = -1;  // scans the stream delivers before it runs dry; -1: no limit
};

// Faults apply to the next matching transfer on any pipe and are then used up.
enum class Fault {
  FailWrite,     // the next write returns 0
  FailRead,      // the next command reply read returns 0
  ShortReply,    // the next reply (or stream packet) loses its last bytes
  LongReply,     // the next reply reports one byte more than the firmware's length
  WrongEcho,     // the next reply's byte 0 is changed
  WrongChannel,  // the next reply's byte 1 is changed
};

struct Call {
  enum Kind { Count, Open, Close, Write, Read, ReadInt } kind = Count;
  int32_t handle = -1;
  int32_t instance = -1;
  std::string pipe;
  int32_t direction = -1;
  int32_t length = 0;
  int32_t timeoutMs = 0;
  std::vector<uint8_t> data;  // bytes written, or bytes delivered
  int32_t result = 0;
};

struct PipeInfo {
  int32_t handle;
  int module;  // index of the module, stable across pulls
  int endpoint;
  int32_t direction;
};

class Control {
 public:
  // A fresh bus with `modules` attached modules in their default state; logs and faults cleared.
  virtual void reset(int modules) = 0;
  virtual ModuleState& module(int index) = 0;
  // Pulls module `index` out: it no longer counts, its pipes fail and it cannot be opened.
  virtual void pull(int index) = 0;
  virtual void inject(Fault fault) = 0;
  // The next open of this pipe name and direction fails.
  virtual void refuseOpen(const std::string& pipe, int32_t direction) = 0;
  // Streams run on the wall clock (benchmarks) or hand out packets at once (tests, the default).
  virtual void setRealTime(bool realTime) = 0;
  virtual const std::vector<Call>& calls() const = 0;
  virtual void clearCalls() = 0;
  // The bytes of every write that reached a module, in order.
  virtual std::vector<std::vector<uint8_t>> requests() const = 0;
  virtual std::vector<PipeInfo> openPipes() const = 0;
  virtual bool streaming(int index) const = 0;
  // Scan rate that the module derived from the last stream start request.
  virtual double streamRate(int index) const = 0;
  // Turns off call recording, so that long benchmark runs do not grow the log.
  virtual void setRecording(bool on) = 0;

 protected:
  ~Control() = default;
};

}  // namespace mpusbsim

extern "C" __attribute__((visibility("default"))) mpusbsim::Control* MPUSBSimControl(void);
