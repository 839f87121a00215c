#include "app/acquisition/sources/source_factory.h"

#include <string>

#include "app/acquisition/demo_source.h"
#include "app/acquisition/sources/labjack_source.h"
#include "app/acquisition/sources/rv2_source.h"

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
  if (settings.ModelCode == 22 || settings.ModelCode == 23) {
    const LabJackSettings lj{settings.ModelCode, settings.SensorType, settings.LimbMode};
    return [lj, &messages]() -> std::unique_ptr<Source> { return std::make_unique<LabJackSource>(lj, messages); };
  }
  if (settings.ModelCode == 8) {
    Rv2Settings rv2{ComPortDevice(settings.ComPort), "Com " + std::to_string(settings.ComPort), settings.UnitNode};
    return [rv2, &clock, &messages]() -> std::unique_ptr<Source> {
      return std::make_unique<Rv2Source>(rv2, clock, messages);
    };
  }
  return {};
}

}  // namespace tidemet
