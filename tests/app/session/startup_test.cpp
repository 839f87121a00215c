#include "app/session/startup.h"

#include <gtest/gtest.h>

#include <memory>

#include <fstream>
#include "app/files/client_entry.h"
#include "app/files/list_files.h"
#include "app/session/data_folder.h"
#include "app/session/model_table.h"
#include "list_folder.h"

namespace tidemet {
namespace {

using testing::CompanyRecord1;
using testing::ListFolder;

class StartupTest : public ::testing::Test {
 protected:
  std::optional<StartupError> load(float speedFactor = 1.0f) {
    env.workingFolder = folder.path();
    env.installFolder = "/opt/tidemet/";
    env.screenWidth = 1920;
    env.screenHeight = 1080;
    env.speedFactor = speedFactor;
    return MainFormLoad(*s, info, env, alerts);
  }
  void writeClients() {
    folder.write("client.lst",
                 "\"" + MakeClientEntry("Ana Lima", "AL0042", "165", "58", "Dr Reis") + "\"\r\n\"" +
                     MakeClientEntry("Ben Ode", "BO7", "180", "80", "") + "\"\r\n");
  }

  ListFolder folder;
  std::unique_ptr<Session> s = std::make_unique<Session>();
  AppInfo info;
  StartupEnvironment env;
  RecordingAlerts alerts;
  NoSettingsDevices devices;
};

TEST_F(StartupTest, VersionFolderAndAxisValues) {
  ASSERT_FALSE(load());
  EXPECT_EQ(info.VersionLabel, "Version 5.6 C2309");
  EXPECT_EQ(s->DataVersionTag, "Tidemet V5.6");
  EXPECT_EQ(s->WorkingFolder, folder.path().string() + "/");
  // The axis of models 0 to 6 runs from .782 down in steps of .1564.
  EXPECT_NEAR(s->AxisValues[1], 0.782f, 1e-6);
  EXPECT_NEAR(s->AxisValues[11], -0.782f, 1e-6);
}

TEST_F(StartupTest, FirstStartCreatesBothListsWithoutAnError) {
  ASSERT_FALSE(load(2.5f));
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_TRUE(folder.has("company.lst"));
  EXPECT_EQ(s->ClientName, "Client");
  EXPECT_EQ(s->DelayCount, 250);  // (2.5 - 1) * 500 / 3
  EXPECT_FLOAT_EQ(s->CalibrationFactor, 1.0f);
  // The surface area is the hand of the sample client (170 cm, 70 kg: 240 * 0.76 - 31 = 151.4),
  // so the axes show forces, not zeros.
  EXPECT_EQ(s->labels.SurfaceAreaText, "151");
  EXPECT_EQ(s->AxisLabels[1], 118);  // 0.782 * 151
}

// A port from 5 to 16 surviving the restart is the saved-settings test's Com 7.
TEST_F(StartupTest, TheDemoSurvivesARestart) {
  ASSERT_FALSE(load());
  ChooseModelMenu(*s, 1, devices, alerts);  // "D&emo"
  ClientList clients({DefaultClientEntry()});
  ASSERT_TRUE(SaveLists(*s, clients, alerts));

  for (int restart = 1; restart <= 2; ++restart) {
    SCOPED_TRACE(restart);
    s = std::make_unique<Session>();
    info = AppInfo{};
    ASSERT_FALSE(load());
    EXPECT_EQ(s->ModelCode, 0);
    EXPECT_EQ(s->DemoMode, 1);
    EXPECT_EQ(info.MainTitle, "Tidemet Demo");
    EXPECT_EQ(s->settingsChecks.model, 0);  // "&Q1 or QF8", as the Demo menu checks it
    ASSERT_TRUE(SaveLists(*s, clients, alerts));
  }

  // Any other model leaves the demonstration set-up, also after a restart.
  ChooseModelMenu(*s, 0, devices, alerts);
  ASSERT_TRUE(SaveLists(*s, clients, alerts));
  s = std::make_unique<Session>();
  ASSERT_FALSE(load());
  EXPECT_EQ(s->DemoMode, 0);
  EXPECT_TRUE(alerts.shown.empty());
}

// Each row: a prepared company.lst and what the session holds after the start-up.
struct SavedCase {
  const char* what;
  std::string company;
  int16_t model, channels, comPort;
  float pressurePerCount, calibration, axisValue1;
  const char* stroke;
  const char* heightLabel;
};

TEST_F(StartupTest, SavedSettingsFromPreparedLists) {
  const SavedCase cases[] = {
      {"only record 1: later records keep their defaults", CompanyRecord1(0, "0", 18, 1, 2, 2), 18,
       2, 2, 0.003997696f, 1.0f, 0.3203f, "Elbow", "Height   (cm)"},
      // The QV4 model takes its channels from its model menu: one row holds four.
      {"all six records, swimming over 15 and Com 7",
       CompanyRecord1(450, ".625", 23, 1, 3, 7) +
           "1,2,3,4,5,6,7,8\r\n15\r\n0\r\n689\r\n1,-2400\r\n",
       23, 4, 7, 0.004f, 0.625f, 0.3205f, "Free", "Height   (cm)"},
      {"US units divide the calibration by 4.45", CompanyRecord1(0, "1", 0, 0, 4, 1), 0, 8, 1,
       0.00976f / 4.45f, 1.0f, 0.782f / 4.45f, "Elbow", "Height   (in)"},
  };
  for (const SavedCase& c : cases) {
    SCOPED_TRACE(c.what);
    s = std::make_unique<Session>();
    alerts.shown.clear();
    folder.write("company.lst", c.company);
    writeClients();
    ASSERT_FALSE(load());
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(s->RecordedModelCode, c.model);
    EXPECT_EQ(s->ChannelCount, c.channels);
    EXPECT_EQ(s->settingsChecks.com, c.comPort);
    EXPECT_FLOAT_EQ(s->PressurePerCount, c.pressurePerCount);
    EXPECT_FLOAT_EQ(s->CalibrationFactor, c.calibration);
    EXPECT_NEAR(s->AxisValues[1], c.axisValue1, 1e-6);
    EXPECT_EQ(s->Stroke, c.stroke);
    EXPECT_EQ(s->labels.units.Height, c.heightLabel);
  }
  // The first client is the current one, also for the data and the open file; the monitor is
  // set up for the arms.
  EXPECT_EQ(s->FileClientName, "Ana Lima");
  EXPECT_EQ(s->ClientHeight, "165");
  EXPECT_EQ(s->BaselineOffset, -1185);
  EXPECT_EQ(s->labels.PositiveLabel, "Flexion");
}

TEST_F(StartupTest, ADamagedCompanyListStopsTheSequenceWithOneErrorBox) {
  folder.write("company.lst", "\"Aqua Clinic\",\"\",\"\",\"\",\"\",\"\",x,1,0,1,1,0,0,0,0,1\r\n");
  writeClients();
  std::optional<StartupError> error = load(4.0f);
  ASSERT_TRUE(error);
  ASSERT_EQ(alerts.shown.size(), 1u);
  const Alert& box = alerts.shown[0];
  EXPECT_EQ(box.title, "Tidemet Error");
  EXPECT_EQ(box.text,
            "Error Number " + std::to_string(error->number) + "\r\n" + error->description);
  EXPECT_EQ(box.icon, AlertIcon::Exclamation);
  EXPECT_EQ(box.buttons, AlertButtons::Ok);
  // What came before the error stands; nothing after it ran.
  EXPECT_EQ(info.VersionLabel, "Version 5.6 C2309");
  EXPECT_NEAR(s->AxisValues[1], 0.782f, 1e-6);
  EXPECT_EQ(s->DelayCount, 0);
  EXPECT_TRUE(info.texts.Time.empty());
}

TEST(DataFolderTest, ShareTidemetBesideTheExecutableElseTheConfiguredFolder) {
  testing::TempFolder root;
  std::filesystem::create_directories(root.path() / "usr/bin");
  std::filesystem::create_directories(root.path() / "usr/share/tidemet/manual");
  std::filesystem::create_directories(root.path() / "build/bin");
  std::ofstream(root.path() / "build/share") << "a file, not a folder";
  const std::string r = root.path().string();
  struct Case {
    std::string executable, expected;
  } const cases[] = {
      {r + "/usr/bin/tidemet", r + "/usr/share/tidemet/"},
      {r + "/usr/bin/../bin/tidemet", r + "/usr/share/tidemet/"},
      {r + "/build/bin/tidemet", "/usr/share/tidemet/"},
      {"", "/usr/share/tidemet/"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DataFolderFor(c.executable, "/usr/share/tidemet"), c.expected) << c.executable;
}

}  // namespace
}  // namespace tidemet
