#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <memory>

#include "../session/list_folder.h"
#include "app/acquisition/monitor_window.h"
#include "app/clients/client_window.h"
#include "app/files/client_entry.h"
#include "app/session/main_window.h"
#include "app/session/model_table.h"
#include "app/session/program_lists.h"
#include "app/session/settings_window.h"

namespace tidemet {
namespace {

struct NoHelp : HelpViewer {
  void showContents() override {}
  void close() override {}
};

struct MainWindowClients : ::testing::Test {
  MainWindowClients() {
    folder.write("company.lst", testing::CompanyRecord1(0, "1", 0, 1, 1, 1));
    folder.write("client.lst", "\"" + MakeClientEntry("Ana Lima", "AL", "165", "60", "") +
                                   "\"\r\n\"" + MakeClientEntry("Ben Ode", "BO", "180", "80", "") +
                                   "\"\r\n");
    window = std::make_unique<MainWindow>(*s, info, lists, alerts, help, devices);
    StartupEnvironment env;
    env.workingFolder = folder.path();
    window->MainFormLoad(env);
    window->show();
    window->ContinueCmd();  // the warning is answered OK
    alerts.shown.clear();
  }

  testing::ListFolder folder;
  std::unique_ptr<Session> s = std::make_unique<Session>();
  AppInfo info;
  ProgramLists lists{*s};
  RecordingAlerts alerts;
  NoHelp help;
  NoSettingsDevices devices;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowClients, TheClientsMenuOpensTheListAndLeavingSavesIt) {
  auto* clients = window->findChild<QAction*>(QStringLiteral("ClientsMenu"));
  ASSERT_NE(clients, nullptr);
  EXPECT_TRUE(clients->isVisible());
  clients->trigger();
  ClientWindow* cw = window->clientWindow();
  ASSERT_NE(cw, nullptr);
  EXPECT_TRUE(cw->isVisible());
  EXPECT_EQ(cw->listView().model()->rowCount(), 2);

  const std::string listBytes = folder.read("client.lst");
  std::filesystem::remove(folder.path() / "client.lst");
  cw->ClientListClick(1);
  cw->LeaveFor(DataTarget::Graph);
  EXPECT_EQ(folder.read("client.lst"), listBytes);
  EXPECT_FALSE(cw->isVisible());
  EXPECT_EQ(s->ClientName, "Ben Ode");
  ASSERT_NE(window->monitorWindow(), nullptr);
  EXPECT_TRUE(window->monitorWindow()->isVisible());
  // The second visit shows the same list, with the chosen client highlighted.
  clients->trigger();
  EXPECT_EQ(cw->listView().currentIndex().row(), 1);
}

TEST_F(MainWindowClients, MonitoringAFileOfAnUnlistedClientIsRefused) {
  s->OpenedFromFile = 1;
  s->FileClientName = s->DataClientName = "Zoe Unlisted";
  window->DataMonitorCmd();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text.substr(0, alerts.shown[0].text.find('\r')),
            "Client: Zoe Unlisted is not in the client database.");
  EXPECT_EQ(window->monitorWindow(), nullptr);

  s->FileClientName = s->DataClientName = "Ana Lima";
  window->DataMonitorCmd();
  EXPECT_EQ(alerts.shown.size(), 1u);
  ASSERT_NE(window->monitorWindow(), nullptr);
  EXPECT_TRUE(window->monitorWindow()->isVisible());
}

TEST(SettingsInstitutionLines, ALineTheListFileCannotStoreIsRefusedWithNothingLost) {
  Session s;
  s.InstitutionLines = {"Old Pool", "", "", "", "", ""};
  RecordingAlerts alerts;
  NoSettingsDevices devices;
  NoHelp help;
  SettingsWindow window(s, alerts, devices, help);
  window.showSettings();
  window.institutionBox(0)->setText(QStringLiteral("Harbour Pool"));
  window.institutionBox(2)->setText(QString::fromUtf8("Kraków – Łódź"));
  window.findChild<QPushButton*>("CustomContinueCmd")->click();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text.substr(0, alerts.shown[0].text.find('\r')),
            "Institution line 3 cannot contain the character \"Ł\".");
  EXPECT_EQ(s.InstitutionLines[0], "Old Pool");
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.institutionBox(2)->text(), QString::fromUtf8("Kraków – Łódź"));

  window.institutionBox(2)->setText(QString::fromUtf8("Kraków – Lodz"));
  window.findChild<QPushButton*>("CustomContinueCmd")->click();
  EXPECT_EQ(s.InstitutionLines[2], "Kraków – Lodz");
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tidemet
