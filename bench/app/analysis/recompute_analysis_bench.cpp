// RecomputeAnalysis on a two-channel trial of 15000 samples with 100 strokes per channel.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/analysis/recompute_analysis.h"
#include "bench/app/analysis/stroke_trial.h"

namespace tidemet {
namespace {

void BM_RecomputeAnalysis(benchmark::State& state) {
  auto s = StrokeTrial();
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;
  for (auto _ : state) {
    RecomputeAnalysis(*s, analyzer, alerts);
    benchmark::DoNotOptimize(s->analysis.SummaryTable.data());
  }
  if (s->analysis.FirstPairReps != 99 || s->analysis.SecondPairReps != 99)
    state.SkipWithError("trial did not give 100 strokes per channel");
}
BENCHMARK(BM_RecomputeAnalysis)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tidemet
