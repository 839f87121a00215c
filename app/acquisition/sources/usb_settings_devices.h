#pragma once
// The settings window's device opening: the USB device opened and released within the model
// handler, and a module session of the window's own.

#include <memory>
#include <string>

#include "app/acquisition/sources/vonmod_library.h"
#include "app/session/model_table.h"
#include "zdaq/enumerator.h"

namespace tidemet {

class UsbSettingsDevices final : public SettingsDevices {
 public:
  explicit UsbSettingsDevices(zdaq::Backend backend = zdaq::Backend::system());
  ~UsbSettingsDevices() override;

  // The device objects live only inside this call: the monitor window opens its own.
  std::optional<DeviceError> openUsbDevice(int16_t modelCode) override;
  // Nothing outlives openUsbDevice, so nothing is left to release.
  void closeUsbDevice() override {}
  // Results are kept, nothing is shown; a missing library counts as a missing module.
  void openModule() override;
  void closeModule() override;

  const ModuleSession* module() const { return module_.get(); }
  int32_t openResult() const { return openResult_; }

 private:
  zdaq::Backend backend_;
  std::unique_ptr<VonmodLibrary> library_;
  std::unique_ptr<ModuleSession> module_;
  int32_t openResult_ = 0;
};

}  // namespace tidemet
