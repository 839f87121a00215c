#pragma once
// The RV2 transmitter (model code 8) on a serial port. Each tick hands every byte received
// since the previous one to the frame scan and sends the poll command; the start command goes
// out once when monitoring starts. A port that cannot be opened is reported once and the monitor
// runs on without readings; a port that fails is closed at once and reopened with a back-off.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/acquisition/clock.h"
#include "app/acquisition/seams.h"
#include "app/acquisition/serial_unit.h"
#include "app/acquisition/sources/device_messages.h"
#include "app/acquisition/sources/serial_port.h"

namespace tidemet {

// One tick's reassembly of the received bytes: `buffer[0, used)` holds the start of a frame kept
// from the previous tick and what arrived since. Returns the first whole reply, and leaves in the
// buffer only the start of a frame whose end has not arrived yet (none of a buffer full of noise).
std::optional<ReplyFrame> TakeRv2Reply(std::span<uint8_t> buffer, size_t& used);

struct Rv2Settings {
  std::string device;    // the port's device file
  std::string portName;  // as the settings window names it ("Com 1")
  int16_t UnitNode = 92;
};

class Rv2Source final : public Source {
 public:
  static constexpr int64_t kFirstRetryNs = 100'000'000;   // 100 ms
  static constexpr int64_t kLastRetryNs = 5'000'000'000;  // 5 s

  Rv2Source(Rv2Settings settings, const Clock& clock, DeviceMessages& messages);

  void takeReadings(ReadingSet& out) override;
  void monitoringStarted() override;

  bool portOpen() const { return port_.isOpen(); }
  int reopenAttempts() const { return reopenAttempts_; }

 private:
  bool openPort();
  void lost();
  void send(std::span<const uint8_t> bytes);

  Rv2Settings settings_;
  const Clock& clock_;
  DeviceMessages& messages_;
  SerialPort port_;
  bool monitoring_ = false;
  bool reported_ = false;
  int64_t retryAtNs_ = 0;
  int64_t retryDelayNs_ = kFirstRetryNs;
  int reopenAttempts_ = 0;
  // Bytes received since the previous tick, plus the start of a frame that was still arriving.
  std::array<uint8_t, 1024> received_{};
  size_t used_ = 0;
};

}  // namespace tidemet
