#pragma once
// Everything the program is made of, built in the order the start-up needs: the session record,
// the alert boxes, the help window, the lists and the main window. main() and the start-up
// measurement both start the program through it.

#include <memory>

#include "app/session/app_info.h"
#include "app/session/session.h"
#include "app/session/startup.h"

namespace tidemet {

class HelpWindow;
class MainWindow;
class ProgramLists;
class QtAlerts;
class SettingsDevices;

class Program {
 public:
  Program();
  ~Program();

  // Runs the main window's load in the current folder and shows the title screen. The
  // application quits when the main window ends the program.
  void start();

  MainWindow& mainWindow() { return *main_; }
  Session& session() { return *session_; }

  // Where the program finds its data files: beside its executable, in a build tree as well as
  // installed or unpacked anywhere.
  static std::string installFolder();

 private:
  std::unique_ptr<Session> session_;
  AppInfo info_;
  std::unique_ptr<QtAlerts> alerts_;
  std::unique_ptr<HelpWindow> help_;
  std::unique_ptr<ProgramLists> lists_;
  std::unique_ptr<SettingsDevices> devices_;
  std::unique_ptr<MainWindow> main_;
};

}  // namespace tidemet
