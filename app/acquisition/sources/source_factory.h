#pragma once
// Which device serves the monitor for the session's model. The settings are copied when the
// window loads: the device is then made, used and released on the acquisition thread, which must
// not read the session the window's thread is changing.

#include <cstdint>

#include "app/acquisition/acquisition_worker.h"
#include "app/acquisition/clock.h"
#include "app/acquisition/sources/device_messages.h"
#include "app/session/session.h"

namespace tidemet {

struct SourceSettings {
  int16_t ModelCode = 0;
  int16_t DemoMode = 0;
  int16_t ChannelCount = 2;
  int16_t SensorType = 0;
  int16_t LimbMode = 1;
  int16_t ComPort = 1;
  int16_t UnitNode = 92;

  static SourceSettings from(const Session& s);
  // True when a device opened with `other` serves these settings as well. Sensor type and limb
  // reach an open device while it runs; the channel count only decides how many points the
  // four-channel USB device (model 13) reads.
  bool opensSameDeviceAs(const SourceSettings& other) const {
    return ModelCode == other.ModelCode && DemoMode == other.DemoMode && ComPort == other.ComPort &&
           UnitNode == other.UnitNode && (ModelCode != 13 || ChannelCount == other.ChannelCount);
  }
};

// The factory for the worker; empty for a model without a device. `messages` receives what the
// device has to tell the user; `clock` paces the demonstration unit. Both outlive the worker.
AcquisitionWorker::SourceFactory MakeSourceFactory(const SourceSettings& settings, const Clock& clock,
                                                   DeviceMessages& messages);

}  // namespace tidemet
