#include "app/acquisition/sources/source_factory.h"

#include "app/acquisition/demo_source.h"
#ifdef TIDEMET_HAVE_USB_SOURCES
#include "app/acquisition/sources/usb_device_source.h"
#include "app/acquisition/sources/usb_module_source.h"
#endif

namespace tidemet {

SourceSettings SourceSettings::from(const Session& s) {
  return {s.ModelCode, s.DemoMode, s.ChannelCount, s.SensorType, s.LimbMode, s.ComPort, s.UnitNode};
}

AcquisitionWorker::SourceFactory MakeSourceFactory(const SourceSettings& settings, const Clock& clock,
                                                   DeviceMessages& messages) {
  if (settings.ModelCode == 0 && settings.DemoMode == 1) {
    return [&clock]() -> std::unique_ptr<Source> {
      return std::make_unique<DemoSource>(clock, clock.nowNs(), DemoParameters{});
    };
  }
#ifdef TIDEMET_HAVE_USB_SOURCES
  const int16_t m = settings.ModelCode;
  if (m == 7 || (m >= 9 && m <= 15)) {
    return [&messages, m, channels = settings.ChannelCount]() -> std::unique_ptr<Source> {
      return std::make_unique<UsbDeviceSource>(m, channels, messages);
    };
  }
  if (m >= 18 && m <= 21) {
    return [&messages]() -> std::unique_ptr<Source> {
      return std::make_unique<UsbModuleSource>(messages);
    };
  }
#else
  (void)messages;
#endif
  return {};
}

}  // namespace tidemet
