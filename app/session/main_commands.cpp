#include "app/session/main_commands.h"

#include "app/session/text.h"

namespace tidemet {

Alert WarningAlert(const AppInfo& info) {
  std::string text;
  for (const char* line : kWarningLines) {
    if (!text.empty()) text += CrLf;
    text += line;
  }
  return Alert{info.ProductWord + " Warning", text, AlertIcon::Exclamation, AlertButtons::OkCancel};
}

MainState ContinueCmd(const AppInfo& info, Alerts& alerts, HelpViewer& help) {
  if (alerts.show(WarningAlert(info)) == AlertAnswer::Ok) return MainState::Ready;
  help.close();
  return MainState::Ended;
}

bool ExitProgram(const AppInfo& info, Alerts& alerts, HelpViewer& help,
                 const std::function<void()>& saveLists) {
  if (saveLists) saveLists();
  help.close();
  Alert question{info.ProductWord, "Exit " + info.ProductWord, AlertIcon::Question,
                 AlertButtons::OkCancel};
  return alerts.show(question) == AlertAnswer::Ok;
}

AboutText AboutBox(const AppInfo& info) {
  return AboutText{"About " + std::string(AppTitle),
                   {"TIDEMET", kSubtitleLine, info.VersionLabel, info.CopyrightLine}};
}

}  // namespace tidemet
