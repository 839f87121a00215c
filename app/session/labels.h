#pragma once
// Texts and check marks that the windows show for the session's state. They live in the core so
// that every menu effect can be checked without a window.

#include <array>
#include <string>

namespace tidemet {

struct UnitLabels {
  std::string Force = "Force (N)";
  std::string Area = "sq cm";
  std::string PeakForce = "Peak Force        (N)";
  std::string AvgForce = " Avg Force         (N)";
  std::string Impulse = "  Impulse        (N*sec)";
  std::string Height = "Height   (cm)";
  std::string Weight = "Weight   (kg)";
  std::string HeightRange = "122    229   cm";
  std::string WeightRange = "  23     136   kg";
  std::array<std::string, 4> SwimMenus{
      "Swimming over &10 m distance", "Swimming over &15 m distance",
      "Swimming over &20 m distance", "Swimming over &25 m distance"};
};

// Which item of each check-mark group of the monitor window is checked (index into the group's
// items, -1 for none).
struct MonitorChecks {
  int gain = 5;         // .025 .05 .1 .25 .5 1 2 4
  int rate = 1;         // slow, medium, fast
  int buffers = 3;      // 0 1 5 10 20 50
  int series = 0;       // 25 40 80 90 90DP
  int sensorValue = -1; // 0 -100 -200 -300 -400 -2250 -2400
  int sensorType = 0;
  int channels = 2;     // two, four, eight
  int pair = 0;         // 1-2, 3-4, 5-6, 7-8
  int limb = 0;         // arm, leg, arm and leg
  int units = 0;        // metric, US
  int stroke = -1;      // freestyle, breaststroke, backstroke, butterfly
  int joint = 1;        // wrist, elbow, shoulder, hip, knee, ankle
  int movement = 1;     // positive/negative, flexion/extension, adduction/abduction
  int side = 0;         // left, right
  int typeItem = -1;    // A or B auto, A or B manual, C or D
  bool pairEnabled[4] = {true, true, true, true};
};

struct Labels {
  UnitLabels units{};
  MonitorChecks monitor{};
  std::string PositiveLabel = "Flexion";
  std::string NegativeLabel = "Extension";
  std::string SurfaceAreaText = "0";  // the monitor's surface-area box, in the current units
  std::array<std::string, 7> SegmentNames{"Hand",      "Lower Arm", "Upper Arm", "Trunk",
                                          "Upper Leg", "Lower Leg", "Foot"};
};

}  // namespace tidemet
