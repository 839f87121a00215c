#include "app/session/settings_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>

#include "app/session/model_table.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

struct NoHelp : HelpViewer {
  void showContents() override {}
  void close() override {}
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
  NoSettingsDevices devices;
  NoHelp help;
  std::unique_ptr<SettingsWindow> window;
};

// Each group's items reach the session, and each group keeps one check mark.
TEST_F(SettingsWindowTest, EachMenuReachesTheSession) {
  const struct {
    const char* item;
    std::function<int(const Session&)> field;
    int expected;
  } cases[] = {
      {"Model22QV4Menu", [](const Session& s) { return s.ModelCode; }, 23},
      {"ModelDemoMenu", [](const Session& s) { return s.DemoMode; }, 1},
      {"Com3", [](const Session& s) { return s.ComPortAddress; }, 1000},
      {"Com7", [](const Session& s) { return s.ComPort; }, 7},
      {"Node689Menu", [](const Session& s) { return s.UnitNode; }, 689},
      {"Computer0Menu", [](const Session& s) { return s.ComputerClass; }, 0},
      {"Swim20Menu", [](const Session& s) { return s.SwimDistance; }, 20},
      {"ResearchMenu", [](const Session& s) { return s.ExerciseMode; }, 2},
      {"TherapyMenu", [](const Session& s) { return s.ExerciseMode; }, 4},
      {"AutosaveMenu", [](const Session& s) { return s.AutosaveFlag; }, 1},
      {"BWMenu", [](const Session& s) { return static_cast<int>(s.DataBackColor); }, 0xFFFFFF},
  };
  for (const auto& c : cases) {
    choose(c.item);
    EXPECT_EQ(c.field(*s), c.expected) << c.item;
  }
  // The swim item went when Research was chosen; Demo checks Q1.
  for (const char* on : {"TherapyMenu", "ModelQ1Menu", "Com7"})
    EXPECT_TRUE(window->menuItem(on)->isChecked()) << on;
  for (const char* off : {"Swim20Menu", "Com3", "Model22QV4Menu", "ModelDemoMenu"})
    EXPECT_FALSE(window->menuItem(off)->isChecked()) << off;
  // The swimming distances follow the units.
  ApplyUnitLabels(s->labels, false);
  window->showSettings();
  EXPECT_EQ(window->menuItem("Swim25Menu")->text(), "Swimming over &25 yd distance");
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

// Typing alone changes nothing; Continue refuses a line the list file cannot store and keeps
// the box open with what was typed, then takes the lines once they can be stored.
TEST_F(SettingsWindowTest, InstitutionLinesAreTakenOverByContinueOnly) {
  s->InstitutionLines = {"Old Pool", "", "", "", "", ""};
  window->showSettings();
  EXPECT_EQ(window->institutionBox(0)->text(), "Old Pool");
  const char* typed[6] = {"Harbour Pool", "2 Quay St", "Kraków – Łódź", "Avon", "BS1 4", "0117"};
  for (int i = 0; i < 6; ++i) window->institutionBox(i)->setText(QString::fromUtf8(typed[i]));
  EXPECT_EQ(s->InstitutionLines[0], "Old Pool");

  auto* continueButton = window->findChild<QPushButton*>("CustomContinueCmd");
  continueButton->click();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text.substr(0, alerts.shown[0].text.find('\r')),
            "Institution line 3 cannot contain the character \"Ł\".");
  EXPECT_EQ(s->InstitutionLines[0], "Old Pool");
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->institutionBox(2)->text(), QString::fromUtf8(typed[2]));

  typed[2] = "Kraków – Lodz";
  window->institutionBox(2)->setText(QString::fromUtf8(typed[2]));
  continueButton->click();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s->InstitutionLines[i], typed[i]) << i;
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace tidemet
