#include "app/acquisition/pointer_readout.h"

#include <cstdio>

#include "app/session/rounding.h"

namespace tidemet {
namespace {

std::string seconds(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", RoundHundredths(v));
  return buf;
}

}  // namespace

PointerReadout ReadPointer(const Session& s, int graph, int sample) {
  PointerReadout out;
  if (sample < 0 || sample > s.SampleCount) return out;
  const double dt = s.SecondsPerSample;
  out.time = seconds(sample * dt);
  const AnalysisResults& a = s.analysis;
  const int column = graph == 0 ? s.PairStartChannel : s.PairSecondChannel;
  const int reps = graph == 0 ? a.FirstPairReps : a.SecondPairReps;
  if (column < 0 || column >= kMarkerColumns) return out;
  for (int j = 0; j <= reps && j < kCycleRecords; ++j) {
    const int start = a.RepStartMarks[column][j];
    const int end = a.RepNegEndMarks[column][j];
    if (sample >= start && sample < end) {
      out.rep = std::to_string(j);
      out.repTime = seconds((sample - start) * dt);
      break;
    }
  }
  return out;
}

}  // namespace tidemet
