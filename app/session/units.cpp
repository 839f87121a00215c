#include "app/session/units.h"

#include <algorithm>

#include "app/session/rounding.h"
#include "app/session/text.h"

namespace tidemet {

std::string ConvertMeasureText(std::string_view text, double factor) {
  bool hasDigit = std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!hasDigit) return std::string(text);
  double v = std::clamp(RoundEven(Val(text) * factor), 0.0, 999.0);
  std::string out = std::to_string(static_cast<int>(v));
  out.resize(3, ' ');
  return out;
}

void ApplyUnitLabels(Labels& labels, bool metric) {
  UnitLabels& u = labels.units;
  if (metric) {
    u = UnitLabels{};
  } else {
    u.Force = "Force (lbs)";
    u.Area = "sq in";
    u.PeakForce = "Peak Force       (lbs)";
    u.AvgForce = " Avg Force        (lbs)";
    u.Impulse = "  Impulse        (lb*sec)";
    u.Height = "Height   (in)";
    u.Weight = "Weight   (lbs)";
    u.HeightRange = " 48      90   in";
    u.WeightRange = " 50     300   lbs";
    u.SwimMenus = {"Swimming over &10 yd distance", "Swimming over &15 yd distance",
                   "Swimming over &20 yd distance", "Swimming over &25 yd distance"};
  }
  labels.monitor.units = metric ? 0 : 1;
}

void ComputeSegmentAreas(Session& s) {
  double height = Val(s.ClientHeight);
  double weight = Val(s.ClientWeight);
  double h = s.UnitsFlag == 1 ? RoundEven(height) : RoundEven(height * kCentimetresPerInch);
  double w = s.UnitsFlag == 1 ? RoundEven(weight) : RoundEven(weight / kPoundsPerKilogram);
  double sum = h + w;
  double a = sum * 0.76 - 31;
  double b = sum * 0.9 - 30;
  const double areas[7] = {a, a * 1.33, a * 1.56, sum * 7.5 - 375, b * 3.1, b * 2.25, b};
  for (int i = 0; i < 7; ++i) s.SegmentAreas[i] = ClampToInt16(areas[i]);
}

std::string SurfaceAreaDisplayText(const Session& s) {
  double shown = s.UnitsFlag == 1
                     ? s.SurfaceArea
                     : RoundEven(s.SurfaceArea / (kCentimetresPerInch * kCentimetresPerInch));
  return NumText(static_cast<long long>(shown));
}

}  // namespace tidemet
