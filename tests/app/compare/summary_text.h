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

struct SummaryPairBlock {
  int pairStart = 0;
  int firstReps = 5;  // last repetition index of the pair's first column
  int secondReps = 5;
  // Columns 1..16: per channel PosSeconds, PeakForce, Impulse, AvgForce, NegSeconds,
  // NegPeakForce, NegImpulse, NegAvgForce.
  std::array<SummaryColumn, 16> columns{};
};

struct SummarySpec {
  std::string tag = "Tidemet V5.6";
  std::string client = "Ann Lee";
  int channelCount = 2;
  int pairStart = 0;
  int limbMode = 1;
  int unitsFlag = 1;
  std::vector<SummaryPairBlock> blocks;
};

inline std::string SummaryText(const SummarySpec& s) {
  auto num = [](double v) {
    std::string t = std::to_string(v);
    t.erase(t.find_last_not_of('0') + 1);
    if (!t.empty() && t.back() == '.') t.pop_back();
    return t;
  };
  int most = 0;
  for (const auto& b : s.blocks) most = std::max({most, b.firstReps, b.secondReps});
  std::string out = "\"" + s.tag + "\",\"" + s.client + "\",\"Hand\"," +
                    std::to_string(s.pairStart) + ",8," + std::to_string(s.limbMode) + ",400,1,4," +
                    std::to_string(most) + "," + std::to_string(s.unitsFlag) + "," +
                    std::to_string(s.channelCount) + "\r\n";
  out += "8,8,8,8,\"\",\"\",\"\",\"\",2,2,3,3,1,0\r\n";
  for (const auto& b : s.blocks) {
    out += std::to_string(b.pairStart) + "," + std::to_string(b.firstReps) + "," +
           std::to_string(b.secondReps) + "\r\n";
    for (int row = 0; row <= std::max(b.firstReps, b.secondReps); ++row) {
      for (int c = 0; c < 16; ++c)
        out += (c ? "," : "") + num(b.columns[c].base + b.columns[c].step * row);
      out += "\r\n";
    }
  }
  return out;
}

}  // namespace tidemet::testing
