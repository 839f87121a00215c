#pragma once
// Every message box the system shows goes through this seam: core code describes the box, the
// window layer shows it, tests record it.

#include <string>
#include <vector>

namespace tidemet {

enum class AlertIcon { None, Exclamation, Critical, Question, Information };
enum class AlertButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class AlertAnswer { Ok, Cancel, Yes, No };

struct Alert {
  std::string title;
  std::string text;  // lines joined by CrLf
  AlertIcon icon = AlertIcon::Exclamation;
  AlertButtons buttons = AlertButtons::Ok;
};

class Alerts {
 public:
  virtual ~Alerts() = default;
  // Shows the box and returns the button pressed (Ok for a box with only OK).
  virtual AlertAnswer show(const Alert& alert) = 0;
};

// Keeps every box it is shown and answers from a queue (Ok, or the first button, when empty).
// Used by tests and by the command-line tool, which reports the boxes instead of showing them.
class RecordingAlerts : public Alerts {
 public:
  AlertAnswer show(const Alert& alert) override {
    shown.push_back(alert);
    if (!answers.empty()) {
      AlertAnswer a = answers.front();
      answers.erase(answers.begin());
      return a;
    }
    return (alert.buttons == AlertButtons::YesNo || alert.buttons == AlertButtons::YesNoCancel)
               ? AlertAnswer::Yes
               : AlertAnswer::Ok;
  }
  std::vector<Alert> shown;
  std::vector<AlertAnswer> answers;
};

}  // namespace tidemet
