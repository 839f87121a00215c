#pragma once
// The single entry of the analysis: every window that shows results calls RecomputeAnalysis.

#include "app/analysis/analysis_grids.h"
#include "app/analysis/repetition_analyzer.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// Analyses the first and then the second column of the selected pair (or takes the stored rows
// of an open summary file), then rebuilds the grids, means and swim figures.
void RecomputeAnalysis(Session& s, RepetitionAnalyzer& analyzer, Alerts& alerts);

// Rebuilds the grids, means and swim figures from SummaryTable and the repetition counts.
void RefreshAnalysisView(Session& s);

// Whether the trial in memory came from a summary file (its name ends in "SUM"), whose stored
// rows are shown instead of detecting again. A recording clears the name, a data file replaces
// it.
bool SummaryIsOpen(const Session& s);

// Whether data column `d` has a sensor connected: its first stored sample reaches PlotThreshold.
bool ColumnConnected(const Session& s, int d);

}  // namespace tidemet
