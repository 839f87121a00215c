#pragma once
// One opened U3: its configuration and calibration, and the transactions the UD calls make.
// Every result is a UD error code, so the caller passes it straight on.

#include <cstdint>
#include <memory>
#include <span>

#include "platform/labjackud/labjackud.h"
#include "platform/labjackud/usb/transport.h"
#include "platform/labjackud/usb/u3_calibration.h"
#include "platform/labjackud/usb/u3_protocol.h"

namespace labjack {

struct Timeouts {
  int commandMs = 500;  // configuration and calibration reads while opening
  int feedbackMs = 20;  // one Feedback in the tick: two beats, then the tick reports the fault
};

class U3Device {
 public:
  U3Device(std::unique_ptr<Transport> transport, Timeouts timeouts);

  // Reads the configuration and the calibration; a calibration that cannot be read (or makes
  // no sense) leaves the nominal constants in use.
  LJ_ERROR start();
  // Bit i of `lines`: line i (FIO0-7, then EIO0-7) is an analog input.
  LJ_ERROR setAnalogLines(uint16_t lines);
  // All lines digital, timers and counters off.
  LJ_ERROR resetPins();
  // One Feedback transaction for all `inputs`; `raw` has one element per input.
  LJ_ERROR readAnalog(std::span<const u3::AinRequest> inputs, std::span<uint16_t> raw);

  uint16_t analogLines() const { return analogLines_; }
  const u3::U3Info& info() const { return info_; }
  const u3::Calibration& calibration() const { return calibration_; }
  bool nominalCalibration() const { return nominal_; }
  bool gone() const { return gone_; }

 private:
  // Sends `command` and hands its reply to `parse`; a late answer to an earlier Feedback is
  // skipped once.
  template <typename Parse>
  LJ_ERROR transact(const u3::Packet& command, int timeoutMs, Parse&& parse);
  LJ_ERROR writeConfigIo(uint8_t mask, uint8_t timerCounter, uint16_t lines);
  bool readCalibration();

  std::unique_ptr<Transport> transport_;
  Timeouts timeouts_;
  u3::U3Info info_;
  u3::Calibration calibration_;
  uint16_t analogLines_ = 0;
  uint8_t echo_ = 0;
  bool nominal_ = false;
  bool gone_ = false;
};

// The UD code for a reply fault or the U3's own error code.
LJ_ERROR ReplyError(const u3::Reply& reply);

}  // namespace labjack
