#pragma once
// Unit switching and the values derived from the client's height and weight.

#include <string>
#include <string_view>

#include "app/session/session.h"

namespace tidemet {

// A client height or weight text converted by `factor` and fitted into the three characters the
// record keeps for it: the value rounded (ties to even) to a whole number, limited to 0..999 and
// left-aligned with blanks ("48 "). A text without a number stays as it is.
std::string ConvertMeasureText(std::string_view text, double factor);

// Sets the unit labels (force, area, grid captions, client columns, swim menus) for the units.
void ApplyUnitLabels(Labels& labels, bool metric);

// The seven segment areas from the current client's height and weight texts.
void ComputeSegmentAreas(Session& s);

// The surface-area box shows SurfaceArea in the current units.
std::string SurfaceAreaDisplayText(const Session& s);

}  // namespace tidemet
