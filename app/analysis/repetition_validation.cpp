// Validation and merging of the raw cycles, and the breaststroke/butterfly alignment of the
// second hand.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "app/analysis/repetition_analyzer.h"

namespace tidemet {
namespace {

int magnitude(int16_t v) { return std::abs(static_cast<int>(v)); }

}  // namespace

void RepetitionAnalyzer::markAccepted(Session& s, int d, int a, const CycleRecord& c) {
  AnalysisResults& r = s.analysis;
  r.RepStartMarks[d][a] = c.PosStart;
  r.RepNegEndMarks[d][a] = c.NegEnd;
  r.RepPosEndMarks[d][a] = c.PosEnd;
  r.RepPeakMarks[d][a] = c.PosPeakAt;
}

int RepetitionAnalyzer::validate(Session& s, int d, const Limits& lim, int lastRep) {
  auto& cyc = cycles_;
  AnalysisResults& r = s.analysis;
  const bool swim = lim.swim;
  const int t25 = lim.t25;
  const int t50 = lim.t50;
  const int p = lim.peakFloor;

  // Rules 1, 4, 5: cycle i's phases become part of the previous repetition's negative phase.
  auto absorbIntoPrevious = [&](int i, int& a) {
    --a;
    CycleRecord& prev = cyc[a];
    const CycleRecord& c = cyc[i];
    prev.NegSum += c.NegSum;
    if (magnitude(c.NegPeak) > magnitude(prev.NegPeak)) prev.NegPeak = c.NegPeak;
    prev.NegSamples += c.PosSamples + c.NegSamples;
    prev.NegEnd = c.NegEnd;
    r.RepNegEndMarks[d][a] = c.NegEnd;
    ++a;
  };
  // Rules 2, 3, 6: cycle i's positive phase and its dip join the next cycle's positive phase.
  auto joinIntoNext = [&](int i) {
    const CycleRecord& c = cyc[i];
    CycleRecord& next = cyc[i + 1];
    next.PosSum += c.PosSum;
    // The peak marker follows the larger peak (the earlier one on a tie: first reached).
    if (c.PosPeak >= next.PosPeak) next.PosPeakAt = c.PosPeakAt;
    next.PosPeak = std::max(c.PosPeak, next.PosPeak);
    next.PosSamples = c.PosSamples + c.NegSamples + next.PosSamples;
    next.PosStart = c.PosStart;
  };

  int a = 0;
  for (int i = 0; i <= lastRep; ++i) {
    const CycleRecord& c = cyc[i];
    const bool hasNext = i < lastRep;
    const int negPeak = magnitude(c.NegPeak);
    if (!swim && a > 0 && c.PosSamples < t25 && c.PosSum < std::abs(static_cast<int64_t>(c.NegSum))) {
      absorbIntoPrevious(i, a);
    } else if (!swim && hasNext && c.NegSamples < t25 && cyc[i + 1].PosSamples > t25) {
      joinIntoNext(i);
    } else if (!swim && hasNext && c.PosPeak < p && negPeak < p) {
      joinIntoNext(i);
    } else if (((!swim && hasNext) || swim) && a > 0 && (c.PosSamples < t25 || c.PosPeak < p)) {
      absorbIntoPrevious(i, a);
    } else if (swim && a > 0 && (c.PosSamples < t50 || c.PosPeak < p)) {
      absorbIntoPrevious(i, a);
    } else if (!swim && hasNext && negPeak < p) {
      joinIntoNext(i);
    } else if (swim && c.NegSamples < t25 && hasNext && a > 0) {
      // Accept cycle i with its negative phase stretched over cycle i + 1.
      const CycleRecord& next = cyc[i + 1];
      CycleRecord merged = c;
      merged.NegSamples = c.NegSamples + next.PosSamples + next.NegSamples;
      merged.NegSum = c.NegSum + next.NegSum;
      merged.NegPeak = std::min(c.NegPeak, next.NegPeak);
      merged.NegEnd = next.NegEnd;
      cyc[a] = merged;
      markAccepted(s, d, a, merged);
      ++a;
      ++i;  // cycle i + 1 is used up
    } else {
      cyc[a] = c;
      markAccepted(s, d, a, cyc[a]);
      ++a;
    }
  }
  return a - 1;
}

void RepetitionAnalyzer::alignBreaststroke(Session& s, int lastRep) {
  AnalysisResults& r = s.analysis;
  const std::string_view stroke = s.Stroke;
  const bool pairedStroke = stroke.starts_with("Br") || stroke.starts_with("Fl");
  if (s.ExerciseMode != 3 || s.SwimDistance <= 0 || !pairedStroke || lastRep < 0) return;
  const int first = r.FirstPairReps;
  if (first <= lastRep || first >= kCycleRecords) return;

  const auto& start0 = r.RepStartMarks[0];
  const auto& start1 = r.RepStartMarks[1];
  for (int j = 0; j <= lastRep - 1; ++j) {
    if (!(start1[j] < start0[j + 1] && start1[j + 1] > start0[j + 1])) return;
  }
  // The second hand lacks the first stroke: move its repetitions one place up. Only the
  // repetitions found are moved; places beyond them (when more than one stroke is missing)
  // are cleared rather than filled from an earlier run.
  auto clearCycle = [](CycleRecord& c) {
    c.PosSamples = c.NegSamples = 0;
    c.PosSum = c.NegSum = 0;
    c.PosPeak = c.NegPeak = 0;
  };
  for (int j = first; j >= 1; --j) {
    if (j - 1 <= lastRep) {
      cycles_[j] = cycles_[j - 1];
      r.RepStartMarks[1][j] = r.RepStartMarks[1][j - 1];
      r.RepPosEndMarks[1][j] = r.RepPosEndMarks[1][j - 1];
      r.RepNegEndMarks[1][j] = r.RepNegEndMarks[1][j - 1];
      r.RepPeakMarks[1][j] = r.RepPeakMarks[1][j - 1];
    } else {
      clearCycle(cycles_[j]);
      r.RepStartMarks[1][j] = r.RepPosEndMarks[1][j] = r.RepNegEndMarks[1][j] =
          r.RepPeakMarks[1][j] = 0;
    }
  }
  clearCycle(cycles_[0]);
  r.RepStartMarks[1][0] = r.RepPosEndMarks[1][0] = r.RepPeakMarks[1][0] = 0;
  r.RepNegEndMarks[1][0] = r.RepStartMarks[1][1];
  r.SecondPairReps = static_cast<int16_t>(first);
  r.LastRep = static_cast<int16_t>(first);
}

}  // namespace tidemet
