#pragma once
// The program's constants and fixed texts, set once at start-up and shown by the title screen,
// the About box and the reports.

#include <array>
#include <string>

namespace tidemet {

// Texts the reports and graphs print; set at start-up.
struct FixedTexts {
  std::string Time;
  std::string Seconds;
  std::string PeakForce;
  std::string ForceUnit;
  std::string ShortRule;
  std::string LongRule;
  std::string Channel;
  std::string Left;
  std::string Right;
};

struct AppInfo {
  std::string ProductWord;       // "Tidemet", or "Tidemet Demo"
  std::string ProductWordUpper;  // "TIDEMET", or "TIDEMET Demo"
  std::string VersionTag;        // written into every data file
  std::string VersionLabel;
  std::string InstallFolder;  // where the reference stroke videos live
  std::string CopyrightLine;
  std::string MainTitle;  // the main window's title
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  FixedTexts texts;
};

// Lines of the title screen under the big title.
inline constexpr const char* kSubtitleLine = "Hydrodynamic Measurement System";
inline constexpr const char* kPlatformLine = "Software Program for Windows";

}  // namespace tidemet
