#pragma once
// The full two-channel trial the analysis benchmarks run on: 15000 samples, 100 strokes a hand.

#include <memory>

#include "app/session/session.h"

namespace tidemet {

inline std::unique_ptr<Session> StrokeTrial() {
  auto s = std::make_unique<Session>();
  s->ChannelCount = 2;
  s->SampleCount = 15000;
  s->TrialSeconds = 150;
  s->SurfaceArea = 40;
  s->PlotThreshold = 1000;
  // 150 samples per stroke: a 90-sample push, then a 60-sample recovery, on both hands (the
  // second a little later and weaker).
  for (int k = 0; k <= s->SampleCount; ++k) {
    for (int c = 0; c < 2; ++c) {
      const int phase = (k + 20 * c) % 150;
      const int level = phase < 90 ? 400 - 50 * c : -200;
      s->TrialData[k * 2 + c] = static_cast<int16_t>(level - s->BaselineOffset);
    }
  }
  return s;
}

}  // namespace tidemet
