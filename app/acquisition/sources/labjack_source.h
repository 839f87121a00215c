#pragma once
// The LabJack U3 (model codes 22 and 23) through the UD driver. Opening happens in the
// constructor, on the acquisition thread; what it has to tell the user is posted to
// DeviceMessages. The tick's driver errors travel in the reading set as 50000 + code.

#include <array>
#include <cstdint>

#include "app/acquisition/seams.h"
#include "app/acquisition/sources/device_messages.h"

namespace tidemet {

struct LabJackSettings {
  int16_t ModelCode = 22;
  int16_t SensorType = 0;
  int16_t LimbMode = 1;
};

class LabJackSource final : public Source {
 public:
  LabJackSource(const LabJackSettings& settings, DeviceMessages& messages);
  // The driver keeps the handle: nothing to close.
  ~LabJackSource() override = default;

  void takeReadings(ReadingSet& out) override;
  void afterError() override { halt(); }
  void recordingStopped() override { halt(); }
  void sensorsChanged(int16_t sensorType, int16_t limbMode) override {
    settings_.SensorType = sensorType;
    settings_.LimbMode = limbMode;
  }

  bool open() const { return handle_ != 0; }
  double driverVersion() const { return driverVersion_; }

 private:
  enum class Read { None, SingleEnded, Differential };
  // Reads channel `channel` into reading `r`; false when a tested read failed (the error is
  // then in `out`).
  bool read(Read how, int channel, int r, ReadingSet& out);
  Read readFor22() const;
  void halt();

  LabJackSettings settings_;
  int32_t handle_ = 0;
  double driverVersion_ = 0.0;
};

// The box the opening shows for application error `number` (driver code + 50000, or a smaller
// number for any other error), with the driver's text or the error's description.
Alert LabJackOpenMessage(int32_t number, const char* text);

}  // namespace tidemet
