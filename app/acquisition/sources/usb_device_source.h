#pragma once
// The USB device (model codes 7 and 9-15) as the monitor's source: opened when the source is
// made, analog inputs read once per tick as raw counts, closed when the source is released.

#include <cstdint>

#include "app/acquisition/seams.h"
#include "app/acquisition/sources/device_messages.h"
#include "app/acquisition/sources/usb_device_points.h"

namespace tidemet {

int UsbPointsRead(int16_t modelCode, int16_t channelCount);

class UsbDeviceSource final : public Source {
 public:
  // A failure while opening posts the load's error box; the source then reads nothing.
  UsbDeviceSource(int16_t modelCode, int16_t channelCount, DeviceMessages& messages,
                  const zdaq::Backend& backend = zdaq::Backend::system());

  // Reading i is I/O point 9 + i. A point that is empty or fails to read (no device, a device
  // pulled out) is marked failed with the reason.
  void takeReadings(ReadingSet& out) override;
  // Model 13 reads its points 11 and 12 only while the trial has four channels.
  void channelCountChanged(int16_t channelCount) override {
    pointsRead_ = UsbPointsRead(modelCode_, channelCount);
  }

 private:
  int16_t modelCode_;
  UsbDevicePoints device_;
  int pointsRead_ = 0;
};

// How many I/O points the tick reads for a model: none for model code 9 (opened only), four for
// model code 13 with four channels, else two.
int UsbPointsRead(int16_t modelCode, int16_t channelCount);

}  // namespace tidemet
