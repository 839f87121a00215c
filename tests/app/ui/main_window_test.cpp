#include "app/session/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "../session/list_folder.h"
#include "app/acquisition/monitor_window.h"
#include "app/analysis/analysis_window.h"
#include "app/files/client_entry.h"
#include "app/files/list_files.h"
#include "app/session/about_dialog.h"
#include "app/session/model_table.h"
#include "app/session/program_lists.h"
#include "app/session/settings_window.h"
#include "app/ui/qt_alerts.h"

namespace tidemet {
namespace {

struct CountingHelp : HelpViewer {
  void showContents() override { ++shown; }
  void close() override { ++closed; }
  int shown = 0;
  int closed = 0;
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
  QString labelText(const char* name) const {
    return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
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

TEST_F(MainWindowTest, TitleScreenFromPreparedLists) {
  folder.write("company.lst", testing::CompanyRecord1(0, "1", 13, 0, 1, 1));
  folder.write("client.lst", "\"" + MakeClientEntry("Ana Lima", "AL", "65", "130", "") + "\"\r\n");
  load();
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(window->state(), MainState::TitleScreen);
  EXPECT_FALSE(window->menusShown());
  EXPECT_EQ(window->windowTitle(), "Tidemet");
  EXPECT_EQ(labelText("TitleLabel"), "TIDEMET");
  EXPECT_EQ(labelText("VersionLabel"), "Version 5.6 C2309");
  EXPECT_FALSE(labelText("CopyrightLabel").isEmpty());
  EXPECT_TRUE(window->findChild<QPushButton*>("ContinueCmd")->isVisible());
  // The session holds the saved model in US units and the first client.
  EXPECT_EQ(s->ModelCode, 13);
  EXPECT_EQ(s->UnitsFlag, 0);
  EXPECT_EQ(s->labels.units.Weight, "Weight   (lbs)");
  EXPECT_EQ(s->ClientName, "Ana Lima");
  // The window paints with the saved colours.
  EXPECT_EQ(window->centralWidget()->palette().color(QPalette::Window), QColor(255, 255, 255));
}

TEST_F(MainWindowTest, ADamagedCompanyListShowsTheErrorAndStillShowsTheTitleScreen) {
  folder.write("company.lst", "\"A\",\"\",\"\",\"\",\"\",\"\",1,1,\"model\"\r\n");
  load();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].title, "Tidemet Error");
  EXPECT_EQ(alerts.shown[0].text.rfind("Error Number ", 0), 0u);
  EXPECT_EQ(labelText("TitleLabel"), "TIDEMET");
  EXPECT_TRUE(window->isVisible());
}

// Continue asks first: Cancel ends the program without menus, Ok shows them.
TEST_F(MainWindowTest, TheWarningAfterContinueEndsOrShowsTheMenus) {
  for (AlertAnswer answer : {AlertAnswer::Cancel, AlertAnswer::Ok}) {
    const bool ok = answer == AlertAnswer::Ok;
    load();
    alerts.shown.clear();
    endings = help.closed = 0;
    alerts.answers = {answer};
    window->findChild<QPushButton*>("ContinueCmd")->click();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].title, "Tidemet Warning");
    EXPECT_EQ(window->state(), ok ? MainState::Ready : MainState::Ended);
    EXPECT_EQ(endings, ok ? 0 : 1);
    EXPECT_EQ(help.closed, ok ? 0 : 1);
    EXPECT_EQ(window->menusShown(), ok);
    EXPECT_EQ(window->isVisible(), ok);
  }
  EXPECT_FALSE(window->findChild<QPushButton*>("ContinueCmd")->isVisible());
  EXPECT_TRUE(window->findChild<QLabel*>("LogoPicture")->isVisible());
}

TEST_F(MainWindowTest, ExitThenCancelKeepsRunningWithBothListsWritten) {
  load();
  window->ContinueCmd();
  std::filesystem::remove(folder.path() / "client.lst");
  std::filesystem::remove(folder.path() / "company.lst");
  s->InstitutionLines[0] = "Harbour Pool";

  alerts.shown.clear();
  alerts.answers = {AlertAnswer::Cancel};
  window->close();  // the close box is Exit
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].text, "Exit Tidemet");
  EXPECT_EQ(window->state(), MainState::Ready);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(endings, 0);
  EXPECT_EQ(folder.read("client.lst"), "\"" + DefaultClientEntry() + "\"\r\n");
  EXPECT_EQ(folder.read("company.lst").rfind("\"Harbour Pool\",", 0), 0u);

  alerts.answers = {AlertAnswer::Ok};
  window->ExitCmd();
  EXPECT_EQ(endings, 1);
  EXPECT_EQ(window->state(), MainState::Ended);
}

