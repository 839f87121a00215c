#pragma once
// The USB device's objects as the monitor window and the settings window open them: the
// enumerator, device 1 and its analog inputs 0-3 (I/O points 9-12) set to 12-bit single-ended.

#include <array>
#include <cstdint>
#include <memory>

#include "app/session/model_table.h"
#include "zdaq/enumerator.h"
#include "zdaq/objects.h"

namespace tidemet {

inline constexpr int32_t kUsbPointConfiguration = 0x40000002;
inline constexpr int32_t kFirstUsbPoint = 9;

class UsbDevicePoints {
 public:
  UsbDevicePoints() = default;
  ~UsbDevicePoints() { close(); }
  UsbDevicePoints(const UsbDevicePoints&) = delete;
  UsbDevicePoints& operator=(const UsbDevicePoints&) = delete;

  // Creates the enumerator and, when a device is present, opens device 1 and configures points
  // 9 and 10 (and 11 and 12 for model code 13). Without a device the points stay empty. Throws
  // zdaq::Error when a call of the library fails; what was opened before stays held.
  void open(int16_t modelCode, const zdaq::Backend& backend);
  // Releases the points, closes the device and releases the device and the enumerator; errors
  // are ignored.
  void close() noexcept;

  // I/O point 9 + i, empty when not opened.
  const std::shared_ptr<zdaq::ZzIoPoint>& point(int i) const {
    return IoPoint[static_cast<size_t>(i)];
  }
  bool deviceOpen() const { return DaqDevice != nullptr; }

 private:
  std::shared_ptr<zdaq::ZzIoPoint> configured(int32_t id);

  std::shared_ptr<zdaq::ZzDaqEnum> DaqEnum;
  std::shared_ptr<zdaq::ZzDaqDevice> DaqDevice;
  std::array<std::shared_ptr<zdaq::ZzIoPoint>, 4> IoPoint;
};

// The error box's number and description for a failure of the device library (or another
// exception escaping it).
DeviceError UsbDeviceError(const std::exception& e);

}  // namespace tidemet
