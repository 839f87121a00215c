#include "app/acquisition/sources/source_factory.h"

#include <string>

#include "app/acquisition/demo_source.h"
#include "app/acquisition/sources/rv2_source.h"
#ifdef TIDEMET_HAVE_LABJACK
#include "app/acquisition/sources/labjack_source.h"
#endif
#ifdef TIDEMET_HAVE_USB_SOURCES
#include "app/acquisition/sources/usb_device_source.h"
#include "app/acquisition/sources/usb_module_source.h"
#endif

namespace tidemet {

SourceSettings SourceSettings::from(const Session& s) {
  // The port is the one checked in the settings: Com 5-16 move only the check mark.
  const int16_t port = s.settingsChecks.com >= 1 ? static_cast<int16_t>(s.settingsChecks.com) : s.ComPort;
  return {s.ModelCode, s.DemoMode, s.ChannelCount, s.SensorType, s.LimbMode, port, s.UnitNode};
}

AcquisitionWorker::SourceFactory MakeSourceFactory(const SourceSettings& settings, const Clock& clock,
                                                   DeviceMessages& messages) {
  if (settings.ModelCode == 0 && settings.DemoMode == 1) {
    return [&clock]() -> std::unique_ptr<Source> {
      return std::make_unique<DemoSource>(clock, clock.nowNs(), DemoParameters{});
    };
  }
  if (settings.ModelCode == 8) {
    Rv2Settings rv2{ComPortDevice(settings.ComPort), "Com " + std::to_string(settings.ComPort), settings.UnitNode};
    return [rv2, &clock, &messages]() -> std::unique_ptr<Source> {
      return std::make_unique<Rv2Source>(rv2, clock, messages);
    };
  }
#ifdef TIDEMET_HAVE_LABJACK
  if (settings.ModelCode == 22 || settings.ModelCode == 23) {
    const LabJackSettings lj{settings.ModelCode, settings.SensorType, settings.LimbMode};
    return [lj, &messages]() -> std::unique_ptr<Source> { return std::make_unique<LabJackSource>(lj, messages); };
  }
#endif
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
#endif
  return {};
}

}  // namespace tidemet
