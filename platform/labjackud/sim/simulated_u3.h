#pragma once
// A U3 simulated at the USB packet level, for tests, benchmarks and running without hardware.
// It checks every command's checksums and length as the U3 does, answers ConfigU3, ConfigIO,
// calibration-memory reads and Feedback analog reads from programmable voltages, converts volts
// to raw readings with its own calibration constants, and can be told to misbehave once.
// Thread-safe: the acquisition thread talks to it while a test steers it.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/labjackud/usb/transport.h"
#include "platform/labjackud/usb/u3_calibration.h"

namespace labjack::sim {

enum class Fault {
  None,
  NoReply,      // the command is carried out, its reply never comes
  LateReply,    // the reply comes only after the next command's reply would have
  ShortReply,   // the reply is cut to half its length
  BadChecksum,  // the reply's checksum-16 is off by one
  DeviceError,  // the reply carries the given error code
};

struct U3Setup {
  bool highVoltage = false;
  uint8_t localId = 1;
  uint32_t serial = 320012345;
  uint16_t analogLines = 0x000F;   // the U3's factory default: FIO0-3 analog
  u3::Calibration calibration;     // what its memory holds
  bool calibrationErased = false;  // memory reads all 0xFF, as after a failed calibration
};

class SimulatedU3 {
 public:
  explicit SimulatedU3(U3Setup setup = {});

  void setVolts(int line, double volts);
  // The fault strikes the next command that reaches the U3.
  void failNext(Fault fault, uint8_t errorCode = 0);

  // One command in; the replies it causes (none, one, or a held-back one and its own).
  std::vector<std::vector<uint8_t>> handle(std::span<const uint8_t> command);

  // Every command received, as sent.
  std::vector<std::vector<uint8_t>> commands() const;
  void clearCommands();
  // Commands with a bad checksum, length or layout: zero in any sound exchange.
  int violations() const;
  uint16_t analogLines() const;
  const U3Setup& setup() const { return setup_; }

 private:
  std::vector<uint8_t> answer(std::span<const uint8_t> command);
  std::vector<uint8_t> feedback(std::span<const uint8_t> command);
  uint16_t rawFor(uint8_t positive, uint8_t negative) const;

  mutable std::mutex mutex_;
  const U3Setup setup_;
  std::array<double, 16> volts_{};
  uint16_t analogLines_;
  Fault fault_ = Fault::None;
  uint8_t faultCode_ = 0;
  std::vector<uint8_t> heldBack_;
  std::vector<std::vector<uint8_t>> commands_;
  int violations_ = 0;
};

struct BusState;

// The bus the simulated U3 hangs on: it can be plugged in and pulled out. A transport opened
// before a pull stays dead, as a USB handle does.
class SimulatedBus final : public Bus {
 public:
  explicit SimulatedBus(U3Setup setup = {});

  void attach();
  void pull();
  // The next open finds a U3 that this user may not open.
  void denyAccess(bool deny);
  SimulatedU3& u3() { return *u3_; }

  std::unique_ptr<Transport> openFirstU3(OpenStatus& status) override;

 private:
  std::shared_ptr<BusState> state_;
  std::shared_ptr<SimulatedU3> u3_;
};

}  // namespace labjack::sim
