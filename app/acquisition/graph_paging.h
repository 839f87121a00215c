#pragma once
// Paging a recorded trial sideways: the visible columns are moved by a block copy and only the
// uncovered ones are drawn again from the trial.

#include "app/acquisition/graph_canvas.h"
#include "app/session/session.h"

namespace tidemet {

struct PageMove {
  int position = 0;  // first sample shown, a multiple of the step
  int shift = 0;     // columns the image moves (negative: to the left)
  int firstUncovered = 0;
  int lastUncovered = -1;  // none when below firstUncovered
};

// Where a scroll bar at `requested` puts the page that now starts at `current`.
PageMove PlanPageMove(int current, int requested, int step = 8);

// Moves graph `graph` (0 upper, 1 lower) of the displayed pair to the planned page: shifts the
// image, erases and re-grids the uncovered columns and draws their samples with the live rules
// (offsets, gain, zero-force line, threshold), without smoothing.
void ApplyPageMove(const Session& s, int graph, const PageMove& move, GraphCanvas& canvas);

}  // namespace tidemet
