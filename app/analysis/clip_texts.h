#pragma once
// What the analysis window's Copy items put on the clipboard: tab-separated cells, rows ended by
// carriage returns (the last row has none), as a grid gives its selection.

#include <string>
#include <vector>

#include "app/analysis/analysis_grids.h"
#include "app/analysis/sample_export.h"

namespace tidemet {

// Copy: the whole repetition grid, columns 0 to 8.
std::string GridClipText(const std::vector<GridRow>& grid);

// Copy selected values: the selected rows (any order, repeats ignored), widened to columns 0
// to 8, top to bottom. Rows outside the grid are left out.
std::string SelectedRowsClipText(const std::vector<GridRow>& grid, std::vector<int> rows);

// Copy means: the overall means row, columns 0 to 7.
std::string MeansClipText(const MeansGrid& means);

// Copy data and copy smoothed data: every sample of the trial.
std::string SampleClipText(const Session& s, bool smoothed);

}  // namespace tidemet
