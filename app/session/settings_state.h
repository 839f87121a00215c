#pragma once
// The settings window's choices besides the model: Com ports, RV2 node, computer class,
// application mode, autosave, colours and the institution lines. Each sets its session fields
// and check marks at once; nothing is written to disk until the lists are saved.

#include <array>
#include <cstdint>
#include <string>

#include "app/session/session.h"

namespace tidemet {

// The windows repaint with new colours.
inline constexpr unsigned kRefreshColors = 1u << 12;

inline constexpr std::array<int16_t, 4> kComPortAddresses{1016, 760, 1000, 744};
inline constexpr std::array<int16_t, 3> kUnitNodes{92, 689, 987};

// "Com &1" .. "Com 1&6": the check mark moves and ComPort follows it; Com 1-4 also set the
// port address.
unsigned ChooseComPort(Session& s, int port);
unsigned ChooseNode(Session& s, int item);
unsigned ChooseComputer(Session& s, int item);

// One group: choosing a mode unchecks the others and sets the swim-graph flag.
unsigned ChooseAppMode(Session& s, AppMode mode);
// The mode item that matches ExerciseMode and SwimDistance (start-up and file opening).
AppMode AppModeFor(int16_t exerciseMode, int16_t swimDistance);
// The set-ups a trial file applies: Exercise for a trial that is no swim, else the swim set-up
// with the item of the current SwimDistance checked.
unsigned ApplyExerciseSetup(Session& s);
unsigned ApplySwimSetup(Session& s);

// Swim set-up when the trial is a swim (SwimFlag 1 and up), else Exercise.
unsigned ApplyTrialModeSetup(Session& s);

unsigned ToggleAutosave(Session& s);

enum class ColorItem { WindowFore, WindowBack, DataFore, DataBack };
unsigned SetColor(Session& s, ColorItem item, int32_t rgb);
unsigned BlackOnWhite(Session& s);

// Every check mark of the settings window, and the monitor's sensor type, sensor value and
// series, from the session's values (after start-up has restored the saved settings).
void SyncSettingsChecks(Session& s);

// Continue (`CustomContinueCmd`): the six text boxes become the institution lines.
void TakeInstitutionLines(Session& s, const std::array<std::string, 6>& boxes);

}  // namespace tidemet
