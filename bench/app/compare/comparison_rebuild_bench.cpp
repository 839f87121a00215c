// Rebuilding a full comparison (15 summary files read again) after a setting change; the
// comparison window does this on every mean, mode, unit and pair choice. Must stay under 50 ms.
#include <benchmark/benchmark.h>

#include <fstream>

#include "app/compare/comparison.h"
#include "app/session/monitor_menus.h"
#include "tests/app/compare/summary_text.h"
#include "tests/app/files/temp_folder.h"

namespace tidemet {
namespace {

// An eight-channel visit of 40 repetitions per column, all four pairs stored.
std::string Visit(int index) {
  testing::SummaryShape shape;
  shape.channelCount = 8;
  for (int pair : {0, 2, 4, 6}) {
    testing::SummaryPairBlock b;
    b.pairStart = pair;
    b.firstReps = 40;
    b.secondReps = 38;
    for (int c = 0; c < 16; ++c) b.columns[c] = {0.37 * (c + 1) + index, 0.013 * (c + 3)};
    shape.blocks.push_back(b);
  }
  return testing::SummaryText(shape);
}

void BM_RebuildFifteenRows(benchmark::State& state) {
  testing::TempFolder folder;
  Session shared;
  shared.ClientName = "Ann Lee";
  RecordingAlerts alerts;
  Comparison comparison;
  for (int i = 0; i < kMaxComparisonFiles; ++i) {
    const auto path = folder.path() / ("visit" + std::to_string(i) + ".sum");
    std::ofstream(path, std::ios::binary) << Visit(i);
    if (!comparison.add(shared, alerts, path.string())) state.SkipWithError("a visit was refused");
  }
  int kind = 0;
  for (auto _ : state) {
    // A different setting each time, as a user clicking through the menus.
    SetPair(shared, kind % 4);
    comparison.setMeanKind(shared, 1 + kind % 4);
    ++kind;
    benchmark::DoNotOptimize(comparison.rows().data());
  }
  state.counters["rows"] = comparison.fileCount();
}
BENCHMARK(BM_RebuildFifteenRows)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tidemet
