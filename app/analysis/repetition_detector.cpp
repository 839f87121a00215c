// The phase scan of one data column and the baseline restarts around it.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "app/analysis/repetition_analyzer.h"
#include "app/session/rounding.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

constexpr int kMaxCycles = 100;
constexpr int16_t kSpikeCounts = 3000;
// Swimming restarts lower the offset one count at a time and stop at these limits.
constexpr int kOffsetLimit = 79;

int16_t floorToInt16(double v) {
  if (!std::isfinite(v)) return v > 0 ? std::numeric_limits<int16_t>::max() : 0;
  return ClampToInt16(Floor(v));
}

}  // namespace

Alert OverflowWarning() {
  return Alert{std::string(AppTitle) + " Warning",
               JoinLines({"Data exceed calculation limits.",
                          "Analysis may not be accurate or complete.",
                          "Check that the baseline is zeroed",
                          "for all channels connected to sensors.",
                          "Also check that the force value",
                          "crosses the baseline on each repetition."}),
               AlertIcon::Exclamation, AlertButtons::Ok};
}

int ReadableSampleCount(const Session& s, int d) {
  const int cc = s.ChannelCount;
  if (cc <= 0 || d < 0 || d >= kTrialDataSize || s.SampleCount <= 0) return 0;
  int n = std::min<int>(s.SampleCount, kTrialDataSize - 1);
  // Sample n of column d is read, so n * cc + d must stay inside the buffer.
  if (static_cast<long>(n) * cc + d > kTrialDataSize - 1) n = (kTrialDataSize - 1 - d) / cc;
  return n;
}

RepetitionAnalyzer::RepetitionAnalyzer() : smoothed_(kTrialDataSize, 0) {}

RepetitionAnalyzer::ScanOutcome RepetitionAnalyzer::scan(const Session& s, int d,
                                                         const Limits& lim) {
  ScanOutcome out;
  const int cc = s.ChannelCount;
  const int16_t* x = s.TrialData.data() + d;
  const double offset = static_cast<double>(s.BaselineOffsets[d]) + s.BaselineOffset;
  // S(k); false when the smoothed value leaves the 16-bit range.
  auto form = [&](int k) {
    double mean = (static_cast<double>(x[(k - 2) * cc]) + x[(k - 1) * cc] + x[k * cc]) / 3.0;
    auto v = RoundToInt16(mean + offset);
    if (!v) return false;
    smoothed_[k] = *v;
    return true;
  };
  const int n = lim.n;
  const int b = lim.baseline;
  int k = 2;
  int i = 0;
  int32_t negatives = 0;

  // The interrupted cycle ends at n and counts as found; the scan stops there.
  auto stopInPositive = [&](CycleRecord& c, int64_t sum, int16_t peak) {
    c.PosSum = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
    c.PosPeak = peak;
    c.PosEnd = static_cast<int16_t>(n);
    c.PosSamples = static_cast<float>(n - c.PosStart);
    c.NegStart = c.NegEnd = static_cast<int16_t>(n);
    c.NegSamples = 0;
    c.NegSum = 0;
    c.NegPeak = 0;
    out.cycles = i + 1;
    out.overflow = out.overflowInPositive = true;
    out.negativeSamples = negatives;
    return out;
  };

  if (!form(k)) {
    cycles_[0].PosStart = cycles_[0].PosPeakAt = static_cast<int16_t>(k);
    return stopInPositive(cycles_[0], 0, 0);
  }
  while (k < n && i < kMaxCycles) {
    CycleRecord& c = cycles_[i];
    c.PosStart = static_cast<int16_t>(k);
    c.PosPeakAt = static_cast<int16_t>(k);
    int64_t sum = 0;
    int16_t peak = 0;
    while (smoothed_[k] >= b && k < n) {
      const int16_t v = smoothed_[k];
      if (v > peak) {
        peak = v;
        c.PosPeakAt = static_cast<int16_t>(k);
      }
      if (sum + v > INT32_MAX) return stopInPositive(c, sum, peak);
      sum += v;
      ++k;  // k <= n <= 30000: the 16-bit index cannot overflow
      if (!form(k)) return stopInPositive(c, sum, peak);
    }
    c.PosSum = static_cast<int32_t>(sum);
    c.PosPeak = peak;
    c.PosEnd = static_cast<int16_t>(k);
    c.PosSamples = static_cast<float>(c.PosEnd - c.PosStart);

    c.NegStart = static_cast<int16_t>(k);
    sum = 0;
    int16_t trough = 0;
    bool overflow = false;
    while (smoothed_[k] <= b && k < n) {
      const int16_t v = smoothed_[k];
      if (v < trough) trough = v;
      if (sum + v < INT32_MIN) {
        overflow = true;
        break;
      }
      sum += v;
      ++k;
      ++negatives;
      if (!form(k)) {
        overflow = true;
        break;
      }
    }
    c.NegSum = static_cast<int32_t>(sum);
    c.NegPeak = trough;
    c.NegEnd = static_cast<int16_t>(overflow ? n : k);
    c.NegSamples = static_cast<float>(c.NegEnd - c.NegStart);
    ++i;
    if (overflow) {
      out.overflow = true;
      break;
    }
  }
  out.cycles = i;
  out.negativeSamples = negatives;
  return out;
}

