#pragma once
// The USB module (model codes 18-21) as the monitor's source: module 0 opened when the source is
// made, channels 0-7 read in one call per tick as volts, the session released with the source.

#include <array>
#include <cstdint>
#include <memory>

#include "app/acquisition/seams.h"
#include "app/acquisition/sources/device_messages.h"
#include "app/acquisition/sources/vonmod_library.h"

namespace tidemet {

class UsbModuleSource final : public Source {
 public:
  // A module that is missing (result 2) is not reported; any other failure posts " dd = ".
  explicit UsbModuleSource(DeviceMessages& messages);

  // Readings 0-7 are the voltages of a successful read. A failed read keeps the buffer as it
  // was and marks the eight readings failed, so the recording repeats its own last values
  // rather than what an earlier trial left in the buffer.
  void takeReadings(ReadingSet& out) override;

  int32_t moduleResult() const { return ModuleResult; }
  bool moduleOpen() const { return module_ && module_->isOpen(); }

 private:
  std::unique_ptr<VonmodLibrary> library_;
  std::unique_ptr<ModuleSession> module_;
  std::array<float, 9> ModuleVolts{};
  int32_t ModuleResult = 0;
  int32_t scratch_ = 0;
};

}  // namespace tidemet