TEST_F(MainWindowTest, HelpContentsAboutAndCustomize) {
  load();
  window->ContinueCmd();
  window->HelpContentsCmd();
  EXPECT_EQ(help.shown, 1);

  QString aboutTitle;
  QStringList aboutLines;
  QTimer::singleShot(0, [&] {
    auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
    if (!about) return;
    aboutTitle = about->windowTitle();
    for (int i = 1; i <= 4; ++i)
      aboutLines << about->findChild<QLabel*>(QStringLiteral("aboutLine%1").arg(i))->text();
    about->findChild<QPushButton*>("AboutContinueCmd")->click();
  });
  window->AboutCmd();  // returns once Continue closed the box
  EXPECT_EQ(aboutTitle, "About Tidemet");
  ASSERT_EQ(aboutLines.size(), 4);
  EXPECT_EQ(aboutLines[2], "Version 5.6 C2309");

  window->CustomizeCmd();
  ASSERT_NE(window->settingsWindow(), nullptr);
  EXPECT_TRUE(window->settingsWindow()->isVisible());
  EXPECT_TRUE(window->settingsWindow()->isModal());
}

TEST_F(MainWindowTest, FileSaveAndOpenUseTheCurrentFileName) {
  load();
  window->ContinueCmd();
  auto* open = window->findChild<QAction*>("FileOpenMenu");
  auto* save = window->findChild<QAction*>("FileSaveMenu");
  ASSERT_TRUE(open && save);
  emit window->menuBar()->actions()[0]->menu()->aboutToShow();
  EXPECT_FALSE(open->isEnabled());  // no current file yet
  EXPECT_FALSE(save->isEnabled());

  const std::string path = (folder.path() / "ana.dat").string();
  s->CurrentFileName = path;
  s->ChannelCount = 2;
  s->SampleCount = 4;  // rows of two channels
  const int16_t samples[8] = {1000, 1010, 1200, 1250, 1400, 1300, 1100, 1005};
  std::copy(std::begin(samples), std::end(samples), s->TrialData.begin());
  emit window->menuBar()->actions()[0]->menu()->aboutToShow();
  EXPECT_TRUE(save->isEnabled());
  alerts.shown.clear();
  save->trigger();
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "ana.sum"));  // the summary beside it

  s->TrialData.fill(0);
  s->SampleCount = 0;
  open->trigger();
  EXPECT_TRUE(alerts.shown.empty()) << (alerts.shown.empty() ? "" : alerts.shown[0].text);
  EXPECT_EQ(s->SampleCount, 4);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(s->TrialData[i], samples[i]) << i;
}

TEST_F(MainWindowTest, DataMonitorAndGraphOpenTheMonitorWindow) {
  load();
  window->ContinueCmd();
  window->findChild<QAction*>("DataMonitorMenu")->trigger();
  MonitorWindow* monitor = window->monitorWindow();
  ASSERT_NE(monitor, nullptr);
  EXPECT_TRUE(monitor->isVisible());
  EXPECT_EQ(monitor->windowTitle(), "Tidemet Data Monitor");
  EXPECT_EQ(s->MonitorOnly, 1);

  window->findChild<QAction*>("DataGraphMenu")->trigger();
  EXPECT_EQ(window->monitorWindow(), monitor);  // one monitor window
  alerts.answers = {AlertAnswer::Ok};
  window->ExitCmd();
  EXPECT_FALSE(monitor->isVisible());  // ending the program closes it
}

TEST_F(MainWindowTest, KeysOfTheMenusWorkOnlyOnceTheMenusAreShown) {
  load();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 10000));
  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_TRUE(alerts.shown.empty());  // the title screen leaves nothing to the keys
  EXPECT_EQ(help.shown, 0);

  window->ContinueCmd();
  // The menu shows the key beside the item.
  EXPECT_EQ(window->findChild<QAction*>("FileExitMenu")->shortcut().toString(), "Ctrl+Q");
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
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "key.dat"));
}

