#pragma once
// Repetition detection for one data column at a time: spike removal, the smoothed trace, the
// phase scan with its baseline restarts, validation and merging, conversion to physical values
// and storage into the session's summary table. The working arrays belong to this object; the
// results other windows read go to Session::analysis.

#include <array>
#include <cstdint>
#include <vector>

#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// One raw cycle: a positive phase followed by a negative phase.
struct CycleRecord {
  int16_t PosStart = 0;
  int16_t PosEnd = 0;
  float PosSamples = 0;
  int32_t PosSum = 0;
  int16_t PosPeak = 0;
  int16_t PosPeakAt = 0;
  int16_t NegStart = 0;
  int16_t NegEnd = 0;
  float NegSamples = 0;
  int32_t NegSum = 0;
  int16_t NegPeak = 0;
};

// Per-repetition values after conversion, in the session's force unit and seconds.
struct ConvertedRepetition {
  float AvgForce = 0;
  float CycleAvgForce = 0;
  float NegAvgForce = 0;
  float PosSeconds = 0;
  float NegSeconds = 0;
  float CycleSamples = 0;
  float Impulse = 0;
  float NegImpulse = 0;
  float PeakForce = 0;
  float NegPeakForce = 0;
};

class RepetitionAnalyzer {
 public:
  RepetitionAnalyzer();

  // Fills the cycle records, the markers and LastRep for data column `d`; may lower
  // BaselineOffsets[d] in swimming mode. The overflow warning goes through `alerts`.
  void DetectRepetitions(Session& s, int d, Alerts& alerts);
  // Converts records 0..LastRep to physical values (ForceScale is recomputed first).
  void ConvertRepetitions(Session& s);
  // Writes the converted values of data column `d` to SummaryTable and MeanHandForce.
  void StoreRepetitionRows(Session& s, int d);

  const CycleRecord& cycle(int i) const { return cycles_[i]; }
  const ConvertedRepetition& converted(int i) const { return converted_[i]; }
  int restarts() const { return restarts_; }

 private:
  struct ScanOutcome {
    int cycles = 0;          // cycles recorded, the interrupted one included
    int32_t negativeSamples = 0;
    bool overflow = false;
    bool overflowInPositive = false;
  };
  struct Limits {
    int n = 0;           // samples of the column that the scan may read (indices 0..n)
    int t25 = 0;         // QuarterSecond
    int t50 = 0;         // HalfSecond
    int baseline = 0;    // BaselineLevel
    int peakFloor = 0;   // PeakFloor
    bool swim = false;
  };

  ScanOutcome scan(const Session& s, int d, const Limits& lim);
  bool needsLowerBaseline(const Limits& lim, int lastRep) const;
  int validate(Session& s, int d, const Limits& lim, int lastRep);
  void alignBreaststroke(Session& s, int lastRep);
  void markAccepted(Session& s, int d, int a, const CycleRecord& c);

  std::array<CycleRecord, kCycleRecords> cycles_{};
  std::array<ConvertedRepetition, kCycleRecords> converted_{};
  std::vector<int16_t> smoothed_;  // SmoothedTrace, indices 0..30000
  int restarts_ = 0;
};

// The overflow warning's six lines.
Alert OverflowWarning();

// Samples of data column `d` that lie inside TrialData: SampleCount, lowered when a damaged
// header claims more rows than the buffer holds.
int ReadableSampleCount(const Session& s, int d);

}  // namespace tidemet
