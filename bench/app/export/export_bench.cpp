// Exporting a full 8-channel trial (the whole trial buffer) to EDF+ and CSV; the EDF+ export
// must stay under 100 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "app/acquisition/simulated_recording.h"
#include "app/export/trial_export.h"

namespace {

std::unique_ptr<tidemet::Session> fullTrial() {
  auto s = std::make_unique<tidemet::Session>();
  s->ChannelCount = 8;
  s->SurfaceArea = 100;
  tidemet::RecordingAlerts alerts;
  tidemet::DemoParameters p;
  p.seed = 5;
  // Longer than the buffer holds at the demo's rate: the recording stops when it is full.
  tidemet::RecordSimulatedTrial(*s, alerts, 120.0, p);
  return s;
}

void exportTrial(benchmark::State& state, tidemet::ExportFormat format, const char* name) {
  const auto s = fullTrial();
  const auto path = std::filesystem::temp_directory_path() / name;
  for (auto _ : state) {
    auto error = tidemet::ExportTrial(*s, path, format);
    if (error) state.SkipWithError(error->c_str());
  }
  state.counters["samples_per_channel"] = s->SampleCount;
  std::filesystem::remove(path);
}

void BM_ExportFull8ChannelTrialToEdf(benchmark::State& state) {
  exportTrial(state, tidemet::ExportFormat::Edf, "tidemet-bench-export.edf");
}
BENCHMARK(BM_ExportFull8ChannelTrialToEdf)->Unit(benchmark::kMillisecond);

void BM_ExportFull8ChannelTrialToCsv(benchmark::State& state) {
  exportTrial(state, tidemet::ExportFormat::Csv, "tidemet-bench-export.csv");
}
BENCHMARK(BM_ExportFull8ChannelTrialToCsv)->Unit(benchmark::kMillisecond);

}  // namespace