TEST_F(MainWindowTest, RestoredSettingsAndAStrokeShowTheirChecksInTheSettingsWindow) {
  // Com 9, 386/486 and node 689 saved; Exercise mode.
  folder.write("company.lst", testing::CompanyRecord1(0, "1", 16, 1, 1, 9) +
                                  "0,0,0,0,0,0,0,0\r\n0\r\n0\r\n689\r\n0,0\r\n");
  load();
  window->ContinueCmd();
  window->CustomizeCmd();
  SettingsWindow* settings = window->settingsWindow();
  ASSERT_NE(settings, nullptr);
  for (const char* name : {"Model16Menu", "Com9", "Node689Menu", "Computer0Menu", "ExMenu"})
    EXPECT_TRUE(settings->menuItem(QString::fromLatin1(name))->isChecked()) << name;
  EXPECT_FALSE(settings->menuItem("Com1")->isChecked());
  EXPECT_FALSE(settings->menuItem("Node92Menu")->isChecked());
  settings->findChild<QPushButton*>("CustomContinueCmd")->click();

  // The monitor's Stroke menu runs the swimming set-up: its item is checked in the settings.
  window->DataMonitorCmd();
  QAction* backstroke = nullptr;
  for (QAction* action : window->monitorWindow()->findChildren<QAction*>())
    if (action->text() == "&Backstroke") backstroke = action;
  ASSERT_NE(backstroke, nullptr);
  backstroke->trigger();
  window->monitorWindow()->close();
  window->CustomizeCmd();
  EXPECT_TRUE(settings->menuItem("SwimMenu")->isChecked());
  EXPECT_FALSE(settings->menuItem("ExMenu")->isChecked());
}

TEST_F(MainWindowTest, TheManualNamesNoMenuThatIsGreyedOut) {
  load();
  window->ContinueCmd();
  // Every greyed-out menu and item, as the manual would write it: "<b>Data &gt; Chart".
  QStringList greyed;
  for (QAction* top : window->menuBar()->actions()) {
    const QString menu = top->text().remove('&');
    if (!top->isEnabled()) {
      greyed << "<b>" + menu + "</b>"
             << "<b>" + menu + " &gt;";
      continue;
    }
    if (top->menu() == nullptr) continue;  // Clients opens its window straight away
    for (QAction* item : top->menu()->actions())
      if (!item->isSeparator() && !item->isEnabled() &&
          item != window->findChild<QAction*>("FileOpenMenu") &&
          item != window->findChild<QAction*>("FileSaveMenu"))
        greyed << "<b>" + menu + " &gt; " + item->text().remove('&').remove("...");
  }
  // Every window of the main menus exists now, so the list may be empty.
  const QStringList pages = QDir(":/help").entryList({"*.html"});
  ASSERT_GE(pages.size(), 5);
  for (const QString& page : pages) {
    QFile file(":/help/" + page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
    const QString html = QString::fromUtf8(file.readAll()).simplified();
    for (const QString& name : greyed)
      EXPECT_FALSE(html.contains(name)) << page.toStdString() << " names " << name.toStdString();
  }
}

TEST_F(MainWindowTest, DataAnalysisLeavesTheMonitorAndShowsTheTrialAnalysed) {
  load();
  window->ContinueCmd();
  window->findChild<QAction*>("DataMonitorMenu")->trigger();
  MonitorWindow* monitor = window->monitorWindow();
  ASSERT_TRUE(monitor->controller().loop().timerEnabled());
  QAction* analysis = window->findChild<QAction*>("DataAnalysisMenu");
  ASSERT_TRUE(analysis->isEnabled());
  EXPECT_TRUE(window->findChild<QAction*>("FilePrintMenu")->isEnabled());
  for (int run = 0; run < 2; ++run) {  // a second time reuses the window
    analysis->trigger();
    EXPECT_FALSE(monitor->controller().loop().timerEnabled());
    ASSERT_NE(window->analysisWindow(), nullptr);
    EXPECT_TRUE(window->analysisWindow()->isVisible());
    EXPECT_EQ(window->analysisWindow()->windowTitle(), " Data Analysis - (untitled)");
  }
  // The client window takes over from the monitor in the same way.
  window->DataMonitorCmd();
  ASSERT_TRUE(monitor->controller().loop().timerEnabled());
  window->findChild<QAction*>("ClientsMenu")->trigger();
  EXPECT_FALSE(monitor->controller().loop().timerEnabled());
  alerts.answers = {AlertAnswer::Ok};
  window->ExitCmd();
  EXPECT_FALSE(window->analysisWindow()->isVisible());
}

}  // namespace
}  // namespace tidemet
