#pragma once
// The start-up sequence of the main window's load: constants, axis values, the saved settings
// and the current client, the model and its calibration, the units and the application mode.

#include <filesystem>
#include <optional>
#include <string>

#include "app/session/alerts.h"
#include "app/session/app_info.h"
#include "app/session/session.h"

namespace tidemet {

// What the start-up takes from the machine it runs on.
struct StartupEnvironment {
  std::filesystem::path workingFolder;  // the folder current at start-up
  std::string installFolder;            // where the program's data files are installed
  int screenWidth = 0;
  int screenHeight = 0;
  float speedFactor = 1.0f;  // see MeasureSpeedFactor
};

// An error of the start-up, with the platform's error number and description.
struct StartupError {
  int number = 0;
  std::string description;
};

// The timing of this computer that scales the Rate menus: how many times faster than the
// reference machine a fixed piece of work runs, limited to 1..27 so that every Rate value
// stays within the 16-bit range of DelayCount.
float MeasureSpeedFactor();

// Step 1: the constants, the fixed texts and the version label.
void SetConstants(AppInfo& info, const StartupEnvironment& env);

// `StartupSettings`. Stops at the first error and returns it; what was set so far stays.
std::optional<StartupError> StartupSettings(Session& s, AppInfo& info,
                                            const StartupEnvironment& env);

// `MainFormLoad`: the whole sequence with its one error handler, which shows "Tidemet Error".
// Returns the error it showed, if any.
std::optional<StartupError> MainFormLoad(Session& s, AppInfo& info, const StartupEnvironment& env,
                                         Alerts& alerts);

// The box of a start-up error.
Alert StartupErrorAlert(const AppInfo& info, const StartupError& error);

}  // namespace tidemet
