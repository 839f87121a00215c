#include "app/session/model_table.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "app/session/monitor_menus.h"

namespace tidemet {
namespace {

// Logs the device calls: U/u the USB device opened/released, M the module opened.
class RecordingDevices : public SettingsDevices {
 public:
  void closeUsbDevice() override { log += 'u'; }
  std::optional<DeviceError> openUsbDevice(int16_t code) override {
    log += 'U';
    openedCode = code;
    return error;
  }
  void openModule() override { log += 'M'; }
  void closeModule() override { log += 'm'; }
  std::string log;
  int16_t openedCode = -1;
  std::optional<DeviceError> error;
};

int menuIndex(std::string_view name) {
  for (size_t i = 0; i < kModelMenus.size(); ++i)
    if (kModelMenus[i].name == name) return static_cast<int>(i);
  ADD_FAILURE() << name;
  return -1;
}

class ModelTableTest : public ::testing::Test {
 protected:
  std::unique_ptr<Session> s = std::make_unique<Session>();
  RecordingDevices devices;
  RecordingAlerts alerts;
};

TEST(Calibration, EveryModelCodeGetsItsRow) {
  struct Row { int first, last; float ppc; int16_t top, step; };
  const Row rows[] = {
      {0, 6, 0.00976f, 7820, 1564},        {7, 15, 0.00488f, 3910, 782},
      {16, 16, 0.002928f, 2346, 469},      {17, 17, 0.0068808f, 5513, 1103},
      {18, 21, 0.003997696f, 3203, 641},   {22, 23, 0.004f, 3205, 641},
  };
  for (const auto& r : rows) {
    for (int code = r.first; code <= r.last; ++code) {
      Calibration c = CalibrationFor(code, 2.35f);
      EXPECT_FLOAT_EQ(c.PressurePerCount, r.ppc) << code;
      EXPECT_EQ(c.AxisTop, r.top) << code;
      EXPECT_EQ(c.AxisStep, r.step) << code;
    }
  }
}

TEST_F(ModelTableTest, QV4Model22SetsCodeChannelsAndCalibration) {
  s->UnitsFlag = 0;
  ChooseModelMenu(*s, menuIndex("Model22QV4Menu"), devices, alerts);
  EXPECT_EQ(s->ModelCode, 23);
  EXPECT_EQ(s->ChannelCount, 4);
  EXPECT_NEAR(s->PressurePerCount, 0.000898876, 1e-9);
  EXPECT_EQ(s->settingsChecks.model, menuIndex("Model22QV4Menu"));

  s->UnitsFlag = 1;
  ChooseModelMenu(*s, menuIndex("Model22Menu"), devices, alerts);
  EXPECT_EQ(s->ModelCode, 22);
  EXPECT_EQ(s->ChannelCount, 2);
  EXPECT_FLOAT_EQ(s->PressurePerCount, 0.004f);
}

TEST_F(ModelTableTest, DemoSetsItsFlagWithoutCalibratingAndTheNextModelClearsIt) {
  ChooseModelMenu(*s, menuIndex("Model17Menu"), devices, alerts);
  EXPECT_EQ(s->AxisTop, 5513);
  ChooseModelMenu(*s, menuIndex("ModelDemoMenu"), devices, alerts);
  EXPECT_EQ(s->ModelCode, 0);
  EXPECT_EQ(s->DemoMode, 1);
  EXPECT_EQ(s->AxisTop, 5513);  // not recomputed
  EXPECT_EQ(s->settingsChecks.model, menuIndex("ModelQ1Menu"));
  ChooseModelMenu(*s, menuIndex("Model16Menu"), devices, alerts);
  EXPECT_EQ(s->DemoMode, 0);
  EXPECT_EQ(s->AxisTop, 2346);
  EXPECT_EQ(s->AxisStep, 469);
}

TEST_F(ModelTableTest, CheckMarkOnlyModelsKeepTheCalibration) {
  ChooseModelMenu(*s, menuIndex("Model9Menu"), devices, alerts);
  s->settingsChecks.com = 3;
  ChooseModelMenu(*s, menuIndex("ModelQK2Menu"), devices, alerts);
  EXPECT_EQ(s->ModelCode, 5);
  EXPECT_EQ(s->AxisTop, 3910);  // still the row of model 9
  EXPECT_EQ(s->settingsChecks.com, 1);
  ChooseModelMenu(*s, menuIndex("ModelQK2BMenu"), devices, alerts);
  EXPECT_EQ(s->ModelCode, 6);
  EXPECT_EQ(s->settingsChecks.com, 1);
}

// Every model menu, chosen and then left for the Q1: the devices it opens, and the USB device
// released when another model replaces it. A menu missing here fails the test.
TEST_F(ModelTableTest, EveryModelOpensItsDeviceAndReleasesItWhenReplaced) {
  const std::map<std::string_view, std::string> calls = {
      {"ModelQ1Menu", ""},   {"ModelDemoMenu", ""},  {"ModelR1Menu", ""},
      {"ModelQK1Menu", ""},  {"ModelQW8Menu", ""},   {"ModelQW2Menu", ""},
      {"ModelQK2Menu", ""},  {"ModelQK2BMenu", ""},  {"ModelQV2Menu", "Uu"},
      {"ModelRV2Menu", ""},  {"Model9Menu", "Uu"},   {"Model10Menu", "Uu"},
      {"Model11Menu", "Uu"}, {"Model12Menu", "Uu"},  {"Model13Menu", "Uu"},
      {"Model14Menu", "Uu"}, {"Model15Menu", "Uu"},  {"Model16Menu", ""},
      {"Model17Menu", ""},   {"Model18Menu", "M"},   {"Model19Menu", "M"},
      {"Model20Menu", "M"},  {"Model21Menu", "M"},   {"Model21QV4Menu", "M"},
      {"Model22Menu", ""},   {"Model22QV4Menu", ""},
  };
  EXPECT_EQ(calls.size(), kModelMenus.size());
  for (const ModelMenu& menu : kModelMenus) {
    ASSERT_TRUE(calls.count(menu.name)) << menu.name << " has no expected device calls";
    ChooseModelMenu(*s, menuIndex(menu.name), devices, alerts);
    ChooseModelMenu(*s, menuIndex("ModelQ1Menu"), devices, alerts);
    EXPECT_EQ(devices.log, calls.at(menu.name)) << menu.name;
    devices.log.clear();
  }
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(ModelTableTest, AUsbDeviceErrorIsShownAndTheModelStaysChosen) {
  devices.error = DeviceError{0x800A01AD, "ActiveX component can't create object"};
  ChooseModelMenu(*s, menuIndex("Model11Menu"), devices, alerts);
  EXPECT_EQ(s->ModelCode, 11);
  EXPECT_EQ(s->AxisTop, 3910);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].icon, AlertIcon::Critical);
  EXPECT_EQ(alerts.shown[0].text, "Error 800A01AD\r\nActiveX component can't create object\r\nForm_Load");
}

TEST_F(ModelTableTest, ModelClickKeepsTheMenuOfTheCodeAndCalibratesInUsUnits) {
  s->ModelCode = 21;
  s->UnitsFlag = 0;
  s->settingsChecks.model = menuIndex("Model21QV4Menu");
  ModelClick(*s, devices, alerts);
  EXPECT_EQ(s->settingsChecks.model, menuIndex("Model21QV4Menu"));
  EXPECT_FLOAT_EQ(s->PressurePerCount, static_cast<float>(0.003997696 / 4.45));
  s->ModelCode = 12;  // a code whose menu is not checked gets its first menu
  ModelClick(*s, devices, alerts);
  EXPECT_EQ(s->settingsChecks.model, menuIndex("Model12Menu"));
  EXPECT_EQ(devices.openedCode, 12);
}

}  // namespace
}  // namespace tidemet
