#include "app/session/settings_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/session/model_table.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

struct NoHelp : HelpViewer {
  void showContents() override { ++shown; }
  void close() override {}
  int shown = 0;
};

// Logs what the settings window asks of the devices: U/u the USB device opened/closed, M/m the
// module.
struct CountingDevices : SettingsDevices {
  void closeUsbDevice() override { log += 'u'; }
  std::optional<DeviceError> openUsbDevice(int16_t) override {
    log += 'U';
    return failure;
  }
  std::optional<DeviceError> failure;
  void openModule() override { log += 'M'; }
  void closeModule() override { log += 'm'; }
  std::string log;
};

class SettingsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<SettingsWindow>(*s, alerts, devices, help);
    window->showSettings();
  }
  void choose(const char* name) {
    QAction* item = window->menuItem(QString::fromLatin1(name));
    ASSERT_NE(item, nullptr) << name;
    item->trigger();
  }

  std::unique_ptr<Session> s = std::make_unique<Session>();
  RecordingAlerts alerts;
  CountingDevices devices;
  NoHelp help;
  std::unique_ptr<SettingsWindow> window;
};

// One entry of each menu group: the captions a user looks for.
TEST_F(SettingsWindowTest, CaptionsOfTheMenus) {
  const std::pair<const char*, const char*> captions[] = {
      {"ModelQ1Menu", "&Q1 or QF8"}, {"Model22QV4Menu", "QV4 - Model 22"},
      {"Com16", "Com 1&6"},          {"Node987Menu", "Node 987"},
      {"Computer0Menu", "&386/486"}, {"Swim10Menu", "Swimming over &10 m distance"},
      {"BWMenu", "Black on &White"},
  };
  for (const auto& [name, caption] : captions) {
    QAction* item = window->menuItem(QString::fromLatin1(name));
    ASSERT_NE(item, nullptr) << name;
    EXPECT_EQ(item->text(), QString::fromLatin1(caption)) << name;
  }
}

TEST_F(SettingsWindowTest, EachMenuReachesTheSession) {
  const struct {
    const char* item;
    std::function<bool(const Session&)> holds;
  } cases[] = {
      {"Model22QV4Menu",
       [](const Session& s) {
         return s.ModelCode == 23 && s.ChannelCount == 4 && s.PressurePerCount == 0.004f &&
                s.AxisTop == 3205 && s.AxisStep == 641;
       }},
      {"Model17Menu", [](const Session& s) { return s.ModelCode == 17 && s.AxisTop == 5513; }},
      {"ModelDemoMenu", [](const Session& s) { return s.ModelCode == 0 && s.DemoMode == 1; }},
      {"Com3", [](const Session& s) { return s.ComPort == 3 && s.ComPortAddress == 1000; }},
      {"Com7",
       [](const Session& s) {
         return s.ComPort == 7 && s.ComPortAddress == 1000 && s.settingsChecks.com == 7;
       }},
      {"Node689Menu", [](const Session& s) { return s.UnitNode == 689; }},
      {"Computer0Menu", [](const Session& s) { return s.ComputerClass == 0; }},
      {"Swim20Menu",
       [](const Session& s) {
         return s.ExerciseMode == 3 && s.SwimDistance == 20 && s.SwimFlag == 1 &&
                s.SwimGraphFlag == 1;
       }},
      {"ResearchMenu",
       [](const Session& s) {
         return s.ExerciseMode == 2 && s.SwimDistance == 0 && s.SwimGraphFlag == 0;
       }},
      {"TherapyMenu", [](const Session& s) { return s.ExerciseMode == 4; }},
      {"AutosaveMenu", [](const Session& s) { return s.AutosaveFlag == 1; }},
      {"BWMenu",
       [](const Session& s) {
         return s.WindowBackColor == 0xFFFFFF && s.DataBackColor == 0xFFFFFF &&
                s.WindowForeColor == 0 && s.DataForeColor == 0;
       }},
  };
  for (const auto& c : cases) {
    choose(c.item);
    EXPECT_TRUE(c.holds(*s)) << c.item;
  }
  // One check mark per group: the swim item went when Research was chosen; Demo checks Q1.
  EXPECT_TRUE(window->menuItem("TherapyMenu")->isChecked());
  EXPECT_TRUE(window->menuItem("ModelQ1Menu")->isChecked());
  EXPECT_TRUE(window->menuItem("Com7")->isChecked());
  EXPECT_FALSE(window->menuItem("Swim20Menu")->isChecked());
  EXPECT_FALSE(window->menuItem("Com3")->isChecked());
  EXPECT_FALSE(window->menuItem("Model17Menu")->isChecked());
  EXPECT_FALSE(window->menuItem("ModelDemoMenu")->isChecked());
}

