#pragma once
// Summary files written as text for the comparison tests and benchmark: each stored value is
// base + step x repetition, so the means of a range are easy to work out by hand.

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace tidemet::testing {

struct SummaryColumn {
  double base = 0;
  double step = 0;
};

// Columns 1..16: per channel PosSeconds, PeakForce, Impulse, AvgForce, NegSeconds,
// NegPeakForce, NegImpulse, NegAvgForce.
struct SummaryPairBlock {
  int pairStart = 0;
  int firstReps = 5;  // last repetition index of the pair's first column
  int secondReps = 5;
  std::array<SummaryColumn, 16> columns{};
};

// The first column: positive seconds .6 .7 | .8 .9 over repetitions 1-2 | 3-4, peak forces
// 10 20 | 30 40 (+ shift), impulses 2 3 | 4 5, negative seconds .4, negative peaks 18 16 | 14 12
// (+ shift), negative impulses 0. The second column: peak forces 12 22 32 42 (+ shift).
inline SummaryPairBlock RisingBlock(int pairStart = 0, double shift = 0, int secondReps = 5) {
  SummaryPairBlock b{pairStart, 5, secondReps, {}};
  const SummaryColumn first[] = {{0.5, 0.1}, {shift, 10},      {1, 1}, {5, 0},
                                 {0.4, 0},   {shift + 20, -2}, {0, 0}, {3, 0}};
  std::copy(std::begin(first), std::end(first), b.columns.begin());
  b.columns[8] = {0.3, 0};
  b.columns[9] = {shift + 2, 10};
  std::fill(b.columns.begin() + 10, b.columns.end(), SummaryColumn{7, 1});
  return b;
}

struct SummaryShape {
  std::string client = "Ann Lee";
  int channelCount = 2;
  int pairStart = 0;
  std::vector<SummaryPairBlock> blocks;
};

inline std::string SummaryText(const SummaryShape& s) {
  int most = 0;
  for (const auto& b : s.blocks) most = std::max({most, b.firstReps, b.secondReps});
  std::string out = "\"Tidemet V5.6\",\"" + s.client + "\",\"Hand\"," +
                    std::to_string(s.pairStart) + ",8,1,400,1,4," + std::to_string(most) + ",1," +
                    std::to_string(s.channelCount) +
                    "\r\n8,8,8,8,\"\",\"\",\"\",\"\",2,2,3,3,1,0\r\n";
  for (const auto& b : s.blocks) {
    out += std::to_string(b.pairStart) + "," + std::to_string(b.firstReps) + "," +
           std::to_string(b.secondReps) + "\r\n";
    for (int row = 0; row <= std::max(b.firstReps, b.secondReps); ++row)
      for (int c = 0; c < 16; ++c)
        out +=
            std::to_string(b.columns[c].base + b.columns[c].step * row) + (c < 15 ? "," : "\r\n");
  }
  return out;
}

}  // namespace tidemet::testing
