#pragma once
// The monitor window's menus that only set session fields. Each operation moves its group's check
// mark and returns what the window has to refresh; the window itself stays a thin caller.

#include <optional>
#include <string>
#include <string_view>

#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// What a menu effect asks the window to do after it changed the session.
enum Refresh : unsigned {
  kRefreshNone = 0,
  kRefreshLayout = 1u << 0,       // lay the graphs out again
  kRefreshAxisLabels = 1u << 1,   // AxisLabels were recomputed: print them
  kRefreshGraphs = 1u << 2,       // redraw the graphs from the trial
  kRefreshLabels = 1u << 3,       // unit, movement or pair labels changed
  kRefreshChecks = 1u << 4,       // check marks or enabled menus changed
  kRefreshSurfaceArea = 1u << 5,  // the surface-area box shows a new text
};

inline constexpr float kGraphGains[8] = {0.025f, 0.05f, 0.1f, 0.25f, 0.5f, 1.0f, 2.0f, 4.0f};
inline constexpr int kSensorSeries[5] = {25, 40, 80, 90, 90};  // 90DP reads as Series 90
inline constexpr int16_t kSensorValues[7] = {0, -100, -200, -300, -400, -2250, -2400};
inline constexpr int16_t kBufferCounts[6] = {0, 1, 5, 10, 20, 50};
inline constexpr int16_t kChannelCounts[3] = {2, 4, 8};

enum class RateItem { Slow, Medium, Fast };
enum class TypeItem { AorBAuto, AorBManual, CorD };
enum class Joint { Wrist, Elbow, Shoulder, Hip, Knee, Ankle };

// AxisLabels from AxisValues, gain, surface area and sensor series.
void ComputeAxisLabels(Session& s);

unsigned SetGraphGain(Session& s, int item, bool monitoring);

unsigned SetRate(Session& s, RateItem item);
unsigned RateSlower(Session& s);
unsigned RateFaster(Session& s);
// The Rate check mark that DelayCount falls under.
RateItem RateCheckFor(const Session& s);

unsigned SetBuffers(Session& s, int item);
unsigned SetSensorSeries(Session& s, int item);
unsigned ToggleSensorValue(Session& s, int item);
unsigned SetSensorType(Session& s, int item);
unsigned SetChannelCount(Session& s, int item);
unsigned SetPair(Session& s, int item);
unsigned SetLimb(Session& s, int item);

// Switches between metric (true) and US units; choosing the units already in force changes
// nothing, so factors are never applied twice.
unsigned SwitchUnits(Session& s, bool metric);

unsigned SetSwimStroke(Session& s, int item);
unsigned SetJoint(Session& s, Joint joint);
unsigned SetJointAction(Session& s, int action);
unsigned SetSide(Session& s, int item);

// The surface-area box changed to `text`. The text may be shortened or replaced (the box shows
// it again); the message of an over-large area goes through `alerts`. A text that is not a
// number of 0 and up (a sign, a letter) is refused with a message and the box shows the area
// in force again; an emptied box keeps the area until a number is typed.
unsigned EnterSurfaceArea(Session& s, Alerts& alerts, std::string& text);

// The area a surface-area text holds, or nothing when it is not a plain unsigned number.
std::optional<double> SurfaceAreaNumber(std::string_view text);
Alert SurfaceAreaRefusedAlert(std::string_view typed, bool metric);

unsigned ApplyTypeItem(Session& s, TypeItem item);

// Movement labels for JointAction.
void SetMovementLabels(Session& s);

}  // namespace tidemet
