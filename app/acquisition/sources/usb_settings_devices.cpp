#include "app/acquisition/sources/usb_settings_devices.h"

#include <exception>

#include "app/acquisition/sources/usb_device_points.h"

namespace tidemet {

UsbSettingsDevices::UsbSettingsDevices(zdaq::Backend backend) : backend_(std::move(backend)) {}

UsbSettingsDevices::~UsbSettingsDevices() { closeModule(); }

std::optional<DeviceError> UsbSettingsDevices::openUsbDevice(int16_t modelCode) {
  try {
    UsbDevicePoints device;
    device.open(modelCode, backend_);
  } catch (const std::exception& e) {
    return UsbDeviceError(e);
  }
  return std::nullopt;
}

void UsbSettingsDevices::openModule() {
  if (!library_) {
    std::string why;
    library_ = VonmodLibrary::Load(why);
    if (!library_) return;
    module_ = std::make_unique<ModuleSession>(*library_);
  }
  openResult_ = module_->open();
}

void UsbSettingsDevices::closeModule() {
  if (module_) module_->release();
}

}  // namespace tidemet
