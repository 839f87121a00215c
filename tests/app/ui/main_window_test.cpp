#include "app/session/main_window.h"

#include <gtest/gtest.h>

#include <QListView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "../session/list_folder.h"
#include "app/acquisition/monitor_window.h"
#include "app/analysis/analysis_window.h"
#include "app/clients/client_window.h"
#include "app/files/client_entry.h"
#include "app/session/model_table.h"
#include "app/session/program_lists.h"
#include "app/session/settings_window.h"
#include "app/ui/qt_alerts.h"

namespace tidemet {
namespace {

struct CountingHelp : HelpViewer {
  void showContents() override { ++shown; }
  void close() override {}
  int shown = 0;
};

class MainWindowTest : public ::testing::Test {
 protected:
  // The main window's load in the prepared folder.
  void load() {
    window = std::make_unique<MainWindow>(*s, info, lists, alerts, help, devices);
    QObject::connect(window.get(), &MainWindow::ended, [this] { ++endings; });
    StartupEnvironment env;
    env.workingFolder = folder.path();
    window->MainFormLoad(env);
    window->show();
  }
  // The warning after Continue is answered OK: the menus are shown.
  void loadAndContinue() {
    load();
    window->ContinueCmd();
    alerts.shown.clear();
  }

  testing::ListFolder folder;
  std::unique_ptr<Session> s = std::make_unique<Session>();
  AppInfo info;
  ProgramLists lists{*s};
  RecordingAlerts alerts;
  CountingHelp help;
  NoSettingsDevices devices;
  std::unique_ptr<MainWindow> window;
  int endings = 0;
};

TEST_F(MainWindowTest, TitleScreenAndSettingsFromPreparedLists) {
  folder.write("company.lst", testing::CompanyRecord1(0, "1", 13, 0, 1, 1));
  folder.write("client.lst", "\"" + MakeClientEntry("Ana Lima", "AL", "65", "130", "") + "\"\r\n");
  load();
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(window->state(), MainState::TitleScreen);
  EXPECT_FALSE(window->menusShown());
  EXPECT_EQ(window->findChild<QLabel*>("VersionLabel")->text(), "Version 5.6 C2309");
  EXPECT_EQ(s->ClientName, "Ana Lima");  // the lists reached the session
  // The window paints with the saved colours.
  EXPECT_EQ(window->centralWidget()->palette().color(QPalette::Window), QColor(255, 255, 255));

  // Customize opens the settings over it, with the saved model checked.
  window->ContinueCmd();
  window->CustomizeCmd();
  SettingsWindow* settings = window->settingsWindow();
  ASSERT_NE(settings, nullptr);
  EXPECT_TRUE(settings->isVisible() && settings->isModal());
  EXPECT_TRUE(settings->menuItem("Model13Menu")->isChecked());
}

// Continue asks first: Cancel ends the program without menus, Ok shows them.
TEST_F(MainWindowTest, TheWarningAfterContinueEndsOrShowsTheMenus) {
  for (AlertAnswer answer : {AlertAnswer::Cancel, AlertAnswer::Ok}) {
    const bool ok = answer == AlertAnswer::Ok;
    load();
    endings = 0;
    alerts.answers = {answer};
    window->findChild<QPushButton*>("ContinueCmd")->click();
    EXPECT_EQ(endings, ok ? 0 : 1);
    EXPECT_EQ(window->menusShown(), ok);
    EXPECT_EQ(window->isVisible(), ok);
  }
  EXPECT_FALSE(window->findChild<QPushButton*>("ContinueCmd")->isVisible());
  EXPECT_TRUE(window->findChild<QLabel*>("LogoPicture")->isVisible());
}

TEST_F(MainWindowTest, FileSaveAndOpenUseTheCurrentFileName) {
  loadAndContinue();
  auto* open = window->findChild<QAction*>("FileOpenMenu");
  auto* save = window->findChild<QAction*>("FileSaveMenu");
  QMenu* file = window->menuBar()->actions()[0]->menu();
  emit file->aboutToShow();
  EXPECT_FALSE(open->isEnabled());  // no current file yet
  EXPECT_FALSE(save->isEnabled());

  s->CurrentFileName = (folder.path() / "ana.dat").string();
  s->ChannelCount = 2;
  s->SampleCount = 2;  // rows of two channels
  s->TrialData[3] = 1250;
  emit file->aboutToShow();
  ASSERT_TRUE(save->isEnabled());
  save->trigger();
  EXPECT_TRUE(folder.has("ana.sum"));  // the summary beside it

  s->TrialData.fill(0);
  s->SampleCount = 0;
  open->trigger();
  EXPECT_TRUE(alerts.shown.empty()) << (alerts.shown.empty() ? "" : alerts.shown[0].text);
  EXPECT_EQ(s->SampleCount, 2);
  EXPECT_EQ(s->TrialData[3], 1250);
}

// One monitor and one analysis window, reused; each window taking over stops the monitor's tick,
// and ending the program closes them.
TEST_F(MainWindowTest, DataMenusShareTheirWindowsAndStopTheMonitor) {
  loadAndContinue();
  window->findChild<QAction*>("DataMonitorMenu")->trigger();
  MonitorWindow* monitor = window->monitorWindow();
  ASSERT_NE(monitor, nullptr);
  EXPECT_TRUE(monitor->isVisible());
  window->findChild<QAction*>("DataGraphMenu")->trigger();
  EXPECT_EQ(window->monitorWindow(), monitor);

  for (const char* item : {"DataAnalysisMenu", "DataAnalysisMenu", "ClientsMenu"}) {
    SCOPED_TRACE(item);
    window->DataMonitorCmd();
    ASSERT_TRUE(monitor->controller().loop().timerEnabled());
    window->findChild<QAction*>(item)->trigger();
    EXPECT_FALSE(monitor->controller().loop().timerEnabled());
  }
  AnalysisWindow* analysis = window->analysisWindow();
  ASSERT_NE(analysis, nullptr);
  EXPECT_EQ(analysis->windowTitle(), " Data Analysis - (untitled)");
  alerts.answers = {AlertAnswer::Ok};
  window->ExitCmd();
  EXPECT_FALSE(monitor->isVisible());
  EXPECT_FALSE(analysis->isVisible());
}

// Ctrl+Q and the close box are Exit, which asks first.
TEST_F(MainWindowTest, KeysOfTheMenusWorkOnlyOnceTheMenusAreShown) {
  load();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 10000));
  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_TRUE(alerts.shown.empty());  // the title screen leaves nothing to the keys
  EXPECT_EQ(help.shown, 0);

