#pragma once
// Check marks of the settings window, kept with the state they describe so that every choice can
// be checked without a window.

namespace tidemet {

// Application modes in the order of the settings window's group.
enum class AppMode { Exercise, Research, Swim, Swim10, Swim15, Swim20, Swim25, Therapy };

struct SettingsChecks {
  int model = 0;     // index into kModelMenus
  int com = 1;       // 1..16 ("Com &1" .. "Com 1&6"), 0 for none
  int node = 0;      // 92, 689, 987
  int computer = 1;  // "&386/486", "&Pentium"
  AppMode appMode = AppMode::Exercise;
  bool autosave = false;
};

}  // namespace tidemet
