#pragma once
// File > Export… of the monitor and the analysis window: asks for a file in one of the two open
// formats and writes the trial in memory there; a refusal or failure is shown through the
// alerts.

class QWidget;

namespace tidemet {

class Alerts;
struct Session;

void ExportTrialWithDialog(QWidget* parent, const Session& s, Alerts& alerts);

}  // namespace tidemet
