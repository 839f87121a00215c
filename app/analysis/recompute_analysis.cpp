#include "app/analysis/recompute_analysis.h"

#include <algorithm>
#include <cctype>

#include "app/session/units.h"

namespace tidemet {

bool SummaryIsOpen(const Session& s) {
  const std::string& name = s.CurrentFileName;
  // The file name, not the opened-from-file flag: a refused open clears that flag but leaves
  // the summary in memory.
  if (name.size() < 3) return false;
  std::string tail = name.substr(name.size() - 3);
  for (char& ch : tail) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return tail == "SUM";
}

bool ColumnConnected(const Session& s, int d) {
  const int index = s.trialIndex(0, d);
  return index >= 0 && s.TrialData[index] >= s.PlotThreshold;
}

void RecomputeAnalysis(Session& s, RepetitionAnalyzer& analyzer, Alerts& alerts) {
  AnalysisResults& r = s.analysis;
  r.grids = AnalysisGrids{};
  ApplyUnitLabels(s.labels, s.UnitsFlag == 1);
  // The two-pair unit carries its second pair on data columns 2 and 3.
  if (s.ModelCode == 23 && s.PairStartChannel != 0) {
    s.PairStartChannel = 2;
    s.PairSecondChannel = 3;
    s.PlotThreshold = 10;
    s.SensorValueOffset = -2400;
  }

  if (SummaryIsOpen(s)) {
    // The stored rows are shown as they are; nothing is detected again.
    r.MostReps = std::max<int16_t>({r.FirstPairReps, r.SecondPairReps, 0});
    r.LastRep = r.SecondPairReps;
    RefreshAnalysisView(s);
    return;
  }

  // Rows of an earlier trial or pair must not show through for a column that is not analysed.
  r.clearSummaryTable();
  r.MostReps = 0;
  r.FirstPairReps = 0;
  r.SecondPairReps = 0;
  const int columns[2] = {s.PairStartChannel, s.PairSecondChannel};
  for (int side = 0; side < 2; ++side) {
    const int d = columns[side];
    int16_t& reps = side == 0 ? r.FirstPairReps : r.SecondPairReps;
    if (!ColumnConnected(s, d)) {
      reps = 0;
      r.MeanHandForce[side] = 0;
      continue;
    }
    analyzer.DetectRepetitions(s, d, alerts);
    analyzer.ConvertRepetitions(s);
    reps = r.LastRep;
    r.MostReps = std::max(r.MostReps, r.LastRep);
    analyzer.StoreRepetitionRows(s, d);
  }
  RefreshAnalysisView(s);
}

}  // namespace tidemet
