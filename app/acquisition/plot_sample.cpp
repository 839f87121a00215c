#include "app/acquisition/plot_sample.h"

#include "app/session/rounding.h"

namespace tidemet {

int GraphY(const Session& s, int c, int16_t stored) {
  double v = static_cast<double>(stored) + s.BaselineOffsets[c] + s.BaselineOffset;
  return static_cast<int>(RoundEven(kZeroForceY - v * static_cast<double>(s.GraphGain)));
}

void PlotSample(const Session& s, int row, int column, PlotHistory history[2], GraphSink& sink) {
  const int channels[2] = {s.PairStartChannel, s.PairSecondChannel};
  for (int g = 0; g < 2; ++g) {
    int index = s.trialIndex(row, channels[g]);
    if (index < 0) continue;
    int16_t stored = s.TrialData[index];
    if (stored < s.PlotThreshold) continue;
    int y = GraphY(s, channels[g], stored);
    PlotHistory& h = history[g];
    int shown = static_cast<int>(RoundEven((static_cast<double>(y) + h.y1 + h.y2) / 3.0));
    h.y2 = h.y1;
    h.y1 = y;
    sink.drawBar(g, column, shown);
  }
}

}  // namespace tidemet
