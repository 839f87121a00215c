#pragma once
// The main window `Main`: the title screen, the mains-power warning and the menus that lead to
// the other windows. Everything it decides comes from the core (startup, main_commands).

#include <QMainWindow>
#include <functional>
#include <memory>

#include "app/analysis/repetition_analyzer.h"
#include "app/compare/comparison.h"
#include "app/files/summary_file.h"
#include "app/files/trial_seams.h"
#include "app/session/app_info.h"
#include "app/session/main_commands.h"
#include "app/session/session.h"
#include "app/session/startup.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace tidemet {

class AnalysisWindow;
class ChartWindow;
class ComparisonWindow;
class ClientWindow;
class MonitorWindow;
class SettingsWindow;
class SettingsDevices;
class ProgramLists;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(Session& session, AppInfo& info, ProgramLists& lists, Alerts& alerts, HelpViewer& help,
             SettingsDevices& devices, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The window's load: runs the start-up and fills the title screen.
  void MainFormLoad(const StartupEnvironment& env);

  MainState state() const { return state_; }
  bool menusShown() const;
  SettingsWindow* settingsWindow() const { return settings_; }

  // Menu commands, also reached by tests.
  void ContinueCmd();
  // File Open and File Save work on the current file name, without a dialog.
  void FileOpenCmd();
  void FileSaveCmd();
  void ExitCmd();
  void CustomizeCmd();
  void HelpContentsCmd();
  void AboutCmd();
  // Data Monitor prepares the monitor for a recording; Data Graph shows the held trial in it.
  void DataMonitorCmd();
  // Data, Video: the monitor with the video beside its graphs.
  void showMonitorWithVideo();
  void DataGraphCmd();
  MonitorWindow* monitorWindow() const { return monitor_.get(); }
  // Data Analysis shows the current trial analysed; File Print prints its performance report.
  void DataAnalysisCmd();
  void FilePrintCmd();
  AnalysisWindow* analysisWindow() const { return analysis_.get(); }
  // The Clients menu: shows the client window.
  void ClientsCmd();
  ClientWindow* clientWindow() const { return clients_.get(); }
  // Data Comparison shows the comparison window; Data Chart charts the current trial.
  void DataComparisonCmd();
  void DataChartCmd();
  ComparisonWindow* comparisonWindow() const { return comparisonWindow_.get(); }
  ChartWindow* chartWindow() const { return chart_.get(); }

 signals:
  // The program is to end (Cancel in the warning, OK in the exit question).
  void ended();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void buildTitleScreen();
  void buildMenus();
  void showLogo();
  void enableShortcuts();
  void refreshFileItems();
  void applyColors();
  void end();
  MonitorWindow& monitor();
  AnalysisWindow& analysis();
  ComparisonWindow& comparisonWindow();
  ChartWindow& chart();
  // Another window takes over from the monitor: a recording ends as Stop ends it, the tick stops.
  void leaveMonitor();
  TrialFileContext trialContext();
  // Open and save of the windows' File menus, on the session's trial.
  bool openTrial(const std::string& path);
  bool saveTrial(const std::string& path);

  Session& session_;
  AppInfo& info_;
  ProgramLists& lists_;
  Alerts& alerts_;
  HelpViewer& help_;
  SettingsDevices& devices_;
  MainState state_ = MainState::TitleScreen;

  QLabel* title_ = nullptr;
  QLabel* versionLabel_ = nullptr;
  QLabel* copyrightLabel_ = nullptr;
  QList<QLabel*> noticeLabels_;
  QLabel* logo_ = nullptr;
  QPushButton* continueButton_ = nullptr;
  QList<QMenu*> menus_;
  SettingsWindow* settings_ = nullptr;
  QAction* fileOpen_ = nullptr;
  QAction* fileSave_ = nullptr;
  QAction* fileExit_ = nullptr;
  QAction* helpContents_ = nullptr;
  // The files of the comparison window; a data file of another client, pair or limb clears it.
  // A saved data file gets its summary beside it.
  Comparison comparison_;
  RepetitionAnalyzer analyzer_;
  SummaryFile summary_{analyzer_, alerts_};
  std::unique_ptr<MonitorWindow> monitor_;
  std::unique_ptr<AnalysisWindow> analysis_;
  QAction* clientsMenu_ = nullptr;
  std::unique_ptr<ClientWindow> clients_;
  std::unique_ptr<ComparisonWindow> comparisonWindow_;
  std::unique_ptr<ChartWindow> chart_;
};

}  // namespace tidemet
