#include "app/acquisition/sources/source_factory.h"

#include "app/acquisition/demo_source.h"

namespace tidemet {

SourceSettings SourceSettings::from(const Session& s) {
  return {s.ModelCode, s.DemoMode, s.ChannelCount, s.SensorType, s.LimbMode, s.ComPort, s.UnitNode};
}

AcquisitionWorker::SourceFactory MakeSourceFactory(const SourceSettings& settings, const Clock& clock,
                                                   DeviceMessages& messages) {
  (void)messages;
  if (settings.ModelCode == 0 && settings.DemoMode == 1) {
    return [&clock]() -> std::unique_ptr<Source> {
      return std::make_unique<DemoSource>(clock, clock.nowNs(), DemoParameters{});
    };
  }
  return {};
}

}  // namespace tidemet