bool RepetitionAnalyzer::needsLowerBaseline(const Limits& lim, int lastRep) const {
  double pos = 0;
  double neg = 0;
  for (int j = 1; j <= lastRep - 1; ++j) {
    pos += cycles_[j].PosSamples;
    neg += cycles_[j].NegSamples;
  }
  if (pos + neg > 0 && neg / (pos + neg) < 0.2) return true;
  for (int j = 1; j <= lastRep - 2; ++j) {
    if (cycles_[j].PosSamples > lim.t50 && cycles_[j + 1].PosSamples > lim.t50 &&
        cycles_[j].NegSamples < lim.t25)
      return true;
  }
  return false;
}

void RepetitionAnalyzer::DetectRepetitions(Session& s, int d, Alerts& alerts) {
  AnalysisResults& r = s.analysis;
  restarts_ = 0;
  r.LastRep = -1;
  if (d < 0 || d >= kMarkerColumns) return;
  Limits lim;
  lim.n = ReadableSampleCount(s, d);
  // No scan without samples; one or two samples hold no cycle either (the scan starts at 2).
  if (lim.n <= 2) return;

  const int cc = s.ChannelCount;
  for (int k = 1; k <= lim.n; ++k) {
    int16_t& x = s.TrialData[k * cc + d];
    if (x > kSpikeCounts) x = s.TrialData[(k - 1) * cc + d];
  }

  float dt = s.TrialSeconds / static_cast<float>(s.SampleCount);
  if (!(dt > 0) || !std::isfinite(dt)) dt = 0.02f;  // a damaged trial time must not stop the scan
  lim.t25 = floorToInt16(0.25 / dt);
  lim.t50 = floorToInt16(0.5 / dt);
  lim.swim = s.ExerciseMode == 3;
  lim.baseline = lim.swim ? 2 : 0;
  lim.peakFloor = lim.swim ? 48 : 4;

  int16_t& offset = s.BaselineOffsets[d];
  auto canLower = [&] { return std::abs(offset) < kOffsetLimit; };
  int lastRep = 0;
  for (;;) {
    const ScanOutcome o = scan(s, d, lim);
    if (o.overflow) {
      if (lim.swim && o.overflowInPositive && canLower()) {
        --offset;
        ++restarts_;
        continue;
      }
      alerts.show(OverflowWarning());
      r.LastRep = static_cast<int16_t>(o.cycles - 1);
      for (int j = 0; j <= r.LastRep; ++j) markAccepted(s, d, j, cycles_[j]);
      return;
    }
    if (lim.swim && offset >= -(kOffsetLimit - 1) &&
        static_cast<double>(o.negativeSamples) / lim.n < 0.2) {
      --offset;
      ++restarts_;
      continue;
    }
    lastRep = std::max(o.cycles - 1, 0);
    if (lim.swim && canLower() && needsLowerBaseline(lim, lastRep)) {
      --offset;
      ++restarts_;
      continue;
    }
    break;
  }
  r.LastRep = static_cast<int16_t>(validate(s, d, lim, lastRep));
  if (d == 1) alignBreaststroke(s, r.LastRep);
}

}  // namespace tidemet
