#pragma once
// Generated force traces for the analysis tests: a trace is a list of holds (a number of
// samples at one level), the level being the smoothed count the detector sees once the
// baseline offsets are added.

#include <memory>
#include <vector>

#include "app/analysis/recompute_analysis.h"
#include "app/session/session.h"

namespace tidemet::testing {

class Trace {
 public:
  Trace& hold(int samples, int level) {
    levels_.insert(levels_.end(), samples, level);
    return *this;
  }
  // `times` repetitions of a push of `pushSamples` at +height and a dip of `dipSamples` at
  // -depth.
  Trace& strokes(int times, int pushSamples, int height, int dipSamples, int depth) {
    for (int i = 0; i < times; ++i) hold(pushSamples, height).hold(dipSamples, -depth);
    return *this;
  }
  int size() const { return static_cast<int>(levels_.size()); }
  const std::vector<int>& levels() const { return levels_; }

 private:
  std::vector<int> levels_;
};

// A trial of `channels` interleaved columns, 100 samples a second, force 0.125 per count
// (8 sq cm at 1/64 per count), every column connected.
inline std::unique_ptr<Session> MakeTrial(int channels, int samples) {
  auto s = std::make_unique<Session>();
  s->ChannelCount = static_cast<int16_t>(channels);
  s->SampleCount = static_cast<int16_t>(samples);
  s->TrialSeconds = samples / 100.0f;
  s->SurfaceArea = 8;
  s->PressurePerCount = 0.015625f;
  s->CalibrationFactor = 1.0f;
  s->PlotThreshold = -32768;
  s->ExerciseMode = 1;
  return s;
}

// Writes the trace into data column `d` so that stored + offsets gives its levels; samples past
// its end repeat the last level (the detector reads sample N as well).
inline void WriteTrace(Session& s, int d, const Trace& t) {
  const int offset = s.BaselineOffset + s.BaselineOffsets[d];
  for (int k = 0; k <= s.SampleCount; ++k) {
    const auto& lv = t.levels();
    const int level = k < t.size() ? lv[k] : lv.back();
    s.TrialData[k * s.ChannelCount + d] = static_cast<int16_t>(level - offset);
  }
}

// Column 0: four strokes of 0.5 s pushes and dips; column 1: two such strokes and a long rest
// (its last dip 2.49 s, summing -100 - 248 x 300 counts). Four seconds, 400 samples.
inline std::unique_ptr<Session> TwoHandTrial() {
  auto s = MakeTrial(2, 400);
  WriteTrace(*s, 0, Trace().strokes(4, 50, 300, 50, 300));
  WriteTrace(*s, 1, Trace().strokes(2, 50, 300, 50, 300).hold(200, -300));
  return s;
}

// Runs the whole analysis of `s`; gives the boxes it showed.
inline std::vector<Alert> Analyse(Session& s) {
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;
  RecomputeAnalysis(s, analyzer, alerts);
  return alerts.shown;
}

// Ten freestyle strokes a hand over 10 s and 25 m: 0.6 s pulls, 0.4 s recoveries, each pull
// summing 17600 counts over its 100-sample cycle (22.0 N at 0.125 N per count); a client of
// 180 cm and 75 kg.
inline std::unique_ptr<Session> FreestyleTrial() {
  auto s = MakeTrial(2, 1000);
  s->ExerciseMode = 3;
  s->SwimDistance = 25;
  s->Stroke = "Free";
  s->ClientHeight = "180";
  s->ClientWeight = "75 ";
  for (int d = 0; d < 2; ++d) WriteTrace(*s, d, Trace().strokes(10, 60, 300, 40, 300));
  return s;
}

}  // namespace tidemet::testing
