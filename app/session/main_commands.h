#pragma once
// What the main window's title screen and the common Exit and Help commands decide. The windows
// only show what these return.

#include <array>
#include <functional>
#include <string>

#include "app/session/alerts.h"
#include "app/session/app_info.h"

namespace tidemet {

// The help viewer seam: the manual opened at its contents, and closed when the program leaves.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void showContents() = 0;
  virtual void close() = 0;
};

// The mains-power warning shown by Continue, line by line.
// clang-format off
inline constexpr std::array<const char*, 17> kWarningLines = {
    "USE OF ALTERNATING CURRENT (AC) DEVICES",
    "NEAR WATER CREATES A KNOWN RISK OF",
    "ELECTRICAL SHOCK AND SERIOUS INJURY.",
    "IF YOU USE THE TIDEMET SYSTEM WHILE",
    "ANY COMPONENT (COMPUTER OR COMPUTER",
    "INTERFACE) IS CONNNECTED TO AN AC",
    "POWER SOURCE, MAKE SURE THAT THE AC",
    "AND THE WIRES AND CONNECTIONS",
    "CONDUCTING THE AC CANNOT COME IN",
    "CONTACT WITH WATER.  AC POWER SOURCES",
    "SHOULD ONLY BE USED IN CONNECTION",
    "WITH A GROUND FAULT PROTECTION",
    "SYSTEM.  IF YOU CANNOT BE SURE THAT",
    "THE POWER SOURCE WILL NOT COME IN",
    "CONTACT WITH WATER, POWER THE SYSTEM",
    "WITH A DIRECT CURRENT (BATTERY) POWER",
    "SOURCE OR SELECT CANCEL TO EXIT.",
};
// clang-format on

Alert WarningAlert(const AppInfo& info);

// The main window moves from the title screen through the warning to its menus, or ends.
enum class MainState { TitleScreen, Ready, Ended };

// Continue: shows the warning; OK leads to the menus, Cancel ends the program (closing the help).
MainState ContinueCmd(const AppInfo& info, Alerts& alerts, HelpViewer& help);

// The common exit of every window. `saveLists` runs before the question so that the lists are
// written even when the user stays. Returns true when the program is to end.
bool ExitProgram(const AppInfo& info, Alerts& alerts, HelpViewer& help,
                 const std::function<void()>& saveLists);

// The lines of the About box under its title "About Tidemet".
struct AboutText {
  std::string title;
  std::array<std::string, 4> lines;  // big title, subtitle, version label, copyright
};
AboutText AboutBox(const AppInfo& info);

}  // namespace tidemet
