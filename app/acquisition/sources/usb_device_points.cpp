#include "app/acquisition/sources/usb_device_points.h"

#include "zdaq/device.h"
#include "zdaq/error.h"

namespace tidemet {

void UsbDevicePoints::open(int16_t modelCode, const zdaq::Backend& backend) {
  DaqEnum = zdaq::CreateObjectAs<zdaq::ZzDaqEnum>("ZDaq.ZzDaqEnum", backend);
  if (DaqEnum->Devices()->Count() == 0) return;
  if (DaqDevice) return;
  DaqDevice = DaqEnum->Devices()->Item(int32_t{1});
  DaqDevice->Open();
  IoPoint[0] = configured(kFirstUsbPoint);
  IoPoint[1] = configured(kFirstUsbPoint + 1);
  if (modelCode == 13) {
    IoPoint[2] = configured(kFirstUsbPoint + 2);
    IoPoint[3] = configured(kFirstUsbPoint + 3);
  }
}

std::shared_ptr<zdaq::ZzIoPoint> UsbDevicePoints::configured(int32_t id) {
  auto point = DaqDevice->IoPoints()->Item(id);
  point->Configuration(kUsbPointConfiguration);
  return point;
}

void UsbDevicePoints::close() noexcept {
  for (auto& p : IoPoint) p.reset();
  if (DaqDevice) {
    try {
      DaqDevice->Close();
    } catch (...) {
      // A device pulled out closes with an error; there is nothing left to release.
    }
  }
  DaqDevice.reset();
  DaqEnum.reset();
}

DeviceError UsbDeviceError(const std::exception& e) {
  if (const auto* z = dynamic_cast<const zdaq::Error*>(&e)) return {z->hresult(), z->description()};
  return {zdaq::kUnspecifiedFailure, e.what()};
}

}  // namespace tidemet
