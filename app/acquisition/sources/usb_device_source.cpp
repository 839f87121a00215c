#include "app/acquisition/sources/usb_device_source.h"

#include <exception>

#include "zdaq/error.h"

namespace tidemet {

int UsbPointsRead(int16_t modelCode, int16_t channelCount) {
  if (modelCode == 9) return 0;
  if (modelCode == 13 && channelCount == 4) return 4;
  return 2;
}

UsbDeviceSource::UsbDeviceSource(int16_t modelCode, int16_t channelCount, DeviceMessages& messages,
                                 const zdaq::Backend& backend)
    : modelCode_(modelCode), pointsRead_(UsbPointsRead(modelCode, channelCount)) {
  try {
    device_.open(modelCode, backend);
  } catch (const std::exception& e) {
    messages.post(DeviceErrorAlert(UsbDeviceError(e), "Form_Load"));
  }
}

void UsbDeviceSource::takeReadings(ReadingSet& out) {
  for (int i = 0; i < pointsRead_; ++i) {
    const auto& point = device_.point(i);
    if (!point) {
      out.fail(i);
      out.setErrorText("No USB data acquisition device was found.");
      continue;
    }
    try {
      out.set(i, point->Value());
    } catch (const zdaq::Error& e) {
      out.fail(i);
      out.setErrorText(e.description());
    }
  }
}

}  // namespace tidemet
