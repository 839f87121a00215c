#pragma once
// What the repetition analysis leaves for the other windows: the summary table, the repetition
// counts and markers, the mean hand forces, the swim figures and the text of the two grids.
// Kept in the session so that every window reads the same results.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tidemet {

inline constexpr int kSummaryRows = 201;     // rows 0..200
inline constexpr int kSummaryColumns = 33;   // columns 0..32 (0..16 unless model 23)
inline constexpr int kCycleRecords = 101;    // indices 0..100
inline constexpr int kMarkerColumns = 8;     // data columns 0..7

using SummaryRow = std::array<float, kSummaryColumns>;
using MarkerArray = std::array<std::array<int16_t, kCycleRecords>, kMarkerColumns>;

// Figures of a swimming trial; every value keeps the previous computation's value when its
// condition fails.
struct SwimMetrics {
  int16_t StrokeCount = 0;
  float StrokeRate = 0;
  float VelocityYards = 0;
  float VelocityMetres = 0;
  float StrokeLengthYards = 0;
  float StrokeLengthMetres = 0;
  int16_t FrontalArea = 0;
  float PropulsiveForce = 0;
  float DragCoefficient = 0;
  float VelocityFluctuation = 0;  // no part of the system computes it
  // Overall duration means of the pair's columns (P1, N1, P2, N2) from the last refresh.
  std::array<float, 4> DurationMeans{};
  bool shown = false;
  std::string line;
};

// The analysis window's grids as text, rebuilt by every refresh.
struct AnalysisGrids {
  std::string caption;     // " Data Analysis - " and the file name
  std::string modeTitle;   // "Peak Force", "  Impulse" or " Avg Force"
  std::string gridTitle;   // with the force unit
  std::vector<std::array<std::string, 9>> rows;       // repetition grid, rows 0..MostReps
  std::array<std::array<std::string, 8>, 4> means{};  // first half, second half, change, overall
  std::array<std::string, 4> meanLabels{};
};

struct AnalysisResults {
  std::array<SummaryRow, kSummaryRows> SummaryTable{};
  int16_t LastRep = -1;
  int16_t FirstPairReps = 0;
  int16_t SecondPairReps = 0;
  int16_t MostReps = 0;
  MarkerArray RepStartMarks{};
  MarkerArray RepPosEndMarks{};
  MarkerArray RepNegEndMarks{};
  MarkerArray RepPeakMarks{};
  std::array<float, 2> MeanHandForce{};  // the pair's first and second column
  float ForceScale = 0;
  int16_t AnalysisMode = 0;  // 0 peak force, 1 impulse, 2 average force

  // Set by the summary reader: false when the open summary holds no block for the current pair.
  bool SummaryHasResults = false;

  SwimMetrics swim{};
  AnalysisGrids grids{};

  void clearSummaryTable() { SummaryTable.fill(SummaryRow{}); }
};

}  // namespace tidemet
