#include "app/acquisition/sources/usb_module_source.h"

#include <cstdio>
#include <string>

#include "app/session/text.h"

namespace tidemet {

UsbModuleSource::UsbModuleSource(DeviceMessages& messages) {
  std::string why;
  library_ = VonmodLibrary::Load(why);
  if (!library_) {
    // Not a case of the module itself: the installation lacks its library. Said once, plainly.
    messages.post({std::string(AppTitle), why, AlertIcon::Exclamation, AlertButtons::Ok});
    return;
  }
  module_ = std::make_unique<ModuleSession>(*library_);
  const int32_t result = module_->open();
  if (result != 0 && result != 2) {
    messages.post({std::string(AppTitle),
                   std::string(AppTitle) + " dd = " + NumText(static_cast<long long>(result)),
                   AlertIcon::Exclamation, AlertButtons::Ok});
  }
}

void UsbModuleSource::takeReadings(ReadingSet& out) {
  if (module_) {
    // The library answers a closed session with an error code, kept like any other. Only a
    // successful read changes the buffer, whatever the library left in its argument.
    std::array<float, 9> volts = ModuleVolts;
    ModuleResult =
        library_->ReadMultiAnalogIn(&module_->session(), 0, 8, 0, volts.data(), scratch_);
    if (ModuleResult == 0) ModuleVolts = volts;
  }
  out.deviceResult = ModuleResult;
  if (module_ && ModuleResult == 0) {
    for (int i = 0; i < 8; ++i) out.set(i, ModuleVolts[static_cast<size_t>(i)]);
    return;
  }
  for (int i = 0; i < 8; ++i) out.fail(i);
  if (module_) {
    char text[64];
    std::snprintf(text, sizeof text, "The USB module answered with result code %d.",
                  static_cast<int>(ModuleResult));
    out.setErrorText(text);
  }
}

}  // namespace tidemet
