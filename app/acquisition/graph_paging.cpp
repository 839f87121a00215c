#include "app/acquisition/graph_paging.h"

#include <algorithm>

#include "app/acquisition/plot_sample.h"

namespace tidemet {

PageMove PlanPageMove(int current, int requested, int step) {
  PageMove move;
  move.position = std::max(0, requested) / step * step;
  // The image moves opposite to the page: a later page shifts the columns to the left.
  move.shift = std::clamp(current - move.position, -kSweepWidth, kSweepWidth);
  if (move.shift < 0) {
    move.firstUncovered = kSweepWidth + move.shift;
    move.lastUncovered = kSweepWidth - 1;
  } else if (move.shift > 0) {
    move.firstUncovered = 0;
    move.lastUncovered = move.shift - 1;
  }
  return move;
}

void ApplyPageMove(const Session& s, int graph, const PageMove& move, GraphCanvas& canvas) {
  if (move.shift == 0) return;
  canvas.shiftColumns(move.shift);
  canvas.eraseColumns(move.firstUncovered, move.lastUncovered);
  canvas.drawGrid(move.firstUncovered, move.lastUncovered);
  const int channel = graph == 0 ? s.PairStartChannel : s.PairSecondChannel;
  for (int column = move.firstUncovered; column <= move.lastUncovered; ++column) {
    const int row = move.position + column;
    if (row > s.SampleCount) break;
    const int index = s.trialIndex(row, channel);
    if (index < 0) break;
    const int16_t stored = s.TrialData[index];
    if (stored < s.PlotThreshold) continue;
    canvas.drawBar(column, GraphY(s, channel, stored));
  }
}

}  // namespace tidemet
