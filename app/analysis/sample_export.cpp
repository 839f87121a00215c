#include "app/analysis/sample_export.h"

#include <algorithm>
#include <cmath>

#include "app/analysis/repetition_analyzer.h"
#include "app/session/rounding.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

std::vector<std::string> headerRow(int channels) {
  std::vector<std::string> row{"Counter", "Time", "Ch1/LHand", "Ch2/RHand"};
  if (channels == 4) {
    row.insert(row.end(), {"Ch3/LFoot", "Ch4/RFoot"});
  } else if (channels > 4) {
    for (int c = 3; c <= channels; ++c) row.push_back("Ch" + std::to_string(c) + " (mv)");
  }
  return row;
}

std::string forceText(double v) {
  return std::isfinite(v) ? NumText(static_cast<float>(v)) : std::string("0");
}

}  // namespace

TextTable SampleForceTable(const Session& s, bool smoothed) {
  const int channels = std::min<int>(s.ChannelCount, kMaxChannels);
  TextTable table{headerRow(channels)};
  if (channels <= 0) return table;
  // A two-channel trial keeps its pair's columns.
  const int firstColumn = channels == 2 ? s.PairStartChannel : 0;
  int n = s.SampleCount;
  for (int c = 0; c < channels; ++c) n = std::min(n, ReadableSampleCount(s, firstColumn + c));
  const float f = static_cast<float>(s.SurfaceArea) * s.PressurePerCount * s.CalibrationFactor;
  const float dt = s.SampleCount > 0 ? s.TrialSeconds / static_cast<float>(s.SampleCount) : 0.0f;
  const double g = s.GraphGain;

  // The plotted value of a sample, as the live graphs draw it.
  auto plotted = [&](int k, int d) {
    const double count = s.TrialData[k * s.ChannelCount + d] + s.BaselineOffsets[d] + s.BaselineOffset;
    return RoundEven(79 - count * g);
  };
  for (int k = 0; k <= n; ++k) {
    std::vector<std::string> row{NumText(static_cast<long long>(k)),
                                 NumText(static_cast<float>(RoundHundredths(k * static_cast<double>(dt))))};
    for (int c = 0; c < channels; ++c) {
      const int d = firstColumn + c;
      double force;
      if (!smoothed) {
        const double count = s.TrialData[k * s.ChannelCount + d] + s.BaselineOffset + s.BaselineOffsets[d];
        force = RoundTenths(count * f);
      } else {
        // The first two samples have no two predecessors; they are taken as plotted.
        const double p = k < 2 ? plotted(k, d)
                               : RoundEven((plotted(k - 2, d) + plotted(k - 1, d) + plotted(k, d)) / 3);
        force = RoundTenths((79 - p) / g * f);
      }
      row.push_back(forceText(force));
    }
    table.push_back(std::move(row));
  }
  return table;
}

std::string ClipText(const TextTable& table) {
  std::string out;
  for (size_t r = 0; r < table.size(); ++r) {
    if (r > 0) out += '\r';
    for (size_t c = 0; c < table[r].size(); ++c) {
      if (c > 0) out += '\t';
      out += table[r][c];
    }
  }
  return out;
}

}  // namespace tidemet
