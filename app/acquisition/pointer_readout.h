#pragma once
// What the labels under a shown trial say about the sample under the pointer: its time in the
// trial, the repetition whose markers hold it, and the time since that repetition began.

#include <string>

#include "app/session/session.h"

namespace tidemet {

struct PointerReadout {
  std::string time;     // seconds and hundredths, "12.34"
  std::string rep;      // the repetition's row in the analysis grid, "3"
  std::string repTime;  // seconds since the repetition began, two decimals
};

// `graph` 0 reads the pair's first column, 1 its second. A sample outside the trial gives three
// empty texts; one past the last repetition gives its time alone.
PointerReadout ReadPointer(const Session& s, int graph, int sample);

}  // namespace tidemet
