#pragma once
// The analysis window's two grids as plain tables of text: the repetition grid of the current
// mode and the means grid with its row labels. The window, the reports, the clipboard copies and
// the command-line tool all show what these return.

#include <array>
#include <string>
#include <vector>

#include "app/analysis/swim_metrics.h"
#include "app/session/session.h"

namespace tidemet {

using GridRow = std::array<std::string, 9>;

// Rows 0..MostReps: the repetition number and, per column of the pair, positive duration, the
// mode's positive value, negative duration and the mode's negative value. Durations carry two
// decimals, forces one; rows past a column's count are empty, and so are the negative force
// columns of a swimming trial.
std::vector<GridRow> RepetitionGrid(const Session& s);

struct MeansGrid {
  // Rows: first half, second half, percent change, overall; columns match grid columns 1..8.
  std::array<std::array<std::string, 8>, 4> cells{};
  std::array<std::string, 4> labels{};
  // The overall duration means (P1, N1, P2, N2) the swim figures are made from.
  PairDurationMeans durations;
};

MeansGrid MeansGridOf(const Session& s);

// The summary-table column that grid column k (1..8) shows in analysis mode `mode`.
int GridTableColumn(int mode, int k);

// The factor the force columns are shown with: 4.45 or 1/4.45 when an open summary file holds
// forces in the other unit system, else 1.
double ShownForceFactor(const Session& s);

// The repetition counts of the pair's two columns as the grids show them; -1 for a column of an
// open summary that holds no results for the pair.
std::array<int, 2> ShownRepetitionCounts(const Session& s);

// The captions of the four filter items: the item's number, the force that 0, 16, 32 and 64 plot
// units stand for at the current gain (a whole number), and the force unit.
std::array<std::string, 4> FilterCaptions(const Session& s);

// The force unit word of the current units ("N" or "lbs") and of the mode's values ("N*sec").
std::string ForceUnitWord(const Session& s);
std::string ModeUnitWord(const Session& s);

// The short name of the mode's values: "Peak F", "Impulse" or "Avg F".
std::string ModeShortWord(const Session& s);

// The column titles the window shows over grid columns 0..8: the phase names over the
// durations, the mode's values with their unit over the forces.
std::array<std::string, 9> GridColumnTitles(const Session& s);

}  // namespace tidemet
