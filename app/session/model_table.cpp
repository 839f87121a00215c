#include "app/session/model_table.h"

#include <cstdio>

#include "app/session/monitor_menus.h"
#include "app/session/rounding.h"
#include "app/session/settings_state.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

// A menu keeps its own check mark when it carries the code; otherwise the first one that does.
void checkModel(Session& s) {
  int current = s.settingsChecks.model;
  bool fits = current >= 0 && current < static_cast<int>(kModelMenus.size()) &&
              kModelMenus[current].modelCode == s.ModelCode &&
              kModelMenus[current].handler != ModelHandler::Demo;
  if (!fits) s.settingsChecks.model = ModelMenuFor(s.ModelCode);
}

void openUsbDevice(Session& s, SettingsDevices& devices, Alerts& alerts) {
  if (auto error = devices.openUsbDevice(s.ModelCode)) alerts.show(DeviceErrorAlert(*error, "Form_Load"));
}

// Steps 3 to 5, shared by both handlers.
unsigned calibrate(Session& s) {
  ApplyCalibration(s, s.ModelCode);
  ComputeAxisLabels(s);
  return kRefreshChecks | kRefreshAxisLabels;
}

}  // namespace

int ModelMenuFor(int modelCode) {
  for (size_t i = 0; i < kModelMenus.size(); ++i)
    if (kModelMenus[i].modelCode == modelCode && kModelMenus[i].handler != ModelHandler::Demo)
      return static_cast<int>(i);
  return 0;
}

bool UsesUsbDevice(int modelCode) { return modelCode == 7 || (modelCode >= 9 && modelCode <= 15); }
bool UsesUsbModule(int modelCode) { return modelCode >= 18 && modelCode <= 21; }

Calibration CalibrationFor(int modelCode, float transmitterFactor) {
  // Integer results of every step are rounded half to even, as the table is applied.
  double ppc = 97.6 / 10000;
  double top = 7820;
  double step = 1564;
  auto scale = [&](double factor) {
    ppc = static_cast<float>(ppc * factor);
    top = RoundEven(top * factor);
    step = RoundEven(step * factor);
  };
  ppc = static_cast<float>(ppc);
  if (modelCode > 6) scale(0.5);
  if (modelCode == 16) {
    scale(0.6);
  } else if (modelCode == 17) {
    scale(static_cast<double>(transmitterFactor) * 0.6);
  } else if (modelCode >= 18 && modelCode <= 21) {
    scale(4.096 / 5);
    ppc = 4.096 / 5 * 48.8 / 10000;
  } else if (modelCode == 22 || modelCode == 23) {
    ppc = 0.004, top = 3205, step = 641;
  }
  return {static_cast<float>(ppc), static_cast<int16_t>(top), static_cast<int16_t>(step)};
}

void FillAxisValues(Session& s) {
  for (int i = 1; i <= 11; ++i) {
    double v = (s.AxisTop - static_cast<double>(s.AxisStep) * (i - 1)) / 10000;
    if (s.UnitsFlag == 0) v /= kNewtonsPerPound;
    s.AxisValues[i] = static_cast<float>(v);
  }
}

void ApplyCalibration(Session& s, int modelCode) {
  Calibration c = CalibrationFor(modelCode, s.TransmitterFactor);
  s.PressurePerCount = c.PressurePerCount;
  s.AxisTop = c.AxisTop;
  s.AxisStep = c.AxisStep;
  FillAxisValues(s);
  if (s.UnitsFlag == 0) s.PressurePerCount = static_cast<float>(s.PressurePerCount / kNewtonsPerPound);
}

unsigned ApplyModel(Session& s) {
  s.DemoMode = 0;
  checkModel(s);
  return calibrate(s);
}

unsigned ModelClick(Session& s, SettingsDevices& devices, Alerts& alerts) {
  checkModel(s);
  if (UsesUsbDevice(s.ModelCode)) openUsbDevice(s, devices, alerts);
  if (UsesUsbModule(s.ModelCode)) devices.openModule();
  return calibrate(s);
}

unsigned ChooseModelMenu(Session& s, int menu, SettingsDevices& devices, Alerts& alerts) {
  if (menu < 0 || menu >= static_cast<int>(kModelMenus.size())) return kRefreshNone;
  const ModelMenu& m = kModelMenus[menu];
  // The device opened for the previous model is released before the model changes.
  if (UsesUsbDevice(s.ModelCode)) devices.closeUsbDevice();
  s.ModelCode = m.modelCode;
  if (m.channelCount != 0) s.ChannelCount = m.channelCount;
  s.settingsChecks.model = menu;
  switch (m.handler) {
    case ModelHandler::Common:
      return ApplyModel(s);
    case ModelHandler::CommonThenUsb: {
      unsigned refresh = ApplyModel(s);
      openUsbDevice(s, devices, alerts);
      return refresh;
    }
    case ModelHandler::CommonThenClick:
      return ApplyModel(s) | ModelClick(s, devices, alerts);
    case ModelHandler::Click:
      return ModelClick(s, devices, alerts);
    case ModelHandler::ChecksAndCom1:
      return ChooseComPort(s, 1);
    case ModelHandler::ChecksOnly:
      return kRefreshChecks;
    case ModelHandler::Demo:
      s.DemoMode = 1;
      s.settingsChecks.model = ModelMenuFor(0);
      return kRefreshChecks;
  }
  return kRefreshNone;
}

Alert DeviceErrorAlert(const DeviceError& error, std::string_view procedure) {
  char number[16];
  std::snprintf(number, sizeof number, "%08X", error.number);
  return {std::string(AppTitle),
          JoinLines({std::string("Error ") + number, error.description, procedure}),
          AlertIcon::Critical, AlertButtons::Ok};
}

}  // namespace tidemet
