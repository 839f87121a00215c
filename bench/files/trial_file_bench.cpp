// Opening a full data file from bytes already in memory (no disk): 8 channels x 3750 samples,
// the whole 30001-element array but one.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/files/client_entry.h"
#include "app/files/trial_file.h"

namespace tidemet {
namespace {

struct FullTrial {
  FullTrial() {
    s->ClientName = s->DataClientName = "Ann Lee";
    s->ChannelCount = 8;
    s->SampleCount = 3750;
    s->TrialSeconds = 37.5f;
    for (int i = 0; i < kTrialDataSize; ++i) s->TrialData[static_cast<size_t>(i)] = static_cast<int16_t>(1000 + i % 977);
    bytes = TrialFileBytes(*s);
  }
  std::unique_ptr<Session> s = std::make_unique<Session>();
  std::string bytes;
};

void BM_OpenFullTrial(benchmark::State& state) {
  FullTrial full;
  auto target = std::make_unique<Session>();
  *target = *full.s;
  RecordingAlerts alerts;
  ClientList clients({MakeClientEntry("Ann Lee", "AL", "165", "58", "")});
  NoComparison comparison;
  NoSummaryFile summary;
  TrialFileContext ctx{alerts, clients, comparison, summary};
  for (auto _ : state) {
    bool opened = OpenTrialBytes(*target, ctx, "full.dat", full.bytes);
    benchmark::DoNotOptimize(opened);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(full.bytes.size()));
}
BENCHMARK(BM_OpenFullTrial)->Unit(benchmark::kMicrosecond);

void BM_ParseFullTrial(benchmark::State& state) {
  FullTrial full;
  for (auto _ : state) benchmark::DoNotOptimize(ParseTrialFile(full.bytes));
}
BENCHMARK(BM_ParseFullTrial)->Unit(benchmark::kMicrosecond);

void BM_WriteFullTrial(benchmark::State& state) {
  FullTrial full;
  for (auto _ : state) benchmark::DoNotOptimize(TrialFileBytes(*full.s));
}
BENCHMARK(BM_WriteFullTrial)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tidemet
