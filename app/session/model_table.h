#pragma once
// The interface-model table: every model menu with what it sets, the calibration that turns
// stored samples into force, and the two model handlers of the settings window.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// What the settings window opens for some models. The device back-ends fill it; the model
// handlers only decide when each call happens.
struct DeviceError {
  uint32_t number = 0;
  std::string description;
};

class SettingsDevices {
 public:
  virtual ~SettingsDevices() = default;
  // `CloseQV2`: releases what was opened for the USB device.
  virtual void closeUsbDevice() = 0;
  // `OpenUsbDevice` (model codes 7 and 9-15): nothing on success, else the error to report.
  virtual std::optional<DeviceError> openUsbDevice(int16_t modelCode) = 0;
  // `OpenQV2v2` (model codes 18-21): results are kept by the implementation, nothing is shown.
  // May be called while a session is open; the implementation releases the old one first.
  virtual void openModule() = 0;
  // `CloseQV2v2`: releases the settings window's module session when it is open.
  virtual void closeModule() = 0;
};

// For builds and tools without devices.
class NoSettingsDevices : public SettingsDevices {
 public:
  void closeUsbDevice() override {}
  std::optional<DeviceError> openUsbDevice(int16_t) override { return std::nullopt; }
  void openModule() override {}
  void closeModule() override {}
};

enum class ModelHandler {
  Common,           // ApplyModel
  CommonThenUsb,    // ApplyModel, then OpenUsbDevice
  CommonThenClick,  // ApplyModel, then ModelClick
  Click,            // ModelClick
  ChecksOnly,       // check marks only
  ChecksAndCom1,    // check marks only, and "Com &1" checked
  Demo,             // ModelCode 0 and DemoMode 1, "&Q1 or QF8" checked, no calibration
};

struct ModelMenu {
  std::string_view name;
  std::string_view caption;
  int16_t modelCode;
  int16_t channelCount;  // 0: left as it is
  ModelHandler handler;
};

inline constexpr std::array<ModelMenu, 26> kModelMenus{{
    {"ModelQ1Menu", "&Q1 or QF8", 0, 0, ModelHandler::Common},
    {"ModelDemoMenu", "D&emo", 0, 0, ModelHandler::Demo},
    {"ModelR1Menu", "&R1 or RF1", 1, 0, ModelHandler::Common},
    {"ModelQK1Menu", "Q&K1", 2, 0, ModelHandler::ChecksAndCom1},
    {"ModelQW8Menu", "Q&W8", 3, 0, ModelHandler::Common},
    {"ModelQW2Menu", "QW&2", 4, 0, ModelHandler::Common},
    {"ModelQK2Menu", "QK&2", 5, 0, ModelHandler::ChecksAndCom1},
    {"ModelQK2BMenu", "QK2&B", 6, 0, ModelHandler::ChecksOnly},
    {"ModelQV2Menu", "Q&V2 - Model 7", 7, 0, ModelHandler::CommonThenUsb},
    {"ModelRV2Menu", "RV2 - Model 8", 8, 0, ModelHandler::Common},
    {"Model9Menu", "QV2 - Model 9", 9, 0, ModelHandler::CommonThenUsb},
    {"Model10Menu", "QV2 - Model 10", 10, 0, ModelHandler::CommonThenUsb},
    {"Model11Menu", "QV2 - Model 11", 11, 0, ModelHandler::CommonThenUsb},
    {"Model12Menu", "QV2 - Model 12", 12, 0, ModelHandler::CommonThenUsb},
    {"Model13Menu", "QV4 - Model 13", 13, 0, ModelHandler::CommonThenUsb},
    {"Model14Menu", "QV2 - Model 14", 14, 0, ModelHandler::CommonThenUsb},
    {"Model15Menu", "QV2 - Model 15", 15, 0, ModelHandler::CommonThenUsb},
    {"Model16Menu", "RV2 - Model 16", 16, 0, ModelHandler::Common},
    {"Model17Menu", "RV2 - Model 17", 17, 0, ModelHandler::Common},
    {"Model18Menu", "QV2 - Model 18", 18, 0, ModelHandler::CommonThenClick},
    {"Model19Menu", "QV2 - Model 19", 19, 0, ModelHandler::CommonThenClick},
    {"Model20Menu", "QV2 - Model 20", 20, 0, ModelHandler::CommonThenClick},
    {"Model21Menu", "QV2 - Model 21", 21, 0, ModelHandler::Click},
    {"Model21QV4Menu", "QV4 - Model 21", 21, 0, ModelHandler::Click},
    {"Model22Menu", "QV2 - Model 22", 22, 2, ModelHandler::Click},
    {"Model22QV4Menu", "QV4 - Model 22", 23, 4, ModelHandler::Click},
}};

inline constexpr int16_t kMaxModelCode = 23;

// The first menu of a model code (model 21 has two), for its check mark.
int ModelMenuFor(int modelCode);

bool UsesUsbDevice(int modelCode);  // 7, 9-15
bool UsesUsbModule(int modelCode);  // 18-21

// The metric calibration row of a model code, built step by step from the 0-6 row as the
// table is applied (halving, the RV2 factors, the module factor, the fixed rows).
struct Calibration {
  float PressurePerCount;
  int16_t AxisTop;
  int16_t AxisStep;
};
Calibration CalibrationFor(int modelCode, float transmitterFactor);

// Steps 3 to 5 of the common handler for `modelCode`: PressurePerCount, AxisTop, AxisStep and
// AxisValues, in the current units.
void ApplyCalibration(Session& s, int modelCode);

// AxisValues(1..11) from AxisTop and AxisStep, divided by 4.45 in US units.
void FillAxisValues(Session& s);

// `ApplyModel`, for the ModelCode already set.
unsigned ApplyModel(Session& s);

// `ModelClick`, for the ModelCode already set. An error of the USB device is shown through
// `alerts`; the model stays chosen.
unsigned ModelClick(Session& s, SettingsDevices& devices, Alerts& alerts);

// A model menu chosen in the settings window (index into kModelMenus).
unsigned ChooseModelMenu(Session& s, int menu, SettingsDevices& devices, Alerts& alerts);

// The critical box of a device error in a window's load.
Alert DeviceErrorAlert(const DeviceError& error, std::string_view procedure);

}  // namespace tidemet
