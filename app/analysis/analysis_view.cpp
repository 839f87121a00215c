// The analysis window's grids and means as text, and the swim figures that follow them.
#include <algorithm>

#include "app/analysis/analysis_grids.h"
#include "app/analysis/recompute_analysis.h"
#include "app/analysis/swim_metrics.h"

namespace tidemet {
namespace {

constexpr const char* kModeTitles[3] = {"Peak Force", "  Impulse", " Avg Force"};

}  // namespace

void RefreshAnalysisView(Session& s) {
  AnalysisResults& r = s.analysis;
  AnalysisGrids& g = r.grids;
  const int mode = std::clamp<int>(r.AnalysisMode, 0, 2);
  const UnitLabels& u = s.labels.units;
  g.caption = " Data Analysis - " +
              (s.CurrentFileName.empty() ? std::string("(untitled)") : s.CurrentFileName);
  g.modeTitle = kModeTitles[mode];
  g.gridTitle = mode == 0 ? u.PeakForce : mode == 1 ? u.Impulse : u.AvgForce;
  g.rows = RepetitionGrid(s);
  MeansGrid means = MeansGridOf(s);
  g.means = means.cells;
  g.meanLabels = means.labels;
  UpdateSwimMetrics(s, means.durations);
}

}  // namespace tidemet