  window->ContinueCmd();
  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_EQ(help.shown, 1);
  alerts.shown.clear();
  alerts.answers = {AlertAnswer::Cancel};
  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text, "Exit Tidemet");
  EXPECT_EQ(window->state(), MainState::Ready);

  // Ctrl+S works once a file is named, without the File menu having been opened again.
  s->CurrentFileName = (folder.path() / "key.dat").string();
  s->ChannelCount = 2;
  s->SampleCount = 2;
  EXPECT_FALSE(window->findChild<QAction*>("FileSaveMenu")->isEnabled());
  QWidget elsewhere;  // the file was named in another window; the user comes back
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere, 10000));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 10000));
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(folder.has("key.dat"));

  alerts.answers = {AlertAnswer::Ok};
  window->close();  // the close box is Exit
  EXPECT_EQ(alerts.shown.back().text, "Exit Tidemet");
  EXPECT_EQ(endings, 1);
  EXPECT_EQ(window->state(), MainState::Ended);
}

// The list is saved on the way out of the client window, and the next visit shows the same list
// with the chosen client highlighted.
TEST_F(MainWindowTest, TheClientsMenuOpensTheListAndLeavingSavesIt) {
  folder.write("client.lst", "\"" + MakeClientEntry("Ana Lima", "AL", "165", "60", "") +
                                 "\"\r\n\"" + MakeClientEntry("Ben Ode", "BO", "180", "80", "") +
                                 "\"\r\n");
  loadAndContinue();
  auto* clients = window->findChild<QAction*>(QStringLiteral("ClientsMenu"));
  clients->trigger();
  ClientWindow* cw = window->clientWindow();
  ASSERT_NE(cw, nullptr);
  EXPECT_TRUE(cw->isVisible());

  const std::string listBytes = folder.read("client.lst");
  std::filesystem::remove(folder.path() / "client.lst");
  cw->ClientListClick(1);
  cw->LeaveFor(DataTarget::Graph);
  EXPECT_EQ(folder.read("client.lst"), listBytes);
  EXPECT_FALSE(cw->isVisible());
  ASSERT_NE(window->monitorWindow(), nullptr);
  EXPECT_TRUE(window->monitorWindow()->isVisible());
  clients->trigger();
  EXPECT_EQ(cw->listView().currentIndex().row(), 1);
}

}  // namespace
}  // namespace tidemet
