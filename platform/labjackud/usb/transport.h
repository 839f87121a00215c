#pragma once
// The seam under the U3 layer: whole packets out to the U3 and whole packets back, and a bus
// that opens the first U3 found. libusb serves the real device; the simulated U3 serves tests,
// benchmarks and running without hardware.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace labjack {

enum class TransferStatus {
  Ok,
  Timeout,  // nothing came (or nothing could be sent) in time
  Gone,     // the U3 was unplugged; this transport stays dead
  Failed,   // any other transfer error, a short write or an overlong packet
};

class Transport {
 public:
  virtual ~Transport() = default;
  virtual TransferStatus send(std::span<const uint8_t> packet, int timeoutMs) = 0;
  // Receives one packet into `buffer`; `received` is its length.
  virtual TransferStatus receive(std::span<uint8_t> buffer, size_t& received, int timeoutMs) = 0;
};

enum class OpenStatus { Opened, NotFound, NoAccess, Failed };

class Bus {
 public:
  virtual ~Bus() = default;
  // The first U3 found (ordered by bus, then port); null with the reason in `status`.
  virtual std::unique_ptr<Transport> openFirstU3(OpenStatus& status) = 0;
};

}  // namespace labjack
