// Conversion of the accepted repetitions to seconds and force units, and their rows in the
// summary table.
#include <algorithm>
#include <cmath>

#include "app/analysis/repetition_analyzer.h"
#include "app/session/rounding.h"

namespace tidemet {

void RepetitionAnalyzer::ConvertRepetitions(Session& s) {
  AnalysisResults& r = s.analysis;
  // Single-precision products, as the record keeps these values.
  const float f = static_cast<float>(s.SurfaceArea) * s.PressurePerCount * s.CalibrationFactor;
  r.ForceScale = f;
  const float dt = s.SampleCount > 0 ? s.TrialSeconds / static_cast<float>(s.SampleCount) : 0.0f;
  const bool swim = s.ExerciseMode == 3;
  for (int j = 0; j <= r.LastRep && j < kCycleRecords; ++j) {
    const CycleRecord& c = cycles_[j];
    ConvertedRepetition& v = converted_[j];
    if (c.PosSamples > 0) {
      v.AvgForce = static_cast<float>(RoundTenths(c.PosSum / static_cast<double>(c.PosSamples) * f));
      v.CycleSamples = c.NegSamples + c.PosSamples;
      v.CycleAvgForce =
          static_cast<float>(RoundTenths(c.PosSum / static_cast<double>(v.CycleSamples) * f));
      if (swim) v.AvgForce = v.CycleAvgForce;
    } else {
      v.AvgForce = 0;
    }
    v.NegAvgForce =
        c.NegSamples > 0
            ? static_cast<float>(std::fabs(RoundTenths(c.NegSum / static_cast<double>(c.NegSamples) * f)))
            : 0.0f;
    v.PosSeconds = static_cast<float>(RoundHundredths(dt * c.PosSamples));
    v.NegSeconds = static_cast<float>(RoundHundredths(dt * c.NegSamples));
    v.Impulse = static_cast<float>(RoundTenths(static_cast<double>(f) * c.PosSum * dt));
    v.NegImpulse = static_cast<float>(std::fabs(RoundTenths(static_cast<double>(f) * c.NegSum * dt)));
    v.PeakForce = static_cast<float>(RoundTenths(c.PosPeak * f));
    v.NegPeakForce = static_cast<float>(std::fabs(RoundTenths(c.NegPeak * f)));
  }
}

void RepetitionAnalyzer::StoreRepetitionRows(Session& s, int d) {
  AnalysisResults& r = s.analysis;
  const int side = d - s.PairStartChannel;
  if (side != 0 && side != 1) return;
  const int o = 8 * side;
  for (int j = 0; j <= r.LastRep && j < kSummaryRows && j < kCycleRecords; ++j) {
    const ConvertedRepetition& v = converted_[j];
    SummaryRow& row = r.SummaryTable[j];
    row[o + 1] = v.PosSeconds;
    row[o + 2] = v.PeakForce;
    row[o + 3] = v.Impulse;
    row[o + 4] = v.AvgForce;
    row[o + 5] = v.NegSeconds;
    row[o + 6] = v.NegPeakForce;
    row[o + 7] = v.NegImpulse;
    row[o + 8] = v.NegAvgForce;
  }
  // The mean over the middle repetitions; with none of them there is no mean force.
  float mean = 0;
  if (r.LastRep > 1) {
    float sum = 0;
    for (int j = 1; j <= r.LastRep - 1; ++j) sum += converted_[j].AvgForce;
    mean = sum / static_cast<float>(r.LastRep - 1);
  }
  r.MeanHandForce[side] = mean;

  if (side == 1 && r.SecondPairReps < r.FirstPairReps) {
    const int lastColumn = s.ModelCode == 23 ? 32 : 16;
    for (int j = std::max<int>(r.SecondPairReps + 1, 0); j <= r.FirstPairReps && j < kSummaryRows; ++j)
      for (int col = 9; col <= lastColumn; ++col) r.SummaryTable[j][col] = 0;
  }
}

}  // namespace tidemet
