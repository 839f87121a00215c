#pragma once
// A serial port for the acquisition thread: raw bytes, non-blocking reads, no event loop.
// Line settings: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tidemet {

// The device file of the settings window's "Com 1" .. "Com 16": Com 1-4 are the built-in ports
// /dev/ttyS0-3, Com 5-16 the USB serial adapters /dev/ttyUSB0-11. Empty for any other number.
std::string ComPortDevice(int port);

class SerialPort {
 public:
  SerialPort() = default;
  ~SerialPort() { close(); }
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens and configures `path`; false with the reason in error() when it cannot.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return fd_ >= 0; }

  // Appends what has arrived, without waiting, to `into` from `used` on; returns the new count
  // of bytes in `into`, or -1 on a read error (the port is then closed). A full buffer leaves
  // the rest for the next call.
  long readAvailable(std::span<uint8_t> into, size_t used);
  // Writes all of `bytes`; false on an error (the port is then closed).
  bool write(std::span<const uint8_t> bytes);

  const std::string& error() const { return error_; }

 private:
  void fail(const char* what, int err);

  int fd_ = -1;
  std::string error_;
};

}  // namespace tidemet
