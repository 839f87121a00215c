#pragma once
// One tick's readings from one device, as the acquisition thread hands them to the window's
// thread. Fixed size: taking and queueing a reading set allocates nothing.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "app/session/session.h"

namespace tidemet {

struct ReadingSet {
  // Readings in the device's order (reading 0 is the first point, volts of module channel 0,
  // value A of a serial frame, ...), in the device's own unit; the tick converts them.
  std::array<double, kMaxChannels> value{};
  // Bit r set: reading r was taken. A failed read leaves its bit clear and sets its bit in
  // `failed`, with what went wrong in errorText.
  uint16_t present = 0;
  uint16_t failed = 0;
  // QW8 unit: status code that came with each reading.
  std::array<int16_t, kMaxChannels> unitStatus{};

  // A device error that ends the tick before drawing: the readings before `errorAfter` were
  // taken, the error struck at reading `errorAfter`. errorNumber 0 means none; above 50000 it
  // is a driver code + 50000 (its text in errorText).
  int32_t errorNumber = 0;
  int16_t errorAfter = 0;
  std::array<char, 128> errorText{};

  // The device's own result code of this read (the USB module's), kept for the diagnostics;
  // the tick does not test it.
  int32_t deviceResult = 0;

  // When the readings were taken (monotonic clock, nanoseconds), and how many reading deadlines
  // were skipped before this one.
  int64_t takenAtNs = 0;
  uint32_t skippedBefore = 0;

  void set(int r, double v) {
    value[r] = v;
    present = static_cast<uint16_t>(present | (1u << r));
  }
  void fail(int r) { failed = static_cast<uint16_t>(failed | (1u << r)); }
  bool has(int r) const { return (present >> r) & 1u; }
  bool hasFailed(int r) const { return (failed >> r) & 1u; }
  // Keeps the first 127 characters of `text` in errorText, without allocating.
  void setErrorText(std::string_view text) {
    const size_t n = std::min(text.size(), errorText.size() - 1);
    std::copy_n(text.data(), n, errorText.data());
    errorText[n] = '\0';
  }
};

}  // namespace tidemet