// Every model menu, chosen and then left for the Q1: the devices it opens, and the USB device
// released when another model replaces it. A menu missing here fails the test.
TEST_F(SettingsWindowTest, EveryModelOpensItsDeviceAndReleasesItWhenReplaced) {
  const std::map<std::string, std::string> calls = {
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
    const std::string name(menu.name);
    ASSERT_TRUE(calls.count(name)) << name << " has no expected device calls";
    choose(name.c_str());
    choose("ModelQ1Menu");
    EXPECT_EQ(devices.log, calls.at(name)) << name;
    devices.log.clear();
  }
}

TEST_F(SettingsWindowTest, AUsbDeviceThatFailsToOpenIsReportedAndTheModelStays) {
  devices.failure = DeviceError{0x80004005u, "Unspecified error"};
  choose("Model13Menu");
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].icon, AlertIcon::Critical);
  EXPECT_EQ(alerts.shown[0].text, "Error 80004005\r\nUnspecified error\r\nForm_Load");
  EXPECT_EQ(s->ModelCode, 13);
  EXPECT_TRUE(window->menuItem("Model13Menu")->isChecked());
}

TEST_F(SettingsWindowTest, ColoursFromTheDialogAreStoredRedInTheLowByte) {
  int repaints = 0;
  QObject::connect(window.get(), &SettingsWindow::colorsChanged, [&] { ++repaints; });
  window->chooseColor(ColorItem::DataFore, QColor(255, 0, 0));
  window->chooseColor(ColorItem::WindowBack, QColor(0, 0, 128));
  EXPECT_EQ(s->DataForeColor, 0x0000FF);
  EXPECT_EQ(s->WindowBackColor, 0x800000);
  EXPECT_EQ(repaints, 2);
  EXPECT_EQ(window->content()->palette().color(QPalette::Window), QColor(0, 0, 128));
}

TEST_F(SettingsWindowTest, InstitutionLinesAreTakenOverByContinueOnly) {
  s->InstitutionLines = {"Old Pool", "", "", "", "", ""};
  window->showSettings();
  EXPECT_EQ(window->institutionBox(0)->text(), "Old Pool");
  const char* typed[6] = {"Harbour Pool", "2 Quay St", "Bristol", "Avon", "BS1 4", "0117 555"};
  for (int i = 0; i < 6; ++i) window->institutionBox(i)->setText(QString::fromLatin1(typed[i]));
  EXPECT_EQ(s->InstitutionLines[0], "Old Pool");  // typing alone changes nothing

  window->findChild<QPushButton*>("CustomContinueCmd")->click();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s->InstitutionLines[i], typed[i]) << i;
  EXPECT_FALSE(window->isVisible());
}

TEST_F(SettingsWindowTest, F1OpensTheManualFromTheSettingsWindow) {
  EXPECT_EQ(window->menuItem("CustomHelpMenu")->shortcut().toString(), "F1");  // shown in the menu
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 10000));
  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_EQ(help.shown, 1);
}

TEST_F(SettingsWindowTest, SwimCaptionsFollowTheUnits) {
  ApplyUnitLabels(s->labels, false);
  window->showSettings();
  EXPECT_EQ(window->menuItem("Swim25Menu")->text(), "Swimming over &25 yd distance");
}

}  // namespace
}  // namespace tidemet
